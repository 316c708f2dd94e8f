#include "logic/ZipRecords.h"

#include <algorithm>

#include "common/Error.h"

namespace zz {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint16_t kDeflate = 8;
constexpr std::uint16_t kMaximumCompressionFlag = 0x0002;  // bits 1-2 = 01 for Deflate
constexpr std::uint16_t kUtf8NameFlag = 0x0800;
constexpr std::uint32_t kMax32 = 0xFFFFFFFF;
constexpr std::uint16_t kVersionMadeBy = 45;  // host 0 (FAT), format 4.5
constexpr std::uint32_t kArchiveAttribute = 0x20;
constexpr std::size_t kLocalFixed = 30;

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put64(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::uint32_t Clip32(std::uint64_t v) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, kMax32));
}

}  // namespace

ZipRecords::ZipRecords(std::string name, std::uint64_t size, std::uint16_t dosTime, std::uint16_t dosDate, bool zip64)
    : name_(std::move(name)), size_(size), dosTime_(dosTime), dosDate_(dosDate), zip64_(zip64 || NeedsZip64(size)) {
    if (name_.empty() || name_.size() > 0xFFFF) throw Error(L"An archive entry needs a name of 1 to 65535 bytes");
}

std::uint16_t ZipRecords::Flags() const {
    const bool ascii = std::all_of(name_.begin(), name_.end(), [](char c) { return (c & 0x80) == 0; });
    return kMaximumCompressionFlag | (ascii ? 0 : kUtf8NameFlag);
}

std::uint16_t ZipRecords::VersionNeeded() const {
    return zip64_ ? 45 : 20;
}

std::string ZipRecords::LocalHeader() const {
    std::string out;
    Put32(out, kLocalSignature);
    Put16(out, VersionNeeded());
    Put16(out, Flags());
    Put16(out, kDeflate);
    Put16(out, dosTime_);
    Put16(out, dosDate_);
    Put32(out, 0);                              // CRC, patched
    Put32(out, zip64_ ? kMax32 : 0);            // compressed size, patched
    Put32(out, zip64_ ? kMax32 : Clip32(size_));  // size
    Put16(out, static_cast<std::uint16_t>(name_.size()));
    Put16(out, zip64_ ? 20 : 0);
    out += name_;
    if (zip64_) {
        Put16(out, kZip64ExtraId);
        Put16(out, 16);
        Put64(out, size_);
        Put64(out, 0);  // compressed size, patched
    }
    return out;
}

std::uint64_t ZipRecords::PatchOffset() const {
    return 14;
}

// From the CRC field (offset 14) to the end of the header: CRC, both sizes, name lengths, name and Zip64 extra.
std::string ZipRecords::PatchLocalHeader(std::uint32_t crc, std::uint64_t compressedSize) const {
    if (!zip64_ && compressedSize >= kMax32) throw Error(L"The packed entry grew past what its header can hold");
    std::string header = LocalHeader();
    std::string out;
    Put32(out, crc);
    Put32(out, zip64_ ? kMax32 : static_cast<std::uint32_t>(compressedSize));
    header.replace(14, 8, out);
    if (zip64_) {
        std::string size64;
        Put64(size64, compressedSize);
        header.replace(kLocalFixed + name_.size() + 4 + 8, 8, size64);
    }
    return header.substr(14);
}

std::string ZipRecords::CentralDirectoryAndEnd(std::uint32_t crc, std::uint64_t compressedSize,
                                               std::uint64_t dataEnd) const {
    const bool bigSizes = zip64_ || compressedSize >= kMax32;
    std::string extra;
    if (bigSizes) {
        Put16(extra, kZip64ExtraId);
        Put16(extra, 16);
        Put64(extra, size_);
        Put64(extra, compressedSize);
    }
    std::string out;
    Put32(out, kCentralSignature);
    Put16(out, kVersionMadeBy);
    Put16(out, VersionNeeded());
    Put16(out, Flags());
    Put16(out, kDeflate);
    Put16(out, dosTime_);
    Put16(out, dosDate_);
    Put32(out, crc);
    Put32(out, bigSizes ? kMax32 : static_cast<std::uint32_t>(compressedSize));
    Put32(out, bigSizes ? kMax32 : static_cast<std::uint32_t>(size_));
    Put16(out, static_cast<std::uint16_t>(name_.size()));
    Put16(out, static_cast<std::uint16_t>(extra.size()));
    Put16(out, 0);  // comment
    Put16(out, 0);  // disk
    Put16(out, 0);  // internal attributes
    Put32(out, kArchiveAttribute);
    Put32(out, 0);  // the local header's offset
    out += name_;
    out += extra;

    const std::uint64_t directoryOffset = dataEnd;
    const std::uint64_t directorySize = out.size();
    const std::uint64_t zip64EndOffset = directoryOffset + directorySize;
    if (bigSizes || directoryOffset >= kMax32) {
        Put32(out, kZip64EndSignature);
        Put64(out, 44);
        Put16(out, kVersionMadeBy);
        Put16(out, 45);
        Put32(out, 0);  // this disk
        Put32(out, 0);  // the directory's disk
        Put64(out, 1);  // entries on this disk
        Put64(out, 1);  // entries
        Put64(out, directorySize);
        Put64(out, directoryOffset);
        Put32(out, kZip64LocatorSignature);
        Put32(out, 0);
        Put64(out, zip64EndOffset);
        Put32(out, 1);  // disks
    }
    Put32(out, kEndSignature);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, Clip32(directorySize));
    Put32(out, Clip32(directoryOffset));
    Put16(out, 0);  // comment
    return out;
}

}  // namespace zz
