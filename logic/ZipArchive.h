#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zz {

// One file inside a ZIP archive.
struct ZipEntryInfo {
    std::wstring name;      // as stored ("/" separated)
    std::uint64_t size = 0;  // uncompressed
    std::uint32_t crc32 = 0;
};

// Packs the file source into a new archive (PKWARE format, Deflate at maximum compression, Zip64 where needed)
// holding one entry named entryName. Raises zz::Error when it cannot; a partly written archive is removed then, and
// source is never touched. An existing file named archive is an error and stays as it was. Compresses on every
// processor with memory bounded by the processors, not by the file; the archive is flushed to the disk before this
// returns. Returns the entry written.
ZipEntryInfo PackFile(const std::wstring& source, const std::wstring& archive, const std::wstring& entryName);

// Reads the archive back: it must hold an entry expected.name (exact case) whose directory record and whose data,
// really inflated, give expected.size bytes with expected.crc32. Raises zz::Error otherwise. What to check before
// the source of a packed archive is deleted.
void VerifyArchive(const std::wstring& archive, const ZipEntryInfo& expected);

// Extracts every entry of the archive into folder (ending without a separator), recreating stored folders and
// replacing files of the same name. Each file is written under a temporary name in its folder and renamed over the
// target only when it is complete and its CRC matches. An entry that would land outside folder (absolute, with a
// drive, or climbing out through "..") is refused before anything is written; so are encrypted entries and
// compression methods other than stored and Deflate. Raises zz::Error on any failure; the files completed before
// it stay. Streams: memory does not grow with the entries' sizes. Returns the path of every entry, folders included,
// in the archive's order.
std::vector<std::wstring> ExtractAll(const std::wstring& archive, const std::wstring& folder);

}  // namespace zz
