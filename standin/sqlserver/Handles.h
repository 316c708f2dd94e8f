#pragma once

#include <winsock2.h>
#include <windows.h>

#include <utility>

namespace standin {

// One owner type for every kind of handle: Traits::close is called exactly once, by the destructor or reset().
template <typename Traits>
class Unique {
public:
    using T = typename Traits::type;
    Unique() = default;
    explicit Unique(T h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    T get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    void reset(T h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    T release() { return std::exchange(h_, Traits::invalid()); }

private:
    T h_ = Traits::invalid();
};

struct SocketTraits {
    using type = SOCKET;
    static SOCKET invalid() { return INVALID_SOCKET; }
    static void close(SOCKET s) { ::closesocket(s); }
};
struct FileTraits {
    using type = HANDLE;
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    using type = HANDLE;
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct ServiceTraits {
    using type = SC_HANDLE;
    static SC_HANDLE invalid() { return nullptr; }
    static void close(SC_HANDLE h) { ::CloseServiceHandle(h); }
};

using UniqueSocket = Unique<SocketTraits>;
using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueServiceHandle = Unique<ServiceTraits>;

// Winsock stays initialised for as long as one of these lives.
class WinsockScope {
public:
    WinsockScope() {
        WSADATA data;
        ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockScope() {
        if (ok_) ::WSACleanup();
    }
    WinsockScope(const WinsockScope&) = delete;
    WinsockScope& operator=(const WinsockScope&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

}  // namespace standin
