#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Catalogue.h"
#include "Config.h"
#include "Results.h"
#include "Sqlite.h"
#include "Statements.h"

namespace standin {

class Session;

// The server: its catalogue, its logins and who is in which database. Sessions run on threads of their own;
// everything that changes or checks the catalogue holds the instance's lock for the whole statement.
class Instance {
public:
    struct Options {
        std::string instanceName = "ZELTO";
        std::string machineName = "localhost";
        std::string dataFolder;  // master's files and the catalogue live here
        ServerConfig config;
    };

    // Loads the catalogue, creating master on first start. Throws std::runtime_error.
    explicit Instance(Options options);

    const Options& options() const { return options_; }
    std::string serverName() const { return options_.machineName + "\\" + options_.instanceName; }
    bool checkLogin(const std::string& login, const std::string& password) const {
        return options_.config.checkLogin(login, password);
    }
    std::unique_ptr<Session> newSession(const std::string& login);

    // A copy of the catalogue, for tests and tools.
    Catalogue catalogue() const;

private:
    friend class Session;
    void enter(int spid, const std::string& db);
    void leave(int spid);
    // True when a session other than `spid` has `db` as its current database.
    bool inUseByOthers(int spid, const std::string& db) const;
    bool inUseByAny(const std::string& db) const;
    void commit(Catalogue next);  // saves, then replaces the catalogue in memory

    Options options_;
    mutable std::mutex mutex_;
    Catalogue catalogue_;
    std::map<int, std::string> current_;  // spid -> current database
    int nextSpid_ = 51;
};

// One client connection's state: its login and current database.
class Session {
public:
    Session(Instance& instance, int spid, std::string login);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int spid() const { return spid_; }
    const std::string& login() const { return login_; }
    const std::string& database() const { return database_; }

    // Makes `db` (master when empty) the current database at login; false with 4060 in `error` when it is missing.
    bool open(const std::string& db, ServerMessage& error);
    // Named values for the @names of a parameterised statement.
    using Parameters = std::vector<std::pair<std::string, Value>>;

    // Runs one batch: everything it produces goes to `sink`, ending each statement with statementDone.
    void runBatch(const std::string& sql, ResultSink& sink, const Parameters& parameters = {});

private:
    enum class Outcome { Ok, Failed, Aborted };

    Outcome execute(const sql::Statement& s);
    Outcome use(const sql::Use& s);
    Outcome attach(const sql::AttachDb& s);
    Outcome detach(const sql::DetachDb& s);
    Outcome create(const sql::CreateDatabase& s);
    Outcome drop(const sql::DropDatabase& s);
    Outcome backup(const sql::BackupDatabase& s);
    Outcome restoreHeader(const sql::RestoreHeader& s);
    Outcome restore(const sql::RestoreDatabase& s);
    Outcome print(const sql::Print& s);
    Outcome passThrough(const sql::PassThrough& s);

    // A syntax error SQLite finds in a statement starting at `line`; `endsTooSoon` is the error when it is cut short.
    std::optional<ServerMessage> checkSyntax(const std::string& sqliteText, int line,
                                             const std::optional<ServerMessage>& endsTooSoon);
    void refreshSystemTables(const std::string& sqlText);
    SqliteDb openDatabase(const DatabaseEntry& db);
    Outcome sqliteFailure(const SqliteError& e, const std::string& sqlText);
    void bindParameters(SqliteStatement& st);

    void info(int number, const std::string& text);
    void error(int number, int severity, const std::string& text, int state = 1);
    void done(StatementKind kind, int64_t count, bool failed) { sink_->statementDone(kind, count, failed); }

    Instance& instance_;
    int spid_;
    std::string login_;
    std::string database_;
    SqliteDb db_;
    SqliteDb scratch_;  // an empty in-memory database: syntax checks that touch nothing
    ResultSink* sink_ = nullptr;
    const Parameters* parameters_ = nullptr;
    int line_ = 1;
};

}  // namespace standin
