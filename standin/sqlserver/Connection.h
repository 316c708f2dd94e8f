#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "Engine.h"
#include "Packet.h"

namespace standin {

// The program identity a client sees in LOGINACK, the PRELOGIN reply and the browser answer.
struct ServerIdentity {
    static constexpr uint8_t kVersion[4] = {11, 0, 0x08, 0x34};  // 11.0.2100
    static constexpr const char* kVersionText = "11.0.2100.60";
    static constexpr const char* kProgramName = "Microsoft SQL Server";
};

// The conversation with one client: PRELOGIN, LOGIN7, then batches and cancels until it leaves.
class Connection {
public:
    Connection(Instance& instance, tds::Stream& stream);
    // Returns when the client leaves, breaks the protocol or the login fails.
    void run();

private:
    class Sink;
    bool login(const tds::Message& msg);
    void batch(const tds::Message& msg);
    void rpc(const tds::Message& msg);
    void unsupported(const std::string& what);
    void attentionAck();
    void send(const Bytes& tokens);

    Instance& instance_;
    tds::Stream& stream_;
    tds::MessageReader reader_;
    tds::PacketWriter writer_;
    uint32_t tdsVersion_ = 0x74000004;
    std::unique_ptr<Session> session_;
    bool gone_ = false;
    struct Prepared {
        std::string sql;
        std::vector<std::string> names;  // of the declared parameters, in order
    };
    std::map<int32_t, Prepared> prepared_;
    int32_t nextHandle_ = 1;
};

}  // namespace standin
