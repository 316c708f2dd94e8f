#include "Sqlite.h"

#include <cstring>

#include "Files.h"

namespace standin {

Value SqliteStatement::column(int i) const {
    switch (sqlite3_column_type(s_, i)) {
        case SQLITE_INTEGER:
            return static_cast<int64_t>(sqlite3_column_int64(s_, i));
        case SQLITE_FLOAT:
            return sqlite3_column_double(s_, i);
        case SQLITE_TEXT: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
            return std::string(p, static_cast<size_t>(sqlite3_column_bytes(s_, i)));
        }
        case SQLITE_BLOB: {
            const uint8_t* p = static_cast<const uint8_t*>(sqlite3_column_blob(s_, i));
            return Bytes(p, p + sqlite3_column_bytes(s_, i));
        }
        default:
            return std::monostate{};
    }
}

SqliteDb::SqliteDb(const std::string& path, bool create) {
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw SqliteError(rc, msg);
    }
    sqlite3_busy_timeout(db_, 10000);
    sqlite3_extended_result_codes(db_, 0);
}

void SqliteDb::exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw SqliteError(rc, msg);
    }
}

SqliteStatement SqliteDb::prepare(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr);
    if (rc != SQLITE_OK) throw SqliteError(rc, sqlite3_errmsg(db_));
    return SqliteStatement(s);
}

void SqliteDb::bind(SqliteStatement& s, int index, const std::string& text) {
    sqlite3_bind_text(s.get(), index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool isSqliteFile(const std::string& path) {
    auto data = files::read(path);
    static const char kHeader[] = "SQLite format 3";
    return data && data->size() >= 100 && std::memcmp(data->data(), kHeader, sizeof kHeader) == 0;
}

}  // namespace standin
