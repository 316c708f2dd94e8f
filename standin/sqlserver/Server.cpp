#include "Server.h"

#include <ws2tcpip.h>

#include <stdexcept>

#include "Connection.h"
#include "Text.h"

namespace standin {

namespace {

class SocketStream : public tds::Stream {
public:
    explicit SocketStream(SOCKET s) : s_(s) {}
    size_t read(uint8_t* into, size_t max) override {
        int n = ::recv(s_, reinterpret_cast<char*>(into), static_cast<int>(std::min<size_t>(max, 1 << 20)), 0);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    void write(const uint8_t* data, size_t n) override {
        size_t put = 0;
        while (put < n) {
            int k = ::send(s_, reinterpret_cast<const char*>(data + put),
                           static_cast<int>(std::min<size_t>(n - put, 1 << 20)), 0);
            if (k <= 0) throw std::runtime_error("client connection lost");
            put += static_cast<size_t>(k);
        }
    }
    bool readable() override {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(s_, &set);
        timeval zero{0, 0};
        return ::select(0, &set, nullptr, nullptr, &zero) > 0;
    }

private:
    SOCKET s_;
};

// Waits up to `ms` for `s` to become readable.
bool waitReadable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &tv) > 0;
}

UniqueSocket bindLoopback(int type, uint16_t port) {
    UniqueSocket s(::socket(AF_INET, type, type == SOCK_STREAM ? IPPROTO_TCP : IPPROTO_UDP));
    if (!s) return s;
    BOOL yes = TRUE;
    // A restarted server must get its port back while old connections linger in TIME_WAIT.
    ::setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(s.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) s.reset();
    return s;
}

}  // namespace

std::string browserReply(const uint8_t* request, size_t n, const std::string& machine, const std::string& instance,
                         uint16_t tcpPort) {
    if (n == 0) return {};
    const uint8_t kind = request[0];
    if (kind == 0x04) {
        std::string asked(reinterpret_cast<const char*>(request + 1), n - 1);
        asked = asked.substr(0, asked.find('\0'));
        if (!equalsNoCase(asked, instance)) return {};
    } else if (kind != 0x02 && kind != 0x03) {
        return {};
    }
    std::string text = "ServerName;" + machine + ";InstanceName;" + instance + ";IsClustered;No;Version;" +
                       ServerIdentity::kVersionText + ";tcp;" + std::to_string(tcpPort) + ";;";
    std::string reply;
    reply.push_back(0x05);
    reply.push_back(static_cast<char>(text.size() & 0xFF));
    reply.push_back(static_cast<char>(text.size() >> 8));
    return reply + text;
}

Server::Server(Instance& instance, uint16_t tcpPort, uint16_t browserPort)
    : instance_(instance), tcpPort_(tcpPort), browserPort_(browserPort) {}

Server::~Server() {
    stop();
}

void Server::start() {
    if (!winsock_.ok()) throw std::runtime_error("Winsock is not available");
    tcp_ = bindLoopback(SOCK_STREAM, tcpPort_);
    if (!tcp_ || ::listen(tcp_.get(), SOMAXCONN) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(tcpPort_));
    if (browserPort_) udp_ = bindLoopback(SOCK_DGRAM, browserPort_);
    stopping_ = false;
    acceptThread_ = std::thread([this] { acceptLoop(); });
    if (udp_) browserThread_ = std::thread([this] { browserLoop(); });
}

void Server::stop() {
    stopping_ = true;
    if (acceptThread_.joinable()) acceptThread_.join();
    if (browserThread_.joinable()) browserThread_.join();
    tcp_.reset();
    udp_.reset();
    {
        std::lock_guard lock(clientsMutex_);
        for (auto& c : clients_) ::shutdown(c->socket.get(), SD_BOTH);
    }
    reap(true);
}

void Server::reap(bool all) {
    std::list<std::unique_ptr<Client>> done;
    {
        std::lock_guard lock(clientsMutex_);
        for (auto it = clients_.begin(); it != clients_.end();) {
            if (all || (*it)->finished) {
                done.push_back(std::move(*it));
                it = clients_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& c : done) {
        if (c->thread.joinable()) c->thread.join();
    }
}

void Server::acceptLoop() {
    while (!stopping_) {
        if (!waitReadable(tcp_.get(), 200)) {
            reap(false);
            continue;
        }
        SOCKET s = ::accept(tcp_.get(), nullptr, nullptr);
        if (s == INVALID_SOCKET) continue;
        BOOL yes = TRUE;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
        auto client = std::make_unique<Client>();
        client->socket.reset(s);
        Client* raw = client.get();
        {
            std::lock_guard lock(clientsMutex_);
            clients_.push_back(std::move(client));
        }
        raw->thread = std::thread([this, raw] {
            SocketStream stream(raw->socket.get());
            Connection(instance_, stream).run();
            ::shutdown(raw->socket.get(), SD_BOTH);
            raw->finished = true;
        });
        reap(false);
    }
}

void Server::browserLoop() {
    const std::string& instance = instance_.options().instanceName;
    const std::string& machine = instance_.options().machineName;
    while (!stopping_) {
        if (!waitReadable(udp_.get(), 200)) continue;
        uint8_t buf[1024];
        sockaddr_in from{};
        int fromLen = sizeof from;
        int n = ::recvfrom(udp_.get(), reinterpret_cast<char*>(buf), sizeof buf, 0, reinterpret_cast<sockaddr*>(&from),
                           &fromLen);
        if (n <= 0) continue;
        std::string reply = browserReply(buf, static_cast<size_t>(n), machine, instance, tcpPort_);
        if (!reply.empty())
            ::sendto(udp_.get(), reply.data(), static_cast<int>(reply.size()), 0, reinterpret_cast<sockaddr*>(&from),
                     fromLen);
    }
}

}  // namespace standin
