#pragma once

#include <string>

#include "platform/DbConnection.h"
#include "platform/DbRowSet.h"

namespace zz {

// A statement object bound to a shared connection (the connection must outlive it).
class TDbCommand {
public:
    explicit TDbCommand(TDbConnection& connection) : FConnection(connection) {}
    TDbCommand(const TDbCommand&) = delete;
    TDbCommand& operator=(const TDbCommand&) = delete;

    void SetCommandText(std::wstring text) { FCommandText = std::move(text); }
    const std::wstring& CommandText() const noexcept { return FCommandText; }

    // Runs the text without rows.
    void Execute();
    // Runs the text and returns its first row set, whose RecordCount is the exact number of rows.
    TDbRowSet ExecuteWithRows();

private:
    TDbConnection& FConnection;
    std::wstring FCommandText;
};

}  // namespace zz
