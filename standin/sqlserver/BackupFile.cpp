#include "BackupFile.h"

#include <cstring>

namespace standin::backup {

namespace {
constexpr char kSetMagic[8] = {'Z', 'Z', 'B', 'A', 'K', 'S', 'E', 'T'};
constexpr uint32_t kVersion = 1;
constexpr size_t kFixed = 8 + 4 + 4 + 8;  // magic, version, header length, payload length

void counted(ByteWriter& w, const std::string& s) {
    w.le16(static_cast<uint16_t>(s.size()));
    w.raw(s.data(), s.size());
}

std::string counted(ByteReader& r) {
    uint16_t n = r.le16();
    const uint8_t* p = r.raw(n);
    return std::string(reinterpret_cast<const char*>(p), n);
}
}  // namespace

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc) {
    static uint32_t table[256];
    static bool ready = [] {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        return true;
    }();
    (void)ready;
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void appendSet(Bytes& media, const BackupSet& set) {
    ByteWriter header;
    counted(header, set.databaseName);
    counted(header, set.name);
    counted(header, set.created);
    header.le64(static_cast<uint64_t>(set.startTime));
    header.le64(static_cast<uint64_t>(set.finishTime));
    header.le32(static_cast<uint32_t>(set.files.size()));
    uint64_t payload = 0;
    for (const FileImage& f : set.files) {
        header.le32(static_cast<uint32_t>(f.fileId));
        header.u8(static_cast<uint8_t>(f.type));
        counted(header, f.logicalName);
        counted(header, f.physicalName);
        header.le64(f.contents.size());
        payload += f.contents.size();
    }
    ByteWriter w;
    w.raw(kSetMagic, sizeof kSetMagic);
    w.le32(kVersion);
    w.le32(static_cast<uint32_t>(header.size()));
    w.le64(payload);
    w.raw(header.bytes().data(), header.size());
    const size_t start = media.size();
    media.insert(media.end(), w.bytes().begin(), w.bytes().end());
    for (const FileImage& f : set.files) media.insert(media.end(), f.contents.begin(), f.contents.end());
    uint32_t crc = crc32(media.data() + start, media.size() - start);
    for (int i = 0; i < 4; ++i) media.push_back(static_cast<uint8_t>(crc >> (8 * i)));
}

Media readMedia(const Bytes& media) {
    Media out;
    size_t at = 0;
    if (media.empty()) out.error = ReadError::NotABackup;
    while (at < media.size()) {
        try {
            ByteReader r(media.data() + at, media.size() - at);
            const uint8_t* magic = r.raw(sizeof kSetMagic);
            if (std::memcmp(magic, kSetMagic, sizeof kSetMagic) != 0 || r.le32() != kVersion) {
                out.error = ReadError::NotABackup;
                return out;
            }
            const uint32_t headerLen = r.le32();
            const uint64_t payloadLen = r.le64();
            if (headerLen > r.remaining() || payloadLen > r.remaining() - headerLen ||
                r.remaining() - headerLen - payloadLen < 4) {
                out.error = ReadError::NotABackup;
                return out;
            }
            const size_t setLen = kFixed + headerLen + static_cast<size_t>(payloadLen);
            uint32_t stored = 0;
            for (int i = 0; i < 4; ++i) stored |= static_cast<uint32_t>(media[at + setLen + i]) << (8 * i);
            if (crc32(media.data() + at, setLen) != stored) {
                out.error = ReadError::Damaged;
                return out;
            }
            ByteReader h(r.raw(headerLen), headerLen);
            BackupSet set;
            set.databaseName = counted(h);
            set.name = counted(h);
            set.created = counted(h);
            set.startTime = static_cast<int64_t>(h.le64());
            set.finishTime = static_cast<int64_t>(h.le64());
            const uint32_t count = h.le32();
            if (count > 32767) throw FormatError("too many files");
            uint64_t total = 0;
            std::vector<uint64_t> sizes;
            for (uint32_t i = 0; i < count; ++i) {
                FileImage f;
                f.fileId = static_cast<int>(h.le32());
                f.type = static_cast<char>(h.u8());
                f.logicalName = counted(h);
                f.physicalName = counted(h);
                sizes.push_back(h.le64());
                total += sizes.back();
                if (total > payloadLen) throw FormatError("file sizes exceed the payload");
                set.files.push_back(std::move(f));
            }
            if (total != payloadLen) throw FormatError("file sizes do not match the payload");
            for (size_t i = 0; i < set.files.size(); ++i) {
                const uint8_t* p = r.raw(static_cast<size_t>(sizes[i]));
                set.files[i].contents.assign(p, p + sizes[i]);
            }
            out.sets.push_back(std::move(set));
            at += setLen + 4;
        } catch (const FormatError&) {
            out.error = ReadError::NotABackup;
            return out;
        }
    }
    return out;
}

}  // namespace standin::backup
