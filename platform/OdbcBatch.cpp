#include "platform/OdbcBatch.h"

#include <sqlext.h>

#include <algorithm>

#include "common/Error.h"
#include "platform/OdbcHandle.h"

namespace zz {
namespace {

SQLWCHAR* Sql(std::wstring& text) {
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

bool Succeeded(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// States after which the statement cannot go on: the connection is gone, or the driver refuses the next call.
bool IsFinal(const TOdbcDiagRecord& record) {
    return record.State.rfind(L"08", 0) == 0 || record.State == L"HY010" || record.State == L"HY008";
}

class TBatchReader {
public:
    explicit TBatchReader(SQLHANDLE stmt) : FStmt(stmt) {}

    // Keeps the records of a call; returns false when the statement cannot be read further.
    bool Note(SQLRETURN rc) {
        if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) return true;
        if (rc == SQL_INVALID_HANDLE) {
            FErrors.push_back({L"HY000", 0, L"Invalid ODBC statement handle"});
            return false;
        }
        bool goOn = true;
        bool anyError = false;
        std::vector<TOdbcDiagRecord> warnings;
        for (auto& record : ReadDiagRecords(SQL_HANDLE_STMT, FStmt)) {
            if (IsFinal(record)) goOn = false;
            // Information (progress, PRINT, "Changed database context") is no error. A server error that a driver
            // reports inside a call that succeeded still is one.
            if (IsWarning(record)) {
                warnings.push_back(std::move(record));
                continue;
            }
            anyError = true;
            if (record.State == L"HY010" && !FErrors.empty()) continue;  // the follow-up of an earlier error
            FErrors.push_back(std::move(record));
        }
        if (rc == SQL_ERROR && !anyError) {
            // A failed call that only left notes: they are its reason.
            if (warnings.empty())
                warnings.push_back({L"HY000", 0, L"The ODBC driver reported an error without a message"});
            for (auto& warning : warnings) FErrors.push_back(std::move(warning));
            goOn = false;
        }
        return goOn;
    }

    TDbRowSet ReadRows(SQLSMALLINT columns) {
        std::vector<std::wstring> names;
        for (SQLSMALLINT c = 1; c <= columns; ++c) names.push_back(ColumnName(c));
        std::vector<TDbRowSet::TRow> rows;
        for (;;) {
            const SQLRETURN rc = SQLFetch(FStmt);
            if (rc == SQL_NO_DATA) break;
            if (!Note(rc) || rc == SQL_ERROR) break;
            TDbRowSet::TRow row;
            bool complete = true;
            for (SQLSMALLINT c = 1; c <= columns && complete; ++c) row.push_back(ColumnText(c, complete));
            if (!complete) break;
            rows.push_back(std::move(row));
        }
        return TDbRowSet(std::move(names), std::move(rows));
    }

    const std::vector<TOdbcDiagRecord>& Errors() const { return FErrors; }

private:
    std::wstring ColumnName(SQLSMALLINT column) {
        std::wstring name(128, L'\0');
        for (;;) {
            SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            const SQLRETURN rc =
                SQLDescribeColW(FStmt, column, reinterpret_cast<SQLWCHAR*>(name.data()),
                                static_cast<SQLSMALLINT>(name.size()), &length, &type, &size, &digits, &nullable);
            if (!Succeeded(rc)) {
                Note(rc);
                return {};
            }
            if (length < static_cast<SQLSMALLINT>(name.size())) {
                name.resize(static_cast<size_t>(length));
                return name;
            }
            name.assign(static_cast<size_t>(length) + 1, L'\0');
        }
    }

    std::optional<std::wstring> ColumnText(SQLSMALLINT column, bool& complete) {
        std::wstring value;
        wchar_t buffer[1024];
        const SQLLEN capacity = static_cast<SQLLEN>(sizeof buffer / sizeof buffer[0]) - 1;  // less the terminator
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(FStmt, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
            if (rc == SQL_NO_DATA) return value;  // every part has been read
            if (!Succeeded(rc)) {
                Note(rc);
                complete = false;
                return std::nullopt;
            }
            if (indicator == SQL_NULL_DATA) return std::nullopt;
            // With SQL_SUCCESS_WITH_INFO (01004) the buffer is full and more follows.
            const bool more =
                rc == SQL_SUCCESS_WITH_INFO &&
                (indicator == SQL_NO_TOTAL || indicator / static_cast<SQLLEN>(sizeof(wchar_t)) > capacity);
            const SQLLEN chars = more ? capacity : indicator / static_cast<SQLLEN>(sizeof(wchar_t));
            value.append(buffer, static_cast<size_t>(chars));
            if (!more) return value;
        }
    }

    SQLHANDLE FStmt;
    std::vector<TOdbcDiagRecord> FErrors;
};

}  // namespace

std::vector<TOdbcDiagRecord> ReadDiagRecords(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<TOdbcDiagRecord> records;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        std::wstring text(512, L'\0');
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, reinterpret_cast<SQLWCHAR*>(text.data()),
                                      static_cast<SQLSMALLINT>(text.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.assign(static_cast<size_t>(length) + 1, L'\0');
            rc = SQLGetDiagRecW(handleType, handle, i, state, &native, reinterpret_cast<SQLWCHAR*>(text.data()),
                                static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (!Succeeded(rc)) break;
        text.resize(std::min<size_t>(static_cast<size_t>(length), text.size()));
        records.push_back(
            {std::wstring(reinterpret_cast<wchar_t*>(state)), static_cast<long>(native), std::move(text)});
    }
    return records;
}

std::optional<TDbRowSet> RunBatch(SQLHANDLE connection, const std::wstring& text, bool wantRows) {
    unique_odbc_stmt stmt;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, stmt.put()))) {
        std::wstring message = DiagnosticMessage(ReadDiagRecords(SQL_HANDLE_DBC, connection), false);
        throw Error(message.empty() ? L"Could not make an ODBC statement" : message);
    }

    TBatchReader reader(stmt.get());
    std::optional<TDbRowSet> rows;
    std::wstring batch = text;
    SQLRETURN rc = SQLExecDirectW(stmt.get(), Sql(batch), SQL_NTS);
    // A batch has as many results as its statements produce; each one is stepped through (SQLMoreResults
    // discards unread rows), also after an error, until the driver has none left.
    while (rc != SQL_NO_DATA) {
        if (!reader.Note(rc)) break;
        if (Succeeded(rc) && wantRows && !rows) {
            SQLSMALLINT columns = 0;
            if (Succeeded(SQLNumResultCols(stmt.get(), &columns)) && columns > 0) rows = reader.ReadRows(columns);
        }
        rc = SQLMoreResults(stmt.get());
    }

    if (!reader.Errors().empty()) throw Error(DiagnosticMessage(reader.Errors(), false));
    if (wantRows && !rows) throw Error(L"The statement returned no row set");
    return rows;
}

}  // namespace zz
