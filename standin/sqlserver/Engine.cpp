#include "Engine.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "BackupFile.h"
#include "DatabaseFiles.h"
#include "Files.h"
#include "Text.h"

namespace standin {

namespace {

constexpr const char* kVersionText = "ZariZovu SQL stand-in 11.0.2100.60 (X64)";
constexpr const char* kMaster = "master";

std::string now() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return format("%04d-%02d-%02d %02d:%02d:%02d.%03d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                  t.wMilliseconds);
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    return last == '\\' || last == '/' ? folder + name : folder + "\\" + name;
}

int64_t pagesOf(uint64_t bytes) {
    return static_cast<int64_t>((bytes + 8191) / 8192);
}

bool isSystemDatabase(const std::string& name) {
    return equalsNoCase(name, kMaster);
}

// "RESTORE DATABASE successfully processed %d pages in %d.%03d seconds (%d.%03d MB/sec)."
std::string throughput(const char* what, int64_t pages, std::chrono::steady_clock::duration elapsed) {
    int64_t ms = std::max<int64_t>(1, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    double mbps = static_cast<double>(pages) * 8192.0 / 1048576.0 / (static_cast<double>(ms) / 1000.0);
    int64_t milli = static_cast<int64_t>(mbps * 1000.0 + 0.5);
    return format("%s successfully processed %lld pages in %lld.%03lld seconds (%lld.%03lld MB/sec).", what,
                  static_cast<long long>(pages), static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000),
                  static_cast<long long>(milli / 1000), static_cast<long long>(milli % 1000));
}

// The column types of a buffered result: what every value fits, with the declared type for all-NULL columns.
ColumnType typeFromDeclaration(const char* decl) {
    if (!decl) return ColumnType::Text;
    std::string d = lower(decl);
    if (d.find("int") != std::string::npos || d == "bit") return ColumnType::Integer;
    if (d.find("real") != std::string::npos || d.find("floa") != std::string::npos ||
        d.find("doub") != std::string::npos || d.find("dec") != std::string::npos ||
        d.find("num") != std::string::npos || d.find("money") != std::string::npos)
        return ColumnType::Float;
    if (d.find("blob") != std::string::npos || d.find("binary") != std::string::npos || d == "image")
        return ColumnType::Binary;
    return ColumnType::Text;
}

// SQL Server gives a computed column no name.
std::string columnName(const char* name) {
    if (!name) return {};
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (!(std::isalnum(c) || c == '_' || c == '@' || c == '#' || c == '$' || c >= 0x80)) return {};
    }
    if (std::isdigit(static_cast<unsigned char>(name[0]))) return {};
    return name;
}

void sqlGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    std::string t = now();
    sqlite3_result_text(ctx, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}

void sqlIsnull(sqlite3_context* ctx, int, sqlite3_value** v) {
    sqlite3_result_value(ctx, sqlite3_value_type(v[0]) == SQLITE_NULL ? v[1] : v[0]);
}

void sqlLen(sqlite3_context* ctx, int, sqlite3_value** v) {
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const char* s = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
    std::string text(s ? s : "");
    while (!text.empty() && text.back() == ' ') text.pop_back();
    sqlite3_result_int64(ctx, static_cast<int64_t>(utf8ToUtf16(text).size()));
}

// Text as the server's default collation compares it (every character type, fixed-width or not): trailing blanks do
// not count, nor does case.
int compareBlankPadded(void*, int aSize, const void* aData, int bSize, const void* bData) {
    std::string_view a(static_cast<const char*>(aData), static_cast<size_t>(aSize));
    std::string_view b(static_cast<const char*>(bData), static_cast<size_t>(bSize));
    while (!a.empty() && a.back() == ' ') a.remove_suffix(1);
    while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    const std::string la = lower(a), lb = lower(b);
    return la.compare(lb) < 0 ? -1 : la == lb ? 0 : 1;
}

// An nchar(width) value: blank-padded to `width` characters.
std::string ncharValue(const std::string& text, size_t width) {
    const size_t chars = utf8ToUtf16(text).size();
    return chars >= width ? text : text + std::string(width - chars, ' ');
}

void sqlConstText(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto* text = static_cast<const std::string*>(sqlite3_user_data(ctx));
    sqlite3_result_text(ctx, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
}

void sqlSpid(sqlite3_context* ctx, int, sqlite3_value**) {
    sqlite3_result_int(ctx, static_cast<int>(reinterpret_cast<intptr_t>(sqlite3_user_data(ctx))));
}

}  // namespace

// ---------------------------------------------------------------- Instance

Instance::Instance(Options options)
    : options_(std::move(options)), catalogue_(join(options_.dataFolder, "catalogue.txt")) {
    if (!files::makeDirectories(options_.dataFolder))
        throw std::runtime_error("cannot create the data folder " + options_.dataFolder);
    catalogue_.load();
    if (!catalogue_.find(kMaster)) {
        DatabaseEntry master;
        master.name = kMaster;
        master.dbid = 1;
        master.created = now();
        master.files = {{1, 'D', "master", join(options_.dataFolder, "master.mdf")},
                        {2, 'L', "mastlog", join(options_.dataFolder, "mastlog.ldf")}};
        for (const DbFile& f : master.files) files::remove(f.physicalName);
        if (!dbfiles::createAll(kMaster, master.files)) throw std::runtime_error("cannot create the master database");
        Catalogue next = catalogue_;
        next.put(master);
        next.save();
        catalogue_ = std::move(next);
    }
}

std::unique_ptr<Session> Instance::newSession(const std::string& login) {
    int spid;
    {
        std::lock_guard lock(mutex_);
        spid = nextSpid_++;
        if (nextSpid_ > 32000) nextSpid_ = 51;
    }
    return std::make_unique<Session>(*this, spid, login);
}

Catalogue Instance::catalogue() const {
    std::lock_guard lock(mutex_);
    return catalogue_;
}

void Instance::enter(int spid, const std::string& db) {
    current_[spid] = db;
}
void Instance::leave(int spid) {
    current_.erase(spid);
}

bool Instance::inUseByOthers(int spid, const std::string& db) const {
    for (const auto& [id, name] : current_) {
        if (id != spid && equalsNoCase(name, db)) return true;
    }
    return false;
}

bool Instance::inUseByAny(const std::string& db) const {
    return inUseByOthers(-1, db);
}

void Instance::commit(Catalogue next) {
    next.save();
    catalogue_ = std::move(next);
}

// ---------------------------------------------------------------- Session

Session::Session(Instance& instance, int spid, std::string login)
    : instance_(instance), spid_(spid), login_(std::move(login)), scratch_(":memory:", true) {}

Session::~Session() {
    std::lock_guard lock(instance_.mutex_);
    instance_.leave(spid_);
}

SqliteDb Session::openDatabase(const DatabaseEntry& entry) {
    const DbFile* primary = entry.primary();
    if (!primary) throw SqliteError(SQLITE_CANTOPEN, "database has no data file");
    if (!files::exists(primary->physicalName)) throw SqliteError(SQLITE_CANTOPEN, "unable to open database file");
    SqliteDb db(primary->physicalName, false);
    sqlite3* h = db.get();
    static const std::string version = kVersionText;
    sqlite3_create_function(h, "getdate", 0, SQLITE_UTF8, nullptr, sqlGetdate, nullptr, nullptr);
    sqlite3_create_function(h, "isnull", 2, SQLITE_UTF8, nullptr, sqlIsnull, nullptr, nullptr);
    sqlite3_create_function(h, "len", 1, SQLITE_UTF8, nullptr, sqlLen, nullptr, nullptr);
    sqlite3_create_function(h, "zz_version", 0, SQLITE_UTF8, const_cast<std::string*>(&version), sqlConstText, nullptr,
                            nullptr);
    sqlite3_create_function(h, "zz_servername", 0, SQLITE_UTF8,
                            const_cast<std::string*>(&instance_.options().instanceName), sqlConstText, nullptr,
                            nullptr);
    sqlite3_create_function(h, "db_name", 0, SQLITE_UTF8, &database_, sqlConstText, nullptr, nullptr);
    sqlite3_create_collation_v2(h, "zz_text", SQLITE_UTF8, nullptr, compareBlankPadded, nullptr);
    sqlite3_create_function(h, "zz_spid", 0, SQLITE_UTF8, reinterpret_cast<void*>(static_cast<intptr_t>(spid_)),
                            sqlSpid, nullptr, nullptr);
    // A client's cancel interrupts a long statement.
    sqlite3_progress_handler(
        h, 1000,
        [](void* self) -> int {
            auto* s = static_cast<Session*>(self);
            return s->sink_ && s->sink_->cancelled() ? 1 : 0;
        },
        this);
    return db;
}

bool Session::open(const std::string& requested, ServerMessage& err) {
    const std::string want = requested.empty() ? std::string(kMaster) : requested;
    std::lock_guard lock(instance_.mutex_);
    const DatabaseEntry* entry = instance_.catalogue_.find(want);
    if (entry) {
        try {
            db_ = openDatabase(*entry);
            database_ = entry->name;
            instance_.enter(spid_, database_);
            return true;
        } catch (const SqliteError&) {
        }
    }
    err = ServerMessage{4060, 1, 11, "Cannot open database \"" + want + "\" requested by the login. The login failed."};
    return false;
}

void Session::info(int number, const std::string& text) {
    ServerMessage m{number, 1, 0, text};
    m.line = line_;
    sink_->message(m);
}

void Session::error(int number, int severity, const std::string& text, int state) {
    ServerMessage m{number, static_cast<uint8_t>(state), static_cast<uint8_t>(severity), text};
    m.line = line_;
    sink_->message(m);
}

std::optional<ServerMessage> Session::checkSyntax(const std::string& text, int line,
                                                  const std::optional<ServerMessage>& endsTooSoon) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(scratch_.get(), text.c_str(), static_cast<int>(text.size()), &s, nullptr);
    sqlite3_finalize(s);
    if (rc == SQLITE_OK) return std::nullopt;
    std::string msg = sqlite3_errmsg(scratch_.get());
    std::string nearText;
    if (msg.rfind("near \"", 0) == 0) {
        size_t end = msg.find("\": syntax error");
        if (end == std::string::npos) return std::nullopt;
        nearText = msg.substr(6, end - 6);
        // SQLite names the token as written, so a quoted name never passes for a keyword.
        if (sql::isReservedKeyword(nearText)) return sql::syntaxErrorNearKeyword(nearText, line);
    } else if (msg.rfind("unrecognized token: \"", 0) == 0) {
        nearText = msg.substr(21, msg.size() - 22);
    } else if (msg == "incomplete input") {
        // The statement stopped short of the token that follows it, which therefore cannot stand there.
        if (endsTooSoon) return endsTooSoon;
        size_t end = text.find_last_not_of(" \t\r\n;");
        size_t start = end == std::string::npos ? 0 : text.find_last_of(" \t\r\n(,", end);
        nearText = end == std::string::npos ? ""
                                            : text.substr(start == std::string::npos ? 0 : start + 1,
                                                          end - (start == std::string::npos ? 0 : start + 1) + 1);
    } else {
        return std::nullopt;
    }
    return sql::syntaxErrorNear(nearText, line);
}

