#pragma once

#include <cstdint>
#include <string>

namespace zz {

// The records of a ZIP archive (PKWARE application note) that hold exactly one Deflate entry at offset 0: the
// local header before the data and the central directory with its end records after it. Zip64 fields appear where
// a size or an offset does not fit in 32 bits.
class ZipRecords {
public:
    // Entries at least this large get Zip64 sizes in their local header: the header is written before the data,
    // and Deflate may grow data that does not compress by a little, so the choice leaves room for that.
    static constexpr std::uint64_t kZip64EntrySize = 0xFFFFFFFFull - 0x01000000ull;
    static bool NeedsZip64(std::uint64_t size) { return size >= kZip64EntrySize; }

    // name: the entry's name as stored (UTF-8, "/" separated); dosTime/dosDate: its modification time; zip64:
    // Zip64 sizes for the entry (NeedsZip64; smaller entries may have them too).
    ZipRecords(std::string name, std::uint64_t size, std::uint16_t dosTime, std::uint16_t dosDate, bool zip64);

    bool Zip64Entry() const { return zip64_; }
    // Written first, with the CRC and compressed size left 0 until PatchLocalHeader gives them.
    std::string LocalHeader() const;
    // The local header's CRC and size fields: patch bytes and where they go in the archive.
    std::uint64_t PatchOffset() const;
    std::string PatchLocalHeader(std::uint32_t crc, std::uint64_t compressedSize) const;
    // Everything after the entry's data, which ends at dataEnd.
    std::string CentralDirectoryAndEnd(std::uint32_t crc, std::uint64_t compressedSize, std::uint64_t dataEnd) const;

private:
    std::uint16_t Flags() const;
    std::uint16_t VersionNeeded() const;

    std::string name_;
    std::uint64_t size_;
    std::uint16_t dosTime_, dosDate_;
    bool zip64_;
};

}  // namespace zz
