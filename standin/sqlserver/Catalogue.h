#pragma once

#include <string>
#include <vector>

namespace standin {

struct DbFile {
    int fileId = 1;
    char type = 'D';  // 'D' data, 'L' log
    std::string logicalName;
    std::string physicalName;
};

struct DatabaseEntry {
    std::string name;
    int dbid = 0;
    std::string created;  // yyyy-mm-dd hh:mm:ss.mmm
    std::vector<DbFile> files;

    // The first data file: the SQLite file that holds the tables.
    const DbFile* primary() const;
};

// The server's list of databases and their files, kept in one file of the data folder. Every change is saved
// at once, written beside the old file and renamed over it.
class Catalogue {
public:
    explicit Catalogue(std::string path) : path_(std::move(path)) {}

    // A missing file is an empty catalogue; an unreadable or malformed one throws std::runtime_error.
    void load();
    // Throws std::runtime_error when the file cannot be written; the previous file then stays as it was.
    void save() const;

    const std::vector<DatabaseEntry>& databases() const { return dbs_; }
    const DatabaseEntry* find(const std::string& name) const;
    // The database one of whose files lies at `path`, if any.
    const DatabaseEntry* ownerOf(const std::string& path) const;
    int nextId() const;

    void put(DatabaseEntry db);  // adds or replaces by name
    void remove(const std::string& name);

    static std::string serialize(const std::vector<DatabaseEntry>& dbs);
    static std::vector<DatabaseEntry> deserialize(const std::string& text);

private:
    std::string path_;
    std::vector<DatabaseEntry> dbs_;
};

}  // namespace standin