void Session::bindParameters(SqliteStatement& st) {
    if (!parameters_) return;
    const int n = sqlite3_bind_parameter_count(st.get());
    for (int i = 1; i <= n; ++i) {
        const char* name = sqlite3_bind_parameter_name(st.get(), i);
        if (!name) continue;
        for (const auto& [pname, value] : *parameters_) {
            if (!equalsNoCase(pname, name)) continue;
            if (auto* v = std::get_if<int64_t>(&value))
                sqlite3_bind_int64(st.get(), i, *v);
            else if (auto* d = std::get_if<double>(&value))
                sqlite3_bind_double(st.get(), i, *d);
            else if (auto* t = std::get_if<std::string>(&value))
                db_.bind(st, i, *t);
            else if (auto* b = std::get_if<Bytes>(&value))
                sqlite3_bind_blob(st.get(), i, b->data(), static_cast<int>(b->size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(st.get(), i);
            break;
        }
    }
}

void Session::runBatch(const std::string& text, ResultSink& sink, const Parameters& parameters) {
    sink_ = &sink;
    parameters_ = &parameters;
    sql::ParsedBatch batch = sql::parseBatch(text);
    auto fail = [&](std::vector<ServerMessage> messages) {
        for (ServerMessage& m : messages) sink.message(m);
        sink.statementDone(StatementKind::Other, -1, true);
        sink_ = nullptr;
        parameters_ = nullptr;
    };
    // The whole batch is compiled before any of it runs: one syntax error and nothing happens. The first error in
    // the batch is the one reported.
    auto firstError = [&](const std::vector<sql::ParsedStatement>& statements) -> std::optional<ServerMessage> {
        for (const sql::ParsedStatement& p : statements) {
            std::optional<ServerMessage> bad;
            if (auto* pt = std::get_if<sql::PassThrough>(&p.statement))
                bad = checkSyntax(pt->sql, p.line, p.endsTooSoon);
            if (auto* pr = std::get_if<sql::Print>(&p.statement))
                bad = checkSyntax("SELECT " + pr->expression, p.line, p.endsTooSoon);
            if (bad) return bad;
        }
        return std::nullopt;
    };
    if (batch.error) {
        if (auto bad = firstError(batch.beforeError)) return fail({*bad});
        return fail(batch.error->messages);
    }
    if (auto bad = firstError(batch.statements)) return fail({*bad});
    for (const sql::ParsedStatement& p : batch.statements) {
        if (sink.cancelled()) break;
        line_ = p.line;
        Outcome o;
        try {
            o = execute(p.statement);
        } catch (const std::exception& e) {
            error(50000, 16, std::string("Internal error: ") + e.what());
            done(StatementKind::Other, -1, true);
            o = Outcome::Aborted;
        }
        if (o == Outcome::Aborted) break;
    }
    sink_ = nullptr;
    parameters_ = nullptr;
}

Session::Outcome Session::execute(const sql::Statement& s) {
    return std::visit(
        [&](const auto& st) -> Outcome {
            using T = std::decay_t<decltype(st)>;
            if constexpr (std::is_same_v<T, sql::Use>)
                return use(st);
            else if constexpr (std::is_same_v<T, sql::AttachDb>)
                return attach(st);
            else if constexpr (std::is_same_v<T, sql::DetachDb>)
                return detach(st);
            else if constexpr (std::is_same_v<T, sql::CreateDatabase>)
                return create(st);
            else if constexpr (std::is_same_v<T, sql::DropDatabase>)
                return drop(st);
            else if constexpr (std::is_same_v<T, sql::BackupDatabase>)
                return backup(st);
            else if constexpr (std::is_same_v<T, sql::RestoreHeader>)
                return restoreHeader(st);
            else if constexpr (std::is_same_v<T, sql::RestoreDatabase>)
                return restore(st);
            else if constexpr (std::is_same_v<T, sql::Print>)
                return print(st);
            else if constexpr (std::is_same_v<T, sql::PassThrough>)
                return passThrough(st);
            else if constexpr (std::is_same_v<T, sql::ExecUnknown>) {
                error(2812, 16, "Could not find stored procedure '" + st.procedure + "'.", 62);
                done(StatementKind::Other, -1, true);
                return Outcome::Failed;
            } else {
                done(StatementKind::Other, -1, false);
                return Outcome::Ok;
            }
        },
        s);
}

Session::Outcome Session::use(const sql::Use& s) {
    SqliteDb next;
    std::string name;
    {
        std::lock_guard lock(instance_.mutex_);
        const DatabaseEntry* entry = instance_.catalogue_.find(s.database);
        if (!entry) {
            error(911, 16,
                  "Database '" + s.database + "' does not exist. Make sure that the name is entered correctly.");
            done(StatementKind::Other, -1, true);
            return Outcome::Aborted;
        }
        try {
            next = openDatabase(*entry);
        } catch (const SqliteError& e) {
            const DbFile* p = entry->primary();
            error(5120, 16,
                  "Unable to open the physical file \"" + (p ? p->physicalName : std::string()) +
                      "\". Operating system error 2: \"2(" + files::osErrorText(2) + ")\".");
            done(StatementKind::Other, -1, true);
            return Outcome::Aborted;
        }
        name = entry->name;
        instance_.enter(spid_, name);
    }
    const std::string old = database_;
    db_ = std::move(next);
    database_ = name;
    sink_->databaseChanged(name, old);
    info(5701, "Changed database context to '" + name + "'.");
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

Session::Outcome Session::attach(const sql::AttachDb& s) {
    auto failed = [&](int number, const std::string& text) {
        error(number, 16, text);
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    if (s.database.empty())
        return failed(201, "Procedure or function 'sp_attach_db' expects parameter '@dbname', which was not supplied.");
    if (s.files.empty())
        return failed(201,
                      "Procedure or function 'sp_attach_db' expects parameter '@filename1', which was not supplied.");
    std::lock_guard lock(instance_.mutex_);
    Catalogue next = instance_.catalogue_;
    if (next.find(s.database))
        return failed(1801, "Database '" + s.database + "' already exists. Choose a different database name.");
    auto cannotOpen = [&](const std::string& path, uint32_t code) {
        return failed(5120, "Unable to open the physical file \"" + path + "\". Operating system error " +
                                std::to_string(code) + ": \"" + std::to_string(code) + "(" + files::osErrorText(code) +
                                ")\".");
    };
    const std::string& primaryPath = s.files[0];
    if (!files::exists(primaryPath))
        return cannotOpen(primaryPath,
                          files::parent(primaryPath).empty() || files::isDirectory(files::parent(primaryPath)) ? 2 : 3);
    for (const std::string& f : s.files) {
        if (next.ownerOf(f)) return cannotOpen(f, ERROR_SHARING_VIOLATION);
    }
    if (!isSqliteFile(primaryPath))
        return failed(5172, "The header for file '" + primaryPath +
                                "' is not a valid database file header. The FILE SIZE property is incorrect.");

    std::vector<DbFile> recorded = dbfiles::readFileList(primaryPath).value_or(std::vector<DbFile>{});
    if (recorded.empty()) {
        recorded = {{1, 'D', s.database, primaryPath}, {2, 'L', s.database + "_log", ""}};
    }
    std::vector<DbFile> list;
    size_t given = 1;
    bool primarySeen = false;
    for (DbFile f : recorded) {
        if (f.type == 'D' && !primarySeen) {
            f.physicalName = primaryPath;
            primarySeen = true;
        } else if (given < s.files.size()) {
            f.physicalName = s.files[given++];
        }
        list.push_back(f);
    }
    for (DbFile& f : list) {
        if (f.physicalName == primaryPath) continue;
        if (!f.physicalName.empty() && files::exists(f.physicalName)) continue;
        if (f.type != 'L') return cannotOpen(f.physicalName, ERROR_FILE_NOT_FOUND);
        // The log is gone: build a new one beside the data file, as the server does for a single-file attach.
        const std::string old = f.physicalName;
        f.physicalName = join(files::parent(primaryPath), s.database + "_log.ldf");
        if (next.ownerOf(f.physicalName)) return cannotOpen(f.physicalName, ERROR_SHARING_VIOLATION);
        if (!dbfiles::createAuxiliary(s.database, f)) return cannotOpen(f.physicalName, files::lastError());
        if (!old.empty())
            info(5105, "File activation failure. The physical file name \"" + old + "\" may be incorrect.");
        info(5007, "New log file '" + f.physicalName + "' was created.");
    }
    try {
        dbfiles::writeFileList(primaryPath, list);
    } catch (const SqliteError&) {
        return cannotOpen(primaryPath, ERROR_ACCESS_DENIED);
    }
    DatabaseEntry db;
    db.name = s.database;
    db.dbid = next.nextId();
    db.created = now();
    db.files = list;
    next.put(db);
    instance_.commit(std::move(next));
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

Session::Outcome Session::detach(const sql::DetachDb& s) {
    auto failed = [&](int number, const std::string& text) {
        error(number, 16, text);
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    std::lock_guard lock(instance_.mutex_);
    const DatabaseEntry* entry = instance_.catalogue_.find(s.database);
    if (!entry)
        return failed(
            15010,
            "The database '" + s.database +
                "' does not exist. Supply a valid database name. To see available databases, use sys.databases.");
    if (isSystemDatabase(entry->name))
        return failed(3708, "Cannot detach the database '" + entry->name + "' because it is a system database.");
    if (instance_.inUseByAny(entry->name))
        return failed(3703, "Cannot detach the database '" + entry->name + "' because it is currently in use.");
    Catalogue next = instance_.catalogue_;
    next.remove(entry->name);
    instance_.commit(std::move(next));
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

Session::Outcome Session::create(const sql::CreateDatabase& s) {
    auto failed = [&](std::vector<std::pair<int, std::string>> messages) {
        for (auto& [n, t] : messages) error(n, 16, t);
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    std::lock_guard lock(instance_.mutex_);
    Catalogue next = instance_.catalogue_;
    if (next.find(s.database))
        return failed({{1801, "Database '" + s.database + "' already exists. Choose a different database name."}});
    std::vector<DbFile> list;
    int id = 1;
    for (const sql::FileSpec& f : s.data) list.push_back({id++, 'D', f.logicalName, f.fileName});
    if (list.empty())
        list.push_back({id++, 'D', s.database, join(instance_.options().dataFolder, s.database + ".mdf")});
    for (const sql::FileSpec& f : s.log) list.push_back({id++, 'L', f.logicalName, f.fileName});
    if (s.log.empty()) {
        // Without LOG ON the log goes beside the primary data file.
        list.push_back(
            {id++, 'L', s.database + "_log", join(files::parent(list[0].physicalName), s.database + "_log.ldf")});
    }
    for (DbFile& f : list) {
        if (f.logicalName.empty()) f.logicalName = f.type == 'L' ? s.database + "_log" : s.database;
    }
    const std::string failedCreate =
        "CREATE DATABASE failed. Some file names listed could not be created. Check related errors.";
    for (size_t i = 0; i < list.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (equalsNoCase(list[i].logicalName, list[j].logicalName))
                return failed({{1828, "The logical file name \"" + list[i].logicalName +
                                          "\" is already in use. Choose a different name."}});
        }
    }
    for (const DbFile& f : list) {
        const std::string dir = files::parent(f.physicalName);
        if (files::exists(f.physicalName))
            return failed(
                {{5170,
                  "Cannot create file '" + f.physicalName +
                      "' because it already exists. Change the file path or the file name, and retry the operation."},
                 {1802, failedCreate}});
        if (!dir.empty() && !files::isDirectory(dir))
            return failed(
                {{5123, "CREATE FILE encountered operating system error 3(" + files::osErrorText(3) +
                            ") while attempting to open or create the physical file '" + f.physicalName + "'."},
                 {1802, failedCreate}});
    }
    if (!dbfiles::createAll(s.database, list)) {
        uint32_t code = files::lastError() ? files::lastError() : ERROR_ACCESS_DENIED;
        return failed(
            {{5123, "CREATE FILE encountered operating system error " + std::to_string(code) + "(" +
                        files::osErrorText(code) + ") while attempting to open or create the physical file '" +
                        list[0].physicalName + "'."},
             {1802, failedCreate}});
    }
    DatabaseEntry db;
    db.name = s.database;
    db.dbid = next.nextId();
    db.created = now();
    db.files = list;
    next.put(db);
    instance_.commit(std::move(next));
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

Session::Outcome Session::drop(const sql::DropDatabase& s) {
    std::lock_guard lock(instance_.mutex_);
    bool anyFailed = false;
    for (const std::string& name : s.databases) {
        const DatabaseEntry* entry = instance_.catalogue_.find(name);
        if (!entry) {
            error(3701, 11,
                  "Cannot drop the database '" + name + "', because it does not exist or you do not have permission.");
            anyFailed = true;
            continue;
        }
        if (isSystemDatabase(entry->name)) {
            error(3708, 16, "Cannot drop the database '" + entry->name + "' because it is a system database.");
            anyFailed = true;
            continue;
        }
        if (instance_.inUseByAny(entry->name)) {
            error(3702, 16, "Cannot drop database \"" + entry->name + "\" because it is currently in use.");
            anyFailed = true;
            continue;
        }
        DatabaseEntry gone = *entry;
        Catalogue next = instance_.catalogue_;
        next.remove(gone.name);
        instance_.commit(std::move(next));
        for (const DbFile& f : gone.files) files::remove(f.physicalName);
    }
    done(StatementKind::Other, -1, anyFailed);
    return anyFailed ? Outcome::Failed : Outcome::Ok;
}

Session::Outcome Session::backup(const sql::BackupDatabase& s) {
    const char* terminating =
        s.log ? "BACKUP LOG is terminating abnormally." : "BACKUP DATABASE is terminating abnormally.";
    auto failed = [&](int number, const std::string& text) {
        error(number, 16, text);
        error(3013, 16, terminating);
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    const auto started = std::chrono::steady_clock::now();
    std::lock_guard lock(instance_.mutex_);
    const DatabaseEntry* found = instance_.catalogue_.find(s.database);
    if (!found)
        return failed(911,
                      "Database '" + s.database + "' does not exist. Make sure that the name is entered correctly.");
    if (s.log)
        return failed(
            4208,
            "The statement BACKUP LOG is not allowed while the recovery model is SIMPLE. Use BACKUP DATABASE or "
            "change the recovery model using ALTER DATABASE.");
    const DatabaseEntry entry = *found;
    auto cannotOpenDevice = [&](uint32_t code) {
        return failed(3201, "Cannot open backup device '" + s.device + "'. Operating system error " +
                                std::to_string(code) + "(" + files::osErrorText(code) + ").");
    };
    const std::string dir = files::parent(s.device);
    if (s.device.empty() || (!dir.empty() && !files::isDirectory(dir))) return cannotOpenDevice(ERROR_PATH_NOT_FOUND);
    if (files::isDirectory(s.device)) return cannotOpenDevice(ERROR_ACCESS_DENIED);

    Bytes media;
    if (files::exists(s.device) && !s.init) {
        auto existing = files::read(s.device);
        if (!existing) return cannotOpenDevice(files::lastError());
        if (!existing->empty() && backup::readMedia(*existing).error != backup::ReadError::None)
            return failed(3241, "The media family on device '" + s.device +
                                    "' is incorrectly formed. SQL Server cannot process this media family.");
        media = std::move(*existing);
    }
    backup::BackupSet set;
    set.databaseName = entry.name;
    set.name = s.name;
    set.created = entry.created;
    set.startTime = static_cast<int64_t>(std::time(nullptr));
    for (const DbFile& f : entry.files) {
        backup::FileImage image{f.fileId, f.type, f.logicalName, f.physicalName, {}};
        std::optional<Bytes> bytes;
        if (&f == entry.primary()) {
            // Hold a read transaction while copying, so that no writer commits halfway through the copy.
            try {
                SqliteDb reader(f.physicalName, false);
                reader.exec("BEGIN");
                reader.exec("SELECT count(*) FROM sqlite_master");
                bytes = files::read(f.physicalName);
                reader.exec("COMMIT");
            } catch (const SqliteError&) {
                bytes.reset();
            }
        } else {
            bytes = files::read(f.physicalName);
        }
        if (!bytes)
            return failed(3203, "Read on \"" + f.physicalName + "\" failed: " + std::to_string(files::lastError()) +
                                    "(" + files::osErrorText(files::lastError()) + ")");
        image.contents = std::move(*bytes);
        set.files.push_back(std::move(image));
    }
    set.finishTime = static_cast<int64_t>(std::time(nullptr));
    const int position = static_cast<int>(backup::readMedia(media).sets.size()) + 1;
    backup::appendSet(media, set);
    if (!files::writeAtomically(s.device, media)) return cannotOpenDevice(files::lastError());
    int64_t pages = 0;
    for (const backup::FileImage& f : set.files) {
        int64_t p = pagesOf(f.contents.size());
        pages += p;
        info(4035, format("Processed %lld pages for database '%s', file '%s' on file %d.", static_cast<long long>(p),
                          entry.name.c_str(), f.logicalName.c_str(), position));
    }
    info(3014, throughput("BACKUP DATABASE", pages, std::chrono::steady_clock::now() - started));
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

namespace {
// What RESTORE finds on a device: the sets, or the error messages that stop it.
struct DeviceRead {
    backup::Media media;
    int number = 0;
    std::string text;
};

DeviceRead readDevice(const std::string& device) {
    DeviceRead r;
    auto bytes = files::read(device);
    if (!bytes) {
        uint32_t code = files::lastError();
        if (code == 0) code = ERROR_FILE_NOT_FOUND;
        r.number = 3201;
        r.text = "Cannot open backup device '" + device + "'. Operating system error " + std::to_string(code) + "(" +
                 files::osErrorText(code) + ").";
        return r;
    }
    r.media = backup::readMedia(*bytes);
    if (r.media.error == backup::ReadError::Damaged && r.media.sets.empty()) {
        r.number = 3189;
        r.text = "Damage to the backup set was detected.";
    } else if (r.media.error != backup::ReadError::None && r.media.sets.empty()) {
        r.number = 3241;
        r.text = "The media family on device '" + device +
                 "' is incorrectly formed. SQL Server cannot process this media family.";
    }
    return r;
}
}  // namespace

Session::Outcome Session::restoreHeader(const sql::RestoreHeader& s) {
    const char* terminating = s.what == sql::RestoreHeader::FileList ? "RESTORE FILELIST is terminating abnormally."
                              : s.what == sql::RestoreHeader::Header ? "RESTORE HEADERONLY is terminating abnormally."
                                                                     : "VERIFY DATABASE is terminating abnormally.";
    auto failed = [&](int number, const std::string& text) {
        error(number, 16, text);
        error(3013, 16, terminating);
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    DeviceRead d = readDevice(s.device);
    if (d.number) return failed(d.number, d.text);
    const auto& sets = d.media.sets;
    if (s.what == sql::RestoreHeader::Header) {
        std::vector<Column> cols = {{"BackupName"},
                                    {"BackupType", ColumnType::Integer},
                                    {"Position", ColumnType::Integer},
                                    {"ServerName"},
                                    {"DatabaseName"},
                                    {"DatabaseCreationDate"},
                                    {"BackupSize", ColumnType::Integer},
                                    {"BackupStartDate"},
                                    {"BackupFinishDate"}};
        sink_->columns(cols);
        int position = 0;
        for (const backup::BackupSet& set : sets) {
            ++position;
            int64_t size = 0;
            for (const auto& f : set.files) size += static_cast<int64_t>(f.contents.size());
            auto stamp = [](int64_t t) {
                std::time_t tt = static_cast<std::time_t>(t);
                std::tm* tm = std::gmtime(&tt);
                char buf[32] = "";
                if (tm) std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", tm);
                return std::string(buf);
            };
            Row row = {set.name.empty() ? Value{} : Value{set.name},
                       int64_t{1},
                       int64_t{position},
                       instance_.serverName(),
                       set.databaseName,
                       set.created,
                       size,
                       stamp(set.startTime),
                       stamp(set.finishTime)};
            sink_->row(cols, row);
        }
        done(StatementKind::Select, static_cast<int64_t>(sets.size()), false);
        return Outcome::Ok;
    }
    if (s.fileNumber < 1 || s.fileNumber > static_cast<int>(sets.size()))
        return failed(4038, "Cannot find file ID " + std::to_string(s.fileNumber) + " on device '" + s.device + "'.");
    const backup::BackupSet& set = sets[static_cast<size_t>(s.fileNumber - 1)];
    if (s.what == sql::RestoreHeader::Verify) {
        info(3262, "The backup set on file " + std::to_string(s.fileNumber) + " is valid.");
        done(StatementKind::Other, -1, false);
        return Outcome::Ok;
    }
    auto I = ColumnType::Integer;
    std::vector<Column> cols = {{"LogicalName"},
                                {"PhysicalName"},
                                {"Type"},
                                {"FileGroupName"},
                                {"Size", I},
                                {"MaxSize", I},
                                {"FileId", I},
                                {"CreateLSN", I},
                                {"DropLSN", I},
                                {"UniqueId"},
                                {"ReadOnlyLSN", I},
                                {"ReadWriteLSN", I},
                                {"BackupSizeInBytes", I},
                                {"SourceBlockSize", I},
                                {"FileGroupId", I},
                                {"LogGroupGUID"},
                                {"DifferentialBaseLSN", I},
                                {"DifferentialBaseGUID"},
                                {"IsReadOnly", I},
                                {"IsPresent", I},
                                {"TDEThumbprint", ColumnType::Binary}};
    sink_->columns(cols);
    for (const backup::FileImage& f : set.files) {
        const bool data = f.type == 'D';
        const int64_t size = pagesOf(f.contents.size()) * 8192;
        Row row = {f.logicalName,
                   f.physicalName,
                   std::string(1, f.type),
                   data ? Value{std::string("PRIMARY")} : Value{},
                   size,
                   int64_t{35184372080640},
                   int64_t{f.fileId},
                   int64_t{0},
                   int64_t{0},
                   format("%08X-0000-0000-0000-%012X", static_cast<unsigned>(f.fileId * 0x1F2E3D),
                          static_cast<unsigned>(f.fileId)),
                   int64_t{0},
                   int64_t{0},
                   size,
                   int64_t{512},
                   int64_t{data ? 1 : 0},
                   Value{},
                   int64_t{0},
                   std::string("00000000-0000-0000-0000-000000000000"),
                   int64_t{0},
                   int64_t{1},
                   Value{}};
        sink_->row(cols, row);
    }
    done(StatementKind::Select, static_cast<int64_t>(set.files.size()), false);
    return Outcome::Ok;
}

Session::Outcome Session::restore(const sql::RestoreDatabase& s) {
    const auto started = std::chrono::steady_clock::now();
    auto terminate = [&] {
        error(3013, 16, "RESTORE DATABASE is terminating abnormally.");
        done(StatementKind::Other, -1, true);
        return Outcome::Failed;
    };
    auto failed = [&](int number, const std::string& text) {
        error(number, 16, text);
        return terminate();
    };
    DeviceRead d = readDevice(s.device);
    if (d.number) return failed(d.number, d.text);
    if (s.fileNumber < 1 || s.fileNumber > static_cast<int>(d.media.sets.size()))
        return failed(4038, "Cannot find file ID " + std::to_string(s.fileNumber) + " on device '" + s.device + "'.");
    const backup::BackupSet& set = d.media.sets[static_cast<size_t>(s.fileNumber - 1)];

    std::lock_guard lock(instance_.mutex_);
    Catalogue next = instance_.catalogue_;
    const DatabaseEntry* existing = next.find(s.database);
    const std::string target = existing ? existing->name : s.database;
    if (existing) {
        if (equalsNoCase(database_, existing->name))
            return failed(
                3102, "RESTORE cannot process database '" + target +
                          "' because it is in use by this session. It is recommended that the master database be used "
                          "when performing this operation.");
        if (isSystemDatabase(target))
            return failed(3108, "To restore the master database, the server must be running in single-user mode.");
        if (instance_.inUseByOthers(spid_, target))
            return failed(3101, "Exclusive access could not be obtained because the database is in use.");
        if (!s.replace && !equalsNoCase(set.databaseName, target))
            return failed(
                3154, "The backup set holds a backup of a database other than the existing '" + target + "' database.");
    }
    for (const sql::Move& m : s.moves) {
        bool known = std::any_of(set.files.begin(), set.files.end(), [&](const backup::FileImage& f) {
            return equalsNoCase(f.logicalName, m.logicalName);
        });
        if (!known)
            return failed(3234, "Logical file '" + m.logicalName + "' is not part of database '" + target +
                                    "'. Use RESTORE FILELISTONLY to list the logical file names.");
    }
    // Plan where every file goes; report every problem before giving up, as the server does.
    std::vector<DbFile> planned;
    bool problems = false;
    for (const backup::FileImage& f : set.files) {
        std::string dest = f.physicalName;
        for (const sql::Move& m : s.moves) {
            if (equalsNoCase(m.logicalName, f.logicalName)) dest = m.path;
        }
        auto cannot = [&] {
            error(3156, 16,
                  "File '" + f.logicalName + "' cannot be restored to '" + dest +
                      "'. Use WITH MOVE to identify a valid location for the file.");
            problems = true;
        };
        const std::string dir = files::parent(dest);
        const DatabaseEntry* owner = dest.empty() ? nullptr : next.ownerOf(dest);
        bool ownFile = owner && equalsNoCase(owner->name, target);
        bool clash = false;
        for (const DbFile& p : planned) clash = clash || files::samePath(p.physicalName, dest);
        if (dest.empty() || clash) {
            cannot();
        } else if (!dir.empty() && !files::isDirectory(dir)) {
            error(5133, 16,
                  "Directory lookup for the file \"" + dest + "\" failed with the operating system error 3(" +
                      files::osErrorText(3) + ").");
            cannot();
        } else if (owner && !ownFile) {
            error(
                1834, 16,
                "The file '" + dest + "' cannot be overwritten.  It is being used by database '" + owner->name + "'.");
            cannot();
        } else if (!ownFile && !s.replace && files::exists(dest)) {
            error(3142, 16,
                  "File \"" + f.logicalName + "\" cannot be restored over the existing \"" + dest +
                      "\". Reissue the RESTORE statement using WITH REPLACE to overwrite pre-existing files, or WITH "
                      "MOVE to identify an alternate location.");
            problems = true;
        }
        planned.push_back({f.fileId, f.type, f.logicalName, dest});
    }
    if (problems) {
        error(3119, 16,
              "Problems were identified while planning for the RESTORE statement. Previous messages provide details.");
        return terminate();
    }

    uint64_t total = 0;
    for (const auto& f : set.files) total += f.contents.size();
    uint64_t written = 0;
    int reported = 0;
    const int step = s.stats > 0 ? std::min(s.stats, 100) : 0;
    for (size_t i = 0; i < set.files.size(); ++i) {
        const backup::FileImage& f = set.files[i];
        if (!files::writeAtomically(planned[i].physicalName, f.contents)) {
            uint32_t code = files::lastError();
            return failed(3634, "The operating system returned the error '" + std::to_string(code) + "(" +
                                    files::osErrorText(code) +
                                    ")' while attempting 'RestoreContainer::ValidateTargetForCreation' on '" +
                                    planned[i].physicalName + "'.");
        }
        written += f.contents.size();
        if (step) {
            int percent = total ? static_cast<int>(written * 100 / total) : 100;
            while (reported + step <= percent) {
                reported += step;
                info(3211, std::to_string(reported) + " percent processed.");
            }
        }
    }
    if (step && reported < 100) info(3211, "100 percent processed.");
    const DbFile* primary = nullptr;
    for (const DbFile& p : planned) {
        if (p.type == 'D') {
            primary = &p;
            break;
        }
    }
    if (primary) {
        try {
            dbfiles::writeFileList(primary->physicalName, planned);
        } catch (const SqliteError&) {
            return failed(3241, "The media family on device '" + s.device +
                                    "' is incorrectly formed. SQL Server cannot process this media family.");
        }
    }
    std::vector<std::string> stale;
    DatabaseEntry db;
    if (existing) {
        for (const DbFile& old : existing->files) {
            bool reused = std::any_of(planned.begin(), planned.end(), [&](const DbFile& p) {
                return files::samePath(p.physicalName, old.physicalName);
            });
            if (!reused) stale.push_back(old.physicalName);
        }
        db.dbid = existing->dbid;
    } else {
        db.dbid = next.nextId();
    }
    db.name = target;
    db.created = set.created.empty() ? now() : set.created;
    db.files = planned;
    next.put(db);
    instance_.commit(std::move(next));
    for (const std::string& p : stale) files::remove(p);
    int64_t pages = 0;
    for (const auto& f : set.files) {
        int64_t p = pagesOf(f.contents.size());
        pages += p;
        info(4035, format("Processed %lld pages for database '%s', file '%s' on file %d.", static_cast<long long>(p),
                          target.c_str(), f.logicalName.c_str(), s.fileNumber));
    }
    info(3014, throughput("RESTORE DATABASE", pages, std::chrono::steady_clock::now() - started));
    done(StatementKind::Other, -1, false);
    return Outcome::Ok;
}

void Session::refreshSystemTables(const std::string& text) {
    const std::string l = lower(text);
    const bool files = l.find("sysfiles") != std::string::npos;
    const bool dbs = l.find("sysdatabases") != std::string::npos;
    if (!files && !dbs) return;
    Catalogue cat = instance_.catalogue();
    if (files) {
        db_.exec("DROP TABLE IF EXISTS temp.sysfiles");
        // name is nchar(128) and filename nchar(260): blank-padded, compared without the blanks.
        db_.exec(
            "CREATE TEMP TABLE sysfiles(fileid INT, groupid INT, size INT, maxsize INT, growth INT, status INT, perf "
            "INT, name TEXT COLLATE zz_text, filename TEXT COLLATE zz_text)");
        if (const DatabaseEntry* e = cat.find(database_)) {
            for (const DbFile& f : e->files) {
                SqliteStatement st = db_.prepare("INSERT INTO temp.sysfiles VALUES(?, ?, ?, -1, 10, ?, 0, ?, ?)");
                sqlite3_bind_int(st.get(), 1, f.fileId);
                sqlite3_bind_int(st.get(), 2, f.type == 'L' ? 0 : 1);
                sqlite3_bind_int64(st.get(), 3, pagesOf(files::size(f.physicalName).value_or(0)));
                sqlite3_bind_int(st.get(), 4, f.type == 'L' ? 0x42 : 0x2);
                db_.bind(st, 5, ncharValue(f.logicalName, 128));
                db_.bind(st, 6, ncharValue(f.physicalName, 260));
                sqlite3_step(st.get());
            }
        }
    }
    if (dbs) {
        db_.exec("DROP TABLE IF EXISTS temp.sysdatabases");
        db_.exec(
            "CREATE TEMP TABLE sysdatabases(name TEXT COLLATE zz_text, dbid INT, sid BLOB, mode INT, status INT, "
            "status2 INT, crdate TEXT, reserved TEXT, category INT, cmptlevel INT, filename TEXT COLLATE zz_text, "
            "version INT)");
        for (const DatabaseEntry& e : cat.databases()) {
            SqliteStatement st = db_.prepare(
                "INSERT INTO temp.sysdatabases VALUES(?, ?, x'01', 0, 65544, 1090519040, ?, '1900-01-01 00:00:00.000', "
                "0, 110, ?, 706)");
            db_.bind(st, 1, e.name);
            sqlite3_bind_int(st.get(), 2, e.dbid);
            db_.bind(st, 3, e.created);
            db_.bind(st, 4, e.primary() ? e.primary()->physicalName : std::string());
            sqlite3_step(st.get());
        }
    }
}

Session::Outcome Session::sqliteFailure(const SqliteError& e, const std::string& text) {
    const std::string msg = e.what();
    auto after = [&](const char* prefix) -> std::optional<std::string> {
        if (msg.rfind(prefix, 0) == 0) return msg.substr(std::strlen(prefix));
        return std::nullopt;
    };
    const std::string head = lower(text.substr(0, 12));
    Outcome outcome = Outcome::Failed;
    if (sink_->cancelled() || e.code == SQLITE_INTERRUPT) {
        return Outcome::Aborted;  // the connection answers the cancel itself
    } else if (auto t = after("no such table: ")) {
        if (head.rfind("drop table", 0) == 0) {
            error(3701, 11,
                  "Cannot drop the table '" + *t + "', because it does not exist or you do not have permission.");
        } else {
            error(208, 16, "Invalid object name '" + *t + "'.");
            outcome = Outcome::Aborted;
        }
    } else if (auto c = after("no such column: ")) {
        error(207, 16, "Invalid column name '" + *c + "'.");
        outcome = Outcome::Aborted;
    } else if (auto f = after("no such function: ")) {
        error(195, 15, "'" + *f + "' is not a recognized built-in function name.");
        outcome = Outcome::Aborted;
    } else if (msg.rfind("table ", 0) == 0 && msg.find(" already exists") != std::string::npos) {
        std::string name = msg.substr(6, msg.find(" already exists") - 6);
        error(2714, 16, "There is already an object named '" + name + "' in the database.");
    } else if (auto u = after("UNIQUE constraint failed: ")) {
        std::string table = u->substr(0, u->find('.'));
        error(2627, 14,
              "Violation of UNIQUE KEY constraint. Cannot insert duplicate key in object 'dbo." + table + "'.");
    } else if (auto n = after("NOT NULL constraint failed: ")) {
        std::string table = n->substr(0, n->find('.'));
        std::string column = n->find('.') == std::string::npos ? *n : n->substr(n->find('.') + 1);
        error(515, 16,
              "Cannot insert the value NULL into column '" + column + "', table '" + table +
                  "'; column does not allow nulls. INSERT fails.");
    } else if (e.code == SQLITE_BUSY || e.code == SQLITE_LOCKED) {
        error(1222, 16, "Lock request time out period exceeded.");
    } else if (msg.find("syntax error") != std::string::npos) {
        error(102, 15, "Incorrect syntax near '" + msg + "'.");
        outcome = Outcome::Aborted;
    } else {
        error(50000, 16, msg);
    }
    done(StatementKind::Other, -1, true);
    return outcome;
}

Session::Outcome Session::print(const sql::Print& s) {
    try {
        refreshSystemTables(s.expression);
        SqliteStatement st = db_.prepare("SELECT " + s.expression);
        bindParameters(st);
        int rc = sqlite3_step(st.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw SqliteError(rc, sqlite3_errmsg(db_.get()));
        const char* text = rc == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)) : nullptr;
        info(0, text ? text : "");
        done(StatementKind::Other, -1, false);
        return Outcome::Ok;
    } catch (const SqliteError& e) {
        return sqliteFailure(e, "print");
    }
}

Session::Outcome Session::passThrough(const sql::PassThrough& s) {
    try {
        refreshSystemTables(s.sql);
        SqliteStatement st = db_.prepare(s.sql);
        bindParameters(st);
        const int n = sqlite3_column_count(st.get());
        if (n == 0) {
            int rc;
            while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) throw SqliteError(rc, sqlite3_errmsg(db_.get()));
            const bool counts =
                s.kind == StatementKind::Insert || s.kind == StatementKind::Update || s.kind == StatementKind::Delete;
            done(s.kind, counts ? sqlite3_changes(db_.get()) : -1, false);
            return Outcome::Ok;
        }
        // Rows are read first: TDS declares the column types before the first row.
        std::vector<Row> rows;
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            Row r(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) r[static_cast<size_t>(i)] = st.column(i);
            rows.push_back(std::move(r));
            if ((rows.size() & 255) == 0 && sink_->cancelled()) return Outcome::Aborted;
        }
        if (rc != SQLITE_DONE) throw SqliteError(rc, sqlite3_errmsg(db_.get()));
        std::vector<Column> cols(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            Column& c = cols[static_cast<size_t>(i)];
            c.name = columnName(sqlite3_column_name(st.get(), i));
            bool anyInt = false, anyFloat = false, anyText = false, anyBlob = false;
            for (const Row& r : rows) {
                const Value& v = r[static_cast<size_t>(i)];
                if (std::holds_alternative<int64_t>(v)) anyInt = true;
                if (std::holds_alternative<double>(v)) anyFloat = true;
                if (auto* t = std::get_if<std::string>(&v)) {
                    anyText = true;
                    if (t->size() > 4000 && utf8ToUtf16(*t).size() > 4000) c.large = true;
                }
                if (auto* b = std::get_if<Bytes>(&v)) {
                    anyBlob = true;
                    if (b->size() > 8000) c.large = true;
                }
            }
            if (anyText || (anyBlob && (anyInt || anyFloat))) {
                c.type = ColumnType::Text;
            } else if (anyBlob) {
                c.type = ColumnType::Binary;
            } else if (anyFloat) {
                c.type = ColumnType::Float;
            } else if (anyInt) {
                c.type = ColumnType::Integer;
            } else {
                c.type = typeFromDeclaration(sqlite3_column_decltype(st.get(), i));
            }
            if (c.type == ColumnType::Binary && anyText) c.type = ColumnType::Text;
        }
        sink_->columns(cols);
        for (const Row& r : rows) {
            if (sink_->cancelled()) return Outcome::Aborted;
            sink_->row(cols, r);
        }
        done(StatementKind::Select, static_cast<int64_t>(rows.size()), false);
        return Outcome::Ok;
    } catch (const SqliteError& e) {
        return sqliteFailure(e, s.sql);
    }
}

}  // namespace standin
