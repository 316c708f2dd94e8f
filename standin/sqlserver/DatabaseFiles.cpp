#include "DatabaseFiles.h"

#include "Files.h"
#include "Sqlite.h"

namespace standin::dbfiles {

namespace {
constexpr const char* kFileListTable =
    "CREATE TABLE IF NOT EXISTS zz_sysfiles(fileid INTEGER PRIMARY KEY, type TEXT, name TEXT, filename TEXT)";
}

bool createAuxiliary(const std::string& dbName, const DbFile& file) {
    std::string text = std::string(file.type == 'L' ? "ZZ stand-in log file" : "ZZ stand-in data file") +
                       "\r\ndatabase=" + dbName + "\r\nname=" + file.logicalName + "\r\n";
    return files::writeAtomically(file.physicalName, Bytes(text.begin(), text.end()));
}

void writeFileList(const std::string& dataFile, const std::vector<DbFile>& list) {
    SqliteDb db(dataFile, false);
    db.exec(kFileListTable);
    db.exec("BEGIN");
    db.exec("DELETE FROM zz_sysfiles");
    for (const DbFile& f : list) {
        SqliteStatement s = db.prepare("INSERT INTO zz_sysfiles(fileid, type, name, filename) VALUES(?, ?, ?, ?)");
        sqlite3_bind_int(s.get(), 1, f.fileId);
        db.bind(s, 2, std::string(1, f.type));
        db.bind(s, 3, f.logicalName);
        db.bind(s, 4, f.physicalName);
        if (sqlite3_step(s.get()) != SQLITE_DONE)
            throw SqliteError(sqlite3_errcode(db.get()), sqlite3_errmsg(db.get()));
    }
    db.exec("COMMIT");
}

std::optional<std::vector<DbFile>> readFileList(const std::string& dataFile) {
    try {
        SqliteDb db(dataFile, false);
        SqliteStatement s = db.prepare("SELECT fileid, type, name, filename FROM zz_sysfiles ORDER BY fileid");
        std::vector<DbFile> out;
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            DbFile f;
            f.fileId = sqlite3_column_int(s.get(), 0);
            const char* type = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
            f.type = type && *type ? *type : 'D';
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 2));
            const char* path = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 3));
            f.logicalName = name ? name : "";
            f.physicalName = path ? path : "";
            out.push_back(f);
        }
        if (out.empty()) return std::nullopt;
        return out;
    } catch (const SqliteError&) {
        return std::nullopt;
    }
}

bool createAll(const std::string& dbName, const std::vector<DbFile>& list) {
    std::vector<std::string> made;
    auto undo = [&] {
        uint32_t err = files::lastError();
        for (const std::string& p : made) files::remove(p);
        (void)err;
        return false;
    };
    bool primaryDone = false;
    for (const DbFile& f : list) {
        if (f.type == 'D' && !primaryDone) {
            try {
                { SqliteDb db(f.physicalName, true); }
                made.push_back(f.physicalName);
                writeFileList(f.physicalName, list);
            } catch (const SqliteError&) {
                return undo();
            }
            primaryDone = true;
        } else {
            if (!createAuxiliary(dbName, f)) return undo();
            made.push_back(f.physicalName);
        }
    }
    return true;
}

}  // namespace standin::dbfiles
