#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>
#include <string>
#include <vector>

#include "Bytes.h"
#include "Handles.h"
#include "Login.h"
#include "Packet.h"
#include "Text.h"

namespace standin::testing {

// A deliberately small TDS 7.4 client: enough to log in, send batches and read back what the server says.
class TdsTestClient {
public:
    struct Reply {
        bool loggedIn = false;
        std::vector<int> errors;
        std::vector<int> infos;
        std::vector<uint16_t> doneStatus;
        std::vector<std::vector<std::string>> rows;  // of every result set, values as text
        bool closed = false;                         // the server ended the connection instead of answering
    };

    explicit TdsTestClient(uint16_t port) {
        sock_.reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(sock_.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        DWORD timeout = 20000;
        ::setsockopt(sock_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    }
    bool connected() const { return connected_; }
    void close() { sock_.reset(); }

    void sendRaw(const Bytes& b) {
        ::send(sock_.get(), reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()), 0);
    }

    void sendMessage(uint8_t type, const Bytes& payload, uint8_t lastStatus = tds::kStatusEndOfMessage) {
        constexpr size_t kBody = 4096 - 8;
        size_t at = 0;
        uint8_t id = 1;
        do {
            size_t n = std::min(kBody, payload.size() - at);
            bool last = at + n == payload.size();
            Bytes p = {type,
                       static_cast<uint8_t>(last ? lastStatus : 0),
                       static_cast<uint8_t>((n + 8) >> 8),
                       static_cast<uint8_t>(n + 8),
                       0,
                       0,
                       id++,
                       0};
            p.insert(p.end(), payload.begin() + static_cast<std::ptrdiff_t>(at),
                     payload.begin() + static_cast<std::ptrdiff_t>(at + n));
            sendRaw(p);
            at += n;
        } while (at < payload.size());
    }

    static Bytes login7(const std::string& user, const std::string& password, const std::string& db) {
        std::vector<std::u16string> fields = {
            u"testhost", utf8ToUtf16(user), utf8ToUtf16(password), u"tests", u"127.0.0.1", u"", u"tests",
            u"",         utf8ToUtf16(db)};
        ByteWriter w;
        const size_t fixed = 94;
        w.le32(0);
        w.le32(0x74000004);
        w.le32(4096);
        w.le32(0);
        w.le32(1234);
        w.le32(0);
        w.u8(0xE0);
        w.u8(0x03);
        w.u8(0);
        w.u8(0);
        w.le32(0);
        w.le32(0x0409);
        size_t offset = fixed;
        for (size_t i = 0; i < fields.size(); ++i) {
            w.le16(static_cast<uint16_t>(offset));
            w.le16(static_cast<uint16_t>(fields[i].size()));
            offset += fields[i].size() * 2;
        }
        w.raw("\0\0\0\0\0\0", 6);               // client id
        for (int i = 0; i < 3; ++i) w.le32(0);  // SSPI, attach file, change password
        w.le32(0);                              // long SSPI
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i == 2) {
                Bytes s = tds::scramblePassword(fields[i]);
                w.raw(s.data(), s.size());
            } else {
                w.utf16(fields[i]);
            }
        }
        Bytes b = std::move(w.bytes());
        uint32_t len = static_cast<uint32_t>(b.size());
        for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<uint8_t>(len >> (8 * i));
        return b;
    }

    static Bytes batchPayload(const std::string& sql) {
        ByteWriter w;
        w.le32(22);
        w.le32(18);
        w.le16(2);
        w.le64(0);
        w.le32(1);
        w.utf16(utf8ToUtf16(sql));
        return std::move(w.bytes());
    }

    Reply login(const std::string& user, const std::string& password, const std::string& db = "") {
        Bytes pre = {0x00, 0x00, 0x0B, 0x00, 0x06, 0x01, 0x00, 0x11, 0x00, 0x01, 0xFF, 11, 0, 0, 0, 0, 0, 0x00};
        sendMessage(tds::kPreLogin, pre);
        Reply r = read();
        if (r.closed) return r;
        sendMessage(tds::kLogin7, login7(user, password, db));
        return read();
    }

