#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "Results.h"

namespace standin {

struct SqliteError : std::runtime_error {
    SqliteError(int c, const std::string& m) : std::runtime_error(m), code(c) {}
    int code;
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* s) : s_(s) {}
    SqliteStatement(SqliteStatement&& o) noexcept : s_(o.s_) { o.s_ = nullptr; }
    SqliteStatement& operator=(SqliteStatement&& o) noexcept {
        std::swap(s_, o.s_);
        return *this;
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() { sqlite3_finalize(s_); }

    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }
    Value column(int i) const;

private:
    sqlite3_stmt* s_ = nullptr;
};

// One SQLite connection. Throws SqliteError with SQLite's message on every failure.
class SqliteDb {
public:
    SqliteDb() = default;
    SqliteDb(const std::string& path, bool create);
    SqliteDb(SqliteDb&& o) noexcept : db_(o.db_) { o.db_ = nullptr; }
    SqliteDb& operator=(SqliteDb&& o) noexcept {
        std::swap(db_, o.db_);
        return *this;
    }
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;
    ~SqliteDb() { sqlite3_close_v2(db_); }

    sqlite3* get() const { return db_; }
    explicit operator bool() const { return db_ != nullptr; }
    void exec(const std::string& sql);
    // Prepares the first statement of `sql`.
    SqliteStatement prepare(const std::string& sql);
    void bind(SqliteStatement& s, int index, const std::string& text);

private:
    sqlite3* db_ = nullptr;
};

// True when the file starts with SQLite's header.
bool isSqliteFile(const std::string& path);

}  // namespace standin
