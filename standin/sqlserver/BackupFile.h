#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Bytes.h"

namespace standin::backup {

struct FileImage {
    int fileId = 1;
    char type = 'D';
    std::string logicalName;
    std::string physicalName;  // where the file was when it was backed up
    Bytes contents;
};

struct BackupSet {
    std::string databaseName;
    std::string name;       // WITH NAME, may be empty
    int64_t startTime = 0;  // seconds since 1970, UTC
    int64_t finishTime = 0;
    std::string created;  // creation date of the database
    std::vector<FileImage> files;
};

enum class ReadError {
    None,
    NotABackup,  // does not start like one of our media files, or is cut short
    Damaged,     // the checksum of a set does not match its bytes
};

struct Media {
    std::vector<BackupSet> sets;
    ReadError error = ReadError::None;
};

// Appends one set to the bytes of a media file (empty for a new file).
void appendSet(Bytes& media, const BackupSet& set);
// Reads every set. Stops at the first set that is malformed and reports why; sets before it are kept.
Media readMedia(const Bytes& media);

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0);

}  // namespace standin::backup
