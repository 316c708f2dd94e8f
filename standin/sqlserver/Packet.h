#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Bytes.h"

namespace standin::tds {

enum PacketType : uint8_t {
    kSqlBatch = 0x01,
    kRpc = 0x03,
    kReply = 0x04,
    kAttention = 0x06,
    kTransactionManager = 0x0E,
    kLogin7 = 0x10,
    kPreLogin = 0x12,
};

constexpr uint8_t kStatusEndOfMessage = 0x01;
constexpr uint8_t kStatusIgnore = 0x02;
constexpr size_t kHeaderSize = 8;

// A byte channel to one client. read() returns 0 when the peer has gone.
class Stream {
public:
    virtual ~Stream() = default;
    virtual size_t read(uint8_t* into, size_t max) = 0;
    virtual void write(const uint8_t* data, size_t n) = 0;
    // True when read() would not block.
    virtual bool readable() = 0;
};

struct Message {
    uint8_t type = 0;
    Bytes payload;
};

// Reassembles the packets of one client message.
class MessageReader {
public:
    MessageReader(Stream& stream, size_t maxMessageBytes) : stream_(stream), maxMessage_(maxMessageBytes) {}

    // The next whole message; nullopt when the client closed the connection between messages. A connection cut
    // inside a message, a malformed header or an oversized message throws FormatError.
    std::optional<Message> next();

private:
    bool readExact(uint8_t* into, size_t n, bool eofAllowed);
    Stream& stream_;
    size_t maxMessage_;
};

// Splits a reply into packets of the negotiated size; the last packet carries end-of-message.
class PacketWriter {
public:
    explicit PacketWriter(Stream& stream) : stream_(stream) {}

    void setPacketSize(size_t size) { packetSize_ = size; }
    size_t packetSize() const { return packetSize_; }
    void setSpid(uint16_t spid) { spid_ = spid; }

    // Sends every full packet that `data` completes; keeps the rest for later.
    void append(const Bytes& data);
    // Sends what is left (possibly an empty packet) with end-of-message.
    void endMessage();

private:
    void sendPacket(const uint8_t* body, size_t n, bool last);
    Stream& stream_;
    size_t packetSize_ = 4096;
    uint16_t spid_ = 0;
    uint8_t packetId_ = 1;
    Bytes pending_;
};

}  // namespace standin::tds