    Reply batch(const std::string& sql) {
        sendMessage(tds::kSqlBatch, batchPayload(sql));
        return read();
    }

    // Reads one whole reply message and walks its tokens.
    Reply read() {
        Reply r;
        Stream s(sock_.get());
        tds::MessageReader reader(s, 256u << 20);
        std::optional<tds::Message> m;
        try {
            m = reader.next();
        } catch (const std::exception&) {
        }
        if (!m) {
            r.closed = true;
            return r;
        }
        if (m->payload.size() > 0 && m->payload[0] == 0x00) return r;  // a PRELOGIN answer
        walk(m->payload, r);
        return r;
    }

private:
    class Stream : public tds::Stream {
    public:
        explicit Stream(SOCKET s) : s_(s) {}
        size_t read(uint8_t* into, size_t max) override {
            int n = ::recv(s_, reinterpret_cast<char*>(into), static_cast<int>(max), 0);
            return n > 0 ? static_cast<size_t>(n) : 0;
        }
        void write(const uint8_t*, size_t) override {}
        bool readable() override { return true; }

    private:
        SOCKET s_;
    };

    struct Col {
        uint8_t type;
        uint16_t max;
    };

    static void walk(const Bytes& p, Reply& r) {
        ByteReader in(p);
        std::vector<Col> cols;
        while (in.remaining() > 0) {
            uint8_t t = in.u8();
            switch (t) {
                case 0xAD:
                    r.loggedIn = true;
                    in.skip(in.le16());
                    break;
                case 0xE3:
                    in.skip(in.le16());
                    break;
                case 0xAA:
                case 0xAB: {
                    uint16_t len = in.le16();
                    size_t at = in.pos();
                    int number = static_cast<int>(in.le32());
                    (t == 0xAA ? r.errors : r.infos).push_back(number);
                    in.seek(at + len);
                    break;
                }
                case 0x81: {
                    cols.clear();
                    uint16_t n = in.le16();
                    for (uint16_t i = 0; i < n; ++i) {
                        in.skip(6);
                        Col c{in.u8(), 0};
                        if (c.type == 0x26 || c.type == 0x6D) {
                            c.max = in.u8();
                        } else {
                            c.max = in.le16();
                            if (c.type == 0xE7) in.skip(5);
                        }
                        in.skip(in.u8() * 2u);
                        cols.push_back(c);
                    }
                    break;
                }
                case 0xD1: {
                    std::vector<std::string> row;
                    for (const Col& c : cols) row.push_back(value(in, c));
                    r.rows.push_back(row);
                    break;
                }
                case 0xFD:
                case 0xFE:
                case 0xFF:
                    r.doneStatus.push_back(in.le16());
                    in.skip(2 + 8);
                    break;
                default:
                    throw FormatError("unexpected token");
            }
        }
    }

    static std::string value(ByteReader& in, const Col& c) {
        if (c.type == 0x26 || c.type == 0x6D) {
            uint8_t n = in.u8();
            if (n == 0) return "NULL";
            uint64_t v = in.le64();
            if (c.type == 0x26) return std::to_string(static_cast<int64_t>(v));
            double d;
            std::memcpy(&d, &v, sizeof d);
            return format("%g", d);
        }
        Bytes data;
        if (c.max == 0xFFFF) {
            uint64_t total = in.le64();
            if (total == ~0ULL) return "NULL";
            for (uint32_t chunk; (chunk = in.le32()) != 0;) {
                const uint8_t* b = in.raw(chunk);
                data.insert(data.end(), b, b + chunk);
            }
        } else {
            uint16_t n = in.le16();
            if (n == 0xFFFF) return "NULL";
            const uint8_t* b = in.raw(n);
            data.assign(b, b + n);
        }
        if (c.type != 0xE7) return "<binary>";
        ByteReader d(data);
        return utf16ToUtf8(d.utf16(data.size() / 2));
    }

    UniqueSocket sock_;
    bool connected_ = false;
};

}  // namespace standin::testing
