#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DbConnection.h"
#include "platform/DbRowSet.h"

namespace zz {

// A query object. Made without a connection it is bound to its connection string and has a connection of its own,
// made from that string when a statement first needs it and kept until the query is closed or given a string
// again; two such query objects never share a connection. Made with a connection it runs on that one, so a
// "use" sent through it moves every other object bound to the same connection too.
class TDbQuery {
public:
    TDbQuery();
    explicit TDbQuery(TDbConnection& connection);
    TDbQuery(const TDbQuery&) = delete;
    TDbQuery& operator=(const TDbQuery&) = delete;

    // Closes the query (and lets its own connection go); the next statement connects with the new string.
    // Raises zz::Error on a query bound to a shared connection.
    void SetConnectionString(std::wstring connectionString);
    const std::wstring& ConnectionString() const noexcept;

    void SetSQL(std::wstring text) { FSQL = std::move(text); }
    const std::wstring& SQL() const noexcept { return FSQL; }

    // Runs the text without rows.
    void ExecSQL();
    // Runs the text and holds its first row set, positioned on the first row. A failure leaves the query closed.
    void Open();
    // Releases the row set, and the query's own connection if it has one.
    void Close() noexcept;
    bool Active() const noexcept { return FRowSet.has_value(); }

    // Row access of an open query; each raises zz::Error when the query is not open.
    bool Eof() const;
    void Next();
    std::size_t RecordCount() const;
    std::wstring FieldAsString(std::size_t index) const;
    std::wstring FieldAsString(std::wstring_view name) const;
    const TDbRowSet& RowSet() const;

private:
    TDbConnection& Connection();

    TDbConnection* FShared = nullptr;
    std::unique_ptr<TDbConnection> FOwn;
    std::wstring FConnectionString;
    std::wstring FSQL;
    std::optional<TDbRowSet> FRowSet;
};

}  // namespace zz
