#include "Tokens.h"

#include <algorithm>
#include <cstring>

#include "Text.h"

namespace standin::tds {

namespace {
constexpr uint8_t kTokenLoginAck = 0xAD;
constexpr uint8_t kTokenEnvChange = 0xE3;
constexpr uint8_t kTokenError = 0xAA;
constexpr uint8_t kTokenInfo = 0xAB;
constexpr uint8_t kTokenColMetadata = 0x81;
constexpr uint8_t kTokenRow = 0xD1;

constexpr uint8_t kTypeIntN = 0x26;
constexpr uint8_t kTypeFltN = 0x6D;
constexpr uint8_t kTypeNVarChar = 0xE7;
constexpr uint8_t kTypeBigVarBinary = 0xA5;
constexpr uint16_t kMaxShortBytes = 8000;
constexpr uint16_t kMaxMarker = 0xFFFF;

// Names on the wire carry at most 255 UTF-16 units behind a one-byte count.
std::u16string clip255(const std::string& s) {
    std::u16string u = utf8ToUtf16(s);
    if (u.size() > 255) u.resize(255);
    return u;
}
}  // namespace

const uint8_t kCollation[5] = {0x09, 0x04, 0xD0, 0x00, 0x34};

bool isTds72OrLater(uint32_t tdsVersion) {
    return (tdsVersion >> 24) >= 0x72;
}

bool hasCollations(uint32_t tdsVersion) {
    return (tdsVersion >> 24) >= 0x71;
}

Bytes TokenWriter::take() {
    Bytes out;
    out.swap(w_.bytes());
    return out;
}

void TokenWriter::bVarchar(const std::string& s) {
    std::u16string u = clip255(s);
    w_.u8(static_cast<uint8_t>(u.size()));
    w_.utf16(u);
}

void TokenWriter::usVarchar(const std::string& s) {
    std::u16string u = utf8ToUtf16(s);
    if (u.size() > 0xFFFF) u.resize(0xFFFF);
    w_.le16(static_cast<uint16_t>(u.size()));
    w_.utf16(u);
}

void TokenWriter::loginAck(const std::string& programName, const uint8_t programVersion[4]) {
    w_.u8(kTokenLoginAck);
    size_t lenAt = w_.size();
    w_.le16(0);
    w_.u8(1);  // the T-SQL interface; anything else is taken as a failed login
    uint32_t ack = version_;
    if ((version_ >> 24) == 0x70) ack = 0x07000000;
    if ((version_ >> 24) == 0x71) ack = 0x07010000;
    w_.be32(ack);
    bVarchar(programName);
    w_.raw(programVersion, 4);
    w_.patchLe16(lenAt, static_cast<uint16_t>(w_.size() - lenAt - 2));
}

void TokenWriter::envString(uint8_t type, const std::string& newValue, const std::string& oldValue) {
    w_.u8(kTokenEnvChange);
    size_t lenAt = w_.size();
    w_.le16(0);
    w_.u8(type);
    bVarchar(newValue);
    bVarchar(oldValue);
    w_.patchLe16(lenAt, static_cast<uint16_t>(w_.size() - lenAt - 2));
}

void TokenWriter::envDatabase(const std::string& newDb, const std::string& oldDb) {
    envString(1, newDb, oldDb);
}
void TokenWriter::envLanguage(const std::string& newLang, const std::string& oldLang) {
    envString(2, newLang, oldLang);
}
void TokenWriter::envPacketSize(uint32_t newSize, uint32_t oldSize) {
    envString(4, std::to_string(newSize), std::to_string(oldSize));
}

void TokenWriter::envCollation() {
    if (!hasCollations(version_)) return;
    w_.u8(kTokenEnvChange);
    w_.le16(1 + 1 + sizeof kCollation + 1);
    w_.u8(7);
    w_.u8(sizeof kCollation);
    w_.raw(kCollation, sizeof kCollation);
    w_.u8(0);
}

void TokenWriter::message(const ServerMessage& m) {
    w_.u8(m.isError() ? kTokenError : kTokenInfo);
    size_t lenAt = w_.size();
    w_.le16(0);
    w_.le32(static_cast<uint32_t>(m.number));
    w_.u8(m.state);
    w_.u8(m.severity);
    std::string text = m.text;
    // The whole token must fit its 16-bit length.
    std::u16string u = utf8ToUtf16(text);
    if (u.size() > 30000) text = utf16ToUtf8(std::u16string_view(u).substr(0, 30000));
    usVarchar(text);
    bVarchar(server_);
    bVarchar(m.procedure);
    if (isTds72OrLater(version_)) {
        w_.le32(static_cast<uint32_t>(m.line));
    } else {
        w_.le16(static_cast<uint16_t>(m.line));
    }
    w_.patchLe16(lenAt, static_cast<uint16_t>(w_.size() - lenAt - 2));
}

void TokenWriter::columns(const std::vector<Column>& cols) {
    w_.u8(kTokenColMetadata);
    w_.le16(static_cast<uint16_t>(cols.size()));
    for (const Column& c : cols) {
        if (isTds72OrLater(version_)) {
            w_.le32(0);
        } else {
            w_.le16(0);
        }
        w_.le16(0x0001);  // nullable
        const bool large = c.large && plpAllowed();
        switch (c.type) {
            case ColumnType::Integer:
                w_.u8(kTypeIntN);
                w_.u8(8);
                break;
            case ColumnType::Float:
                w_.u8(kTypeFltN);
                w_.u8(8);
                break;
            case ColumnType::Text:
                w_.u8(kTypeNVarChar);
                w_.le16(large ? kMaxMarker : kMaxShortBytes);
                if (hasCollations(version_)) w_.raw(kCollation, sizeof kCollation);
                break;
            case ColumnType::Binary:
                w_.u8(kTypeBigVarBinary);
                w_.le16(large ? kMaxMarker : kMaxShortBytes);
                break;
        }
        bVarchar(c.name);
    }
}

void TokenWriter::plpValue(const uint8_t* data, size_t n) {
    w_.le64(n);
    constexpr size_t kChunk = 32768;
    for (size_t at = 0; at < n; at += kChunk) {
        size_t len = std::min(kChunk, n - at);
        w_.le32(static_cast<uint32_t>(len));
        w_.raw(data + at, len);
    }
    w_.le32(0);
}

void TokenWriter::row(const std::vector<Column>& cols, const Row& values) {
    w_.u8(kTokenRow);
    for (size_t i = 0; i < cols.size(); ++i) {
        const Column& c = cols[i];
        const Value& v = i < values.size() ? values[i] : Value{};
        const bool isNull = std::holds_alternative<std::monostate>(v);
        const bool large = c.large && plpAllowed();
        switch (c.type) {
            case ColumnType::Integer: {
                if (isNull) {
                    w_.u8(0);
                    break;
                }
                int64_t x = 0;
                if (auto* p = std::get_if<int64_t>(&v)) x = *p;
                if (auto* p = std::get_if<double>(&v)) x = static_cast<int64_t>(*p);
                w_.u8(8);
                w_.le64(static_cast<uint64_t>(x));
                break;
            }
            case ColumnType::Float: {
                if (isNull) {
                    w_.u8(0);
                    break;
                }
                double d = 0;
                if (auto* p = std::get_if<double>(&v)) d = *p;
                if (auto* p = std::get_if<int64_t>(&v)) d = static_cast<double>(*p);
                uint64_t bits;
                std::memcpy(&bits, &d, sizeof bits);
                w_.u8(8);
                w_.le64(bits);
                break;
            }
            case ColumnType::Text:
            case ColumnType::Binary: {
                Bytes data;
                if (c.type == ColumnType::Text) {
                    std::string text;
                    if (auto* p = std::get_if<std::string>(&v)) text = *p;
                    if (auto* p = std::get_if<int64_t>(&v)) text = std::to_string(*p);
                    if (auto* p = std::get_if<double>(&v)) text = format("%.15g", *p);
                    if (auto* p = std::get_if<Bytes>(&v)) text.assign(p->begin(), p->end());
                    ByteWriter bw;
                    bw.utf16(utf8ToUtf16(text));
                    data = std::move(bw.bytes());
                } else {
                    if (auto* p = std::get_if<Bytes>(&v)) data = *p;
                    if (auto* p = std::get_if<std::string>(&v)) data.assign(p->begin(), p->end());
                }
                if (large) {
                    if (isNull) {
                        w_.le64(~0ULL);
                    } else {
                        plpValue(data.data(), data.size());
                    }
                } else if (isNull) {
                    w_.le16(0xFFFF);
                } else {
                    size_t n = std::min<size_t>(data.size(), kMaxShortBytes);
                    w_.le16(static_cast<uint16_t>(n));
                    w_.raw(data.data(), n);
                }
                break;
            }
        }
    }
}

void TokenWriter::done(uint8_t token, uint16_t status, uint16_t curCmd, uint64_t rowCount) {
    w_.u8(token);
    w_.le16(status);
    w_.le16(curCmd);
    if (isTds72OrLater(version_)) {
        w_.le64(rowCount);
    } else {
        w_.le32(static_cast<uint32_t>(rowCount));
    }
}

void TokenWriter::returnStatus(int32_t status) {
    w_.u8(0x79);
    w_.le32(static_cast<uint32_t>(status));
}

void TokenWriter::returnValue(uint16_t ordinal, const std::string& name, int32_t value) {
    w_.u8(0xAC);
    w_.le16(ordinal);
    bVarchar(name);
    w_.u8(0x01);
    if (isTds72OrLater(version_)) {
        w_.le32(0);
    } else {
        w_.le16(0);
    }
    w_.le16(0x0001);
    w_.u8(kTypeIntN);
    w_.u8(4);
    w_.u8(4);
    w_.le32(static_cast<uint32_t>(value));
}

}  // namespace standin::tds
