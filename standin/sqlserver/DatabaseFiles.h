#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"

namespace standin::dbfiles {

// A database's first data file is a SQLite file; it also records the database's file list (table zz_sysfiles),
// so that attaching the data file alone finds the others. Log files and further data files are small files of
// ours that only name their database.

// Create a new file set. Returns false (with files::lastError()) and removes what it made on failure.
bool createAll(const std::string& dbName, const std::vector<DbFile>& files);
bool createAuxiliary(const std::string& dbName, const DbFile& file);

// The file list recorded in a data file; nullopt for a SQLite file without one.
std::optional<std::vector<DbFile>> readFileList(const std::string& dataFile);
// Records `files` in the data file. Throws SqliteError.
void writeFileList(const std::string& dataFile, const std::vector<DbFile>& files);

}  // namespace standin::dbfiles
