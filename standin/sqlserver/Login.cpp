#include "Login.h"

#include "Text.h"

namespace standin::tds {

PreLoginRequest parsePreLogin(const Bytes& payload) {
    PreLoginRequest req;
    ByteReader r(payload);
    for (int options = 0;; ++options) {
        if (options > 64) throw FormatError("too many PRELOGIN options");
        uint8_t option = r.u8();
        if (option == 0xFF) break;
        uint16_t offset = r.be16();
        uint16_t length = r.be16();
        if (static_cast<size_t>(offset) + length > payload.size()) throw FormatError("PRELOGIN option out of range");
        if (option == 0x01 && length >= 1) req.encryption = payload[offset];
    }
    return req;
}

Bytes preLoginReply(const uint8_t version[4]) {
    // Options: VERSION (6 bytes), ENCRYPTION (1), INSTOPT (1), THREADID (0), MARS (1), then the terminator.
    struct Option {
        uint8_t id;
        Bytes data;
    };
    const Option options[] = {
        {0x00, {version[0], version[1], version[2], version[3], 0, 0}},
        {0x01, {0x02}},
        {0x02, {0x00}},
        {0x03, {}},
        {0x04, {0x00}},
    };
    const size_t tableSize = std::size(options) * 5 + 1;
    ByteWriter w;
    size_t offset = tableSize;
    for (const Option& o : options) {
        w.u8(o.id);
        w.be16(static_cast<uint16_t>(offset));
        w.be16(static_cast<uint16_t>(o.data.size()));
        offset += o.data.size();
    }
    w.u8(0xFF);
    for (const Option& o : options) w.raw(o.data.data(), o.data.size());
    return std::move(w.bytes());
}

namespace {
std::string field(ByteReader& r, const Bytes& payload, size_t at) {
    r.seek(at);
    uint16_t offset = r.le16();
    uint16_t chars = r.le16();
    if (chars == 0) return {};
    if (static_cast<size_t>(offset) + chars * 2u > payload.size()) throw FormatError("LOGIN7 field out of range");
    ByteReader f(payload.data() + offset, chars * 2u);
    return utf16ToUtf8(f.utf16(chars));
}
}  // namespace

Login7 parseLogin7(const Bytes& payload) {
    ByteReader r(payload);
    uint32_t length = r.le32();
    if (length > payload.size() || payload.size() < 86) throw FormatError("LOGIN7 record too short");
    Login7 login;
    login.tdsVersion = r.le32();
    login.packetSize = r.le32();
    r.seek(25);
    login.integratedSecurity = (r.u8() & 0x80) != 0;
    login.hostName = field(r, payload, 36);
    login.userName = field(r, payload, 40);
    {
        r.seek(44);
        uint16_t offset = r.le16();
        uint16_t chars = r.le16();
        if (static_cast<size_t>(offset) + chars * 2u > payload.size())
            throw FormatError("LOGIN7 password out of range");
        std::u16string pw(chars, u'\0');
        for (size_t i = 0; i < chars; ++i) {
            uint8_t b[2];
            for (int k = 0; k < 2; ++k) {
                uint8_t x = payload[offset + 2 * i + k] ^ 0xA5;
                b[k] = static_cast<uint8_t>((x << 4) | (x >> 4));
            }
            pw[i] = static_cast<char16_t>(b[0] | (b[1] << 8));
        }
        login.password = utf16ToUtf8(pw);
    }
    login.appName = field(r, payload, 48);
    login.serverName = field(r, payload, 52);
    login.language = field(r, payload, 64);
    login.database = field(r, payload, 68);
    return login;
}

Bytes scramblePassword(const std::u16string& password) {
    Bytes out;
    for (char16_t c : password) {
        for (int k = 0; k < 2; ++k) {
            uint8_t b = static_cast<uint8_t>(k == 0 ? c : c >> 8);
            out.push_back(static_cast<uint8_t>(((b << 4) | (b >> 4)) ^ 0xA5));
        }
    }
    return out;
}

}  // namespace standin::tds
