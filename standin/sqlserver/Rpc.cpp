#include "Rpc.h"

#include <cstring>

#include "Text.h"
#include "Tokens.h"

namespace standin::tds {

namespace {

Value plpOrShort(ByteReader& r, bool plp, bool unicode) {
    Bytes data;
    if (plp) {
        uint64_t total = r.le64();
        if (total == ~0ULL) return std::monostate{};
        for (uint32_t chunk; (chunk = r.le32()) != 0;) {
            const uint8_t* p = r.raw(chunk);
            data.insert(data.end(), p, p + chunk);
        }
    } else {
        uint16_t n = r.le16();
        if (n == 0xFFFF) return std::monostate{};
        const uint8_t* p = r.raw(n);
        data.assign(p, p + n);
    }
    if (!unicode) return std::string(data.begin(), data.end());
    ByteReader u(data);
    return utf16ToUtf8(u.utf16(data.size() / 2));
}

Value integer(const uint8_t* p, size_t n) {
    int64_t v = 0;
    std::memcpy(&v, p, n);
    if (n < 8 && (p[n - 1] & 0x80) && n != 1) v |= ~((int64_t{1} << (8 * n)) - 1);  // sign-extend; tinyint is unsigned
    return v;
}

// collations: the text types carry a collation (TDS 7.1 and later).
Value readValue(ByteReader& r, bool collations) {
    const uint8_t type = r.u8();
    switch (type) {
        case 0x30:
            return int64_t{r.u8()};  // INT1
        case 0x34:
            return integer(r.raw(2), 2);  // INT2
        case 0x38:
            return integer(r.raw(4), 4);  // INT4
        case 0x7F:
            return integer(r.raw(8), 8);  // INT8
        case 0x32:
            return int64_t{r.u8() != 0};  // BIT
        case 0x26:                        // INTN
        case 0x68: {                      // BITN
            r.u8();
            uint8_t n = r.u8();
            if (n == 0) return std::monostate{};
            if (n != 1 && n != 2 && n != 4 && n != 8) throw FormatError("bad integer length");
            return type == 0x68 ? Value{int64_t{r.raw(1)[0] != 0}} : integer(r.raw(n), n);
        }
        case 0x6D: {  // FLTN
            r.u8();
            uint8_t n = r.u8();
            if (n == 0) return std::monostate{};
            if (n == 4) {
                float f;
                std::memcpy(&f, r.raw(4), 4);
                return static_cast<double>(f);
            }
            if (n != 8) throw FormatError("bad float length");
            double d;
            std::memcpy(&d, r.raw(8), 8);
            return d;
        }
        case 0xE7:    // NVARCHAR
        case 0xEF:    // NCHAR
        case 0xA7:    // BIGVARCHAR
        case 0xAF: {  // BIGCHAR
            uint16_t max = r.le16();
            if (collations) r.skip(5);
            return plpOrShort(r, max == 0xFFFF, type == 0xE7 || type == 0xEF);
        }
        case 0xA5:    // BIGVARBINARY
        case 0xAD: {  // BIGBINARY
            uint16_t max = r.le16();
            Value v = plpOrShort(r, max == 0xFFFF, false);
            if (auto* s = std::get_if<std::string>(&v)) return Bytes(s->begin(), s->end());
            return v;
        }
        case 0x63:    // NTEXT
        case 0x23: {  // TEXT
            r.le32();
            if (collations) r.skip(5);
            uint32_t n = r.le32();
            if (n == 0xFFFFFFFF) return std::monostate{};
            const uint8_t* p = r.raw(n);
            if (type == 0x23) return std::string(reinterpret_cast<const char*>(p), n);
            ByteReader u(p, n);
            return utf16ToUtf8(u.utf16(n / 2));
        }
        default:
            throw FormatError("unsupported parameter type");
    }
}

}  // namespace

RpcCall parseRpc(const Bytes& payload, uint32_t tdsVersion) {
    ByteReader r(payload);
    if (isTds72OrLater(tdsVersion)) {
        uint32_t total = r.le32();
        if (total < 4 || total > payload.size()) throw FormatError("bad ALL_HEADERS length");
        r.seek(total);
    }
    RpcCall call;
    uint16_t nameLen = r.le16();
    if (nameLen == 0xFFFF) {
        call.procId = r.le16();
    } else {
        call.procName = lower(utf16ToUtf8(r.utf16(nameLen)));
        // The same procedures may also be called by name.
        static const std::pair<const char*, ProcId> known[] = {{"sp_executesql", kSpExecuteSql},
                                                               {"sp_prepare", kSpPrepare},
                                                               {"sp_execute", kSpExecute},
                                                               {"sp_prepexec", kSpPrepExec},
                                                               {"sp_unprepare", kSpUnprepare}};
        std::string bare = call.procName.substr(
            call.procName.find_last_of('.') == std::string::npos ? 0 : call.procName.find_last_of('.') + 1);
        for (const auto& [name, id] : known) {
            if (bare == name) call.procId = id;
        }
    }
    r.le16();  // option flags
    while (r.remaining() > 0) {
        uint8_t next = r.raw(1)[0];
        if (next == 0x80 || next == 0xFF) break;  // a further call of the batch: not served
        r.seek(r.pos() - 1);
        RpcParameter p;
        uint8_t chars = r.u8();
        p.name = utf16ToUtf8(r.utf16(chars));
        p.output = (r.u8() & 0x01) != 0;
        p.value = readValue(r, hasCollations(tdsVersion));
        call.parameters.push_back(std::move(p));
    }
    return call;
}

std::vector<std::string> declaredNames(const std::string& declaration) {
    std::vector<std::string> names;
    int depth = 0;
    bool expectName = true;
    std::string current;
    for (char c : declaration) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            expectName = true;
            continue;
        }
        if (expectName) {
            if (c == '@' || (!current.empty() && (std::isalnum(static_cast<unsigned char>(c)) || c == '_'))) {
                current.push_back(c);
                continue;
            }
            if (!current.empty()) {
                names.push_back(current);
                current.clear();
                expectName = false;
            }
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

}  // namespace standin::tds
