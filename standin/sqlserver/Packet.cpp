#include "Packet.h"

#include <algorithm>

namespace standin::tds {

bool MessageReader::readExact(uint8_t* into, size_t n, bool eofAllowed) {
    size_t got = 0;
    while (got < n) {
        size_t r = stream_.read(into + got, n - got);
        if (r == 0) {
            if (got == 0 && eofAllowed) return false;
            throw FormatError("connection closed inside a packet");
        }
        got += r;
    }
    return true;
}

std::optional<Message> MessageReader::next() {
    Message msg;
    bool first = true;
    for (;;) {
        uint8_t header[kHeaderSize];
        if (!readExact(header, kHeaderSize, first)) return std::nullopt;
        const uint8_t type = header[0];
        const uint8_t status = header[1];
        const size_t length = (static_cast<size_t>(header[2]) << 8) | header[3];
        if (length < kHeaderSize) throw FormatError("packet length below the header size");
        if (!first && type != msg.type) throw FormatError("packet type changed inside a message");
        const size_t body = length - kHeaderSize;
        if (msg.payload.size() + body > maxMessage_) throw FormatError("message too large");
        const size_t at = msg.payload.size();
        msg.payload.resize(at + body);
        if (body > 0) readExact(msg.payload.data() + at, body, false);
        msg.type = type;
        first = false;
        if (status & kStatusEndOfMessage) {
            // A message the client marked to be ignored (it gave up on it while sending) is dropped whole.
            if (status & kStatusIgnore) {
                msg.payload.clear();
                first = true;
                continue;
            }
            return msg;
        }
    }
}

void PacketWriter::append(const Bytes& data) {
    pending_.insert(pending_.end(), data.begin(), data.end());
    const size_t bodyMax = packetSize_ - kHeaderSize;
    size_t sent = 0;
    // Keep at least one byte back so that the final packet is never an empty one after a full one.
    while (pending_.size() - sent > bodyMax) {
        sendPacket(pending_.data() + sent, bodyMax, false);
        sent += bodyMax;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void PacketWriter::endMessage() {
    sendPacket(pending_.data(), pending_.size(), true);
    pending_.clear();
}

void PacketWriter::sendPacket(const uint8_t* body, size_t n, bool last) {
    Bytes packet(kHeaderSize + n);
    packet[0] = kReply;
    packet[1] = last ? kStatusEndOfMessage : 0;
    packet[2] = static_cast<uint8_t>((kHeaderSize + n) >> 8);
    packet[3] = static_cast<uint8_t>(kHeaderSize + n);
    packet[4] = static_cast<uint8_t>(spid_ >> 8);
    packet[5] = static_cast<uint8_t>(spid_);
    packet[6] = packetId_++;
    packet[7] = 0;
    std::copy(body, body + n, packet.begin() + kHeaderSize);
    stream_.write(packet.data(), packet.size());
}

}  // namespace standin::tds
