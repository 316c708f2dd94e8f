#include "Catalogue.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "Files.h"
#include "Text.h"

namespace standin {

namespace {
constexpr const char* kMagic = "zz-standin-catalogue 1";

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char c = s[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        size_t tab = line.find('\t', at);
        out.push_back(unescape(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at)));
        if (tab == std::string::npos) return out;
        at = tab + 1;
    }
}
}  // namespace

const DbFile* DatabaseEntry::primary() const {
    for (const DbFile& f : files) {
        if (f.type == 'D') return &f;
    }
    return nullptr;
}

std::string Catalogue::serialize(const std::vector<DatabaseEntry>& dbs) {
    std::string out = std::string(kMagic) + "\n";
    for (const DatabaseEntry& db : dbs) {
        out += "db\t" + std::to_string(db.dbid) + "\t" + escape(db.name) + "\t" + escape(db.created) + "\n";
        for (const DbFile& f : db.files) {
            out += "file\t" + std::to_string(f.fileId) + "\t" + std::string(1, f.type) + "\t" + escape(f.logicalName) +
                   "\t" + escape(f.physicalName) + "\n";
        }
    }
    out += "end\n";
    return out;
}

std::vector<DatabaseEntry> Catalogue::deserialize(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) throw std::runtime_error("not a catalogue file");
    std::vector<DatabaseEntry> dbs;
    bool ended = false;
    while (std::getline(in, line)) {
        std::vector<std::string> f = fields(line);
        if (f[0] == "db" && f.size() == 4) {
            DatabaseEntry db;
            db.dbid = std::stoi(f[1]);
            db.name = f[2];
            db.created = f[3];
            dbs.push_back(db);
        } else if (f[0] == "file" && f.size() == 5 && !dbs.empty() && f[2].size() == 1) {
            dbs.back().files.push_back({std::stoi(f[1]), f[2][0], f[3], f[4]});
        } else if (f[0] == "end") {
            ended = true;
            break;
        } else {
            throw std::runtime_error("malformed catalogue line: " + line);
        }
    }
    // A file without its last line was cut short: refuse it rather than lose databases silently.
    if (!ended) throw std::runtime_error("catalogue file is incomplete");
    return dbs;
}

void Catalogue::load() {
    if (!files::exists(path_)) {
        dbs_.clear();
        return;
    }
    auto data = files::read(path_);
    if (!data) throw std::runtime_error("cannot read the catalogue " + path_);
    dbs_ = deserialize(std::string(data->begin(), data->end()));
}

void Catalogue::save() const {
    std::string text = serialize(dbs_);
    if (!files::writeAtomically(path_, Bytes(text.begin(), text.end())))
        throw std::runtime_error("cannot write the catalogue " + path_);
}

const DatabaseEntry* Catalogue::find(const std::string& name) const {
    for (const DatabaseEntry& db : dbs_) {
        if (equalsNoCase(db.name, name)) return &db;
    }
    return nullptr;
}

const DatabaseEntry* Catalogue::ownerOf(const std::string& path) const {
    for (const DatabaseEntry& db : dbs_) {
        for (const DbFile& f : db.files) {
            if (files::samePath(f.physicalName, path)) return &db;
        }
    }
    return nullptr;
}

int Catalogue::nextId() const {
    int id = 4;  // the ids below 5 belong to the system databases
    for (const DatabaseEntry& db : dbs_) id = std::max(id, db.dbid);
    return id + 1;
}

void Catalogue::put(DatabaseEntry db) {
    for (DatabaseEntry& d : dbs_) {
        if (equalsNoCase(d.name, db.name)) {
            d = std::move(db);
            return;
        }
    }
    dbs_.push_back(std::move(db));
}

void Catalogue::remove(const std::string& name) {
    dbs_.erase(
        std::remove_if(dbs_.begin(), dbs_.end(), [&](const DatabaseEntry& d) { return equalsNoCase(d.name, name); }),
        dbs_.end());
}

}  // namespace standin
