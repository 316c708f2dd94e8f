#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Engine.h"
#include "Handles.h"

namespace standin {

// Builds the SQL Server Browser's answer to one request datagram; empty when the request gets no answer.
std::string browserReply(const uint8_t* request, size_t n, const std::string& machine, const std::string& instance,
                         uint16_t tcpPort);

// The network face of an instance: TCP for clients, UDP for the browser answer, both on 127.0.0.1 only.
class Server {
public:
    Server(Instance& instance, uint16_t tcpPort, uint16_t browserPort);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and starts listening. Throws std::runtime_error when the TCP port cannot be bound; a browser port that
    // is taken (another instance answers there) only costs the instance lookup.
    void start();
    // Closes the listeners, drops every client and waits for their threads.
    void stop();
    bool browserActive() const { return static_cast<bool>(udp_); }

private:
    struct Client {
        UniqueSocket socket;
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void acceptLoop();
    void browserLoop();
    void reap(bool all);

    Instance& instance_;
    uint16_t tcpPort_, browserPort_;
    WinsockScope winsock_;
    UniqueSocket tcp_, udp_;
    std::thread acceptThread_, browserThread_;
    std::atomic<bool> stopping_{false};
    std::mutex clientsMutex_;
    std::list<std::unique_ptr<Client>> clients_;
};

}  // namespace standin
