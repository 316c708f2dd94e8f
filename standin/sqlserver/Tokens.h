#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Bytes.h"
#include "Results.h"

namespace standin::tds {

enum DoneStatus : uint16_t {
    kDoneFinal = 0x00,
    kDoneMore = 0x01,
    kDoneError = 0x02,
    kDoneCount = 0x10,
    kDoneAttention = 0x20,
};

enum DoneToken : uint8_t { kDone = 0xFD, kDoneProc = 0xFE, kDoneInProc = 0xFF };

// The collation the server reports and tags text columns with (Latin1 general, case-insensitive).
extern const uint8_t kCollation[5];

bool isTds72OrLater(uint32_t tdsVersion);
// Collations (of text columns and parameters, and the collation ENVCHANGE) came with TDS 7.1; 7.0 has none.
bool hasCollations(uint32_t tdsVersion);

// Writes the tokens of a reply, in the layout of the negotiated TDS version.
class TokenWriter {
public:
    TokenWriter(uint32_t tdsVersion, std::string serverName) : version_(tdsVersion), server_(std::move(serverName)) {}

    Bytes take();
    bool empty() const { return w_.size() == 0; }

    void loginAck(const std::string& programName, const uint8_t programVersion[4]);
    void envDatabase(const std::string& newDb, const std::string& oldDb);
    void envLanguage(const std::string& newLang, const std::string& oldLang);
    void envPacketSize(uint32_t newSize, uint32_t oldSize);
    void envCollation();
    void message(const ServerMessage& m);
    void columns(const std::vector<Column>& cols);
    void row(const std::vector<Column>& cols, const Row& values);
    void done(uint8_t token, uint16_t status, uint16_t curCmd, uint64_t rowCount);
    void returnStatus(int32_t status);
    // An OUTPUT int parameter of a procedure call.
    void returnValue(uint16_t ordinal, const std::string& name, int32_t value);

private:
    void envString(uint8_t type, const std::string& newValue, const std::string& oldValue);
    void bVarchar(const std::string& s);
    void usVarchar(const std::string& s);
    bool plpAllowed() const { return isTds72OrLater(version_); }
    void plpValue(const uint8_t* data, size_t n);

    uint32_t version_;
    std::string server_;
    ByteWriter w_;
};

}  // namespace standin::tds
