#pragma once

#include <cstdint>
#include <string>

#include "Bytes.h"

namespace standin::tds {

struct PreLoginRequest {
    uint8_t encryption = 0;  // 0 off, 1 on, 2 not supported, 3 required
};

// Throws FormatError when the option table points outside the message.
PreLoginRequest parsePreLogin(const Bytes& payload);

// Our answer: version, no encryption, no MARS.
Bytes preLoginReply(const uint8_t version[4]);

struct Login7 {
    uint32_t tdsVersion = 0;
    uint32_t packetSize = 4096;
    bool integratedSecurity = false;
    std::string hostName;
    std::string userName;
    std::string password;
    std::string appName;
    std::string serverName;
    std::string language;
    std::string database;
};

// Throws FormatError for a record whose lengths or offsets do not fit.
Login7 parseLogin7(const Bytes& payload);

// The password scrambling of LOGIN7, in the direction a client applies it (for tests and tools).
Bytes scramblePassword(const std::u16string& password);

}  // namespace standin::tds
