#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "Bytes.h"

namespace standin {

// A message of the server to the client: an informational message (severity below 11) or an error.
struct ServerMessage {
    ServerMessage() = default;
    ServerMessage(int32_t n, uint8_t st, uint8_t sev, std::string t)
        : number(n), state(st), severity(sev), text(std::move(t)) {}

    int32_t number = 0;
    uint8_t state = 1;
    uint8_t severity = 0;
    std::string text;
    std::string procedure;
    int32_t line = 1;

    bool isError() const { return severity > 10; }
};

enum class ColumnType { Integer, Float, Text, Binary };

struct Column {
    std::string name;
    ColumnType type = ColumnType::Text;
    // Values may be longer than the 8000-byte limit of a plain column: sent as a MAX column.
    bool large = false;
};

using Value = std::variant<std::monostate, int64_t, double, std::string, Bytes>;
using Row = std::vector<Value>;

// The current command of a DONE token, as the client sees it.
enum class StatementKind : uint16_t { Other = 0, Select = 0xC1, Insert = 0xC3, Delete = 0xC4, Update = 0xC5 };

// Receives what one batch produces, in order. The engine knows nothing of the wire.
class ResultSink {
public:
    virtual ~ResultSink() = default;
    virtual void message(const ServerMessage& m) = 0;
    virtual void databaseChanged(const std::string& newDb, const std::string& oldDb) = 0;
    virtual void columns(const std::vector<Column>& cols) = 0;
    virtual void row(const std::vector<Column>& cols, const Row& values) = 0;
    // End of one statement. `count` < 0 means no row count.
    virtual void statementDone(StatementKind kind, int64_t count, bool failed) = 0;
    // True once the client has asked to cancel the running batch.
    virtual bool cancelled() = 0;
};

}  // namespace standin
