#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace zz {

// One owner for every kind of handle. Traits gives the handle type, its "no handle" value and how to close it;
// Close is called exactly once for every handle that was owned.
template <typename Traits>
class UniqueHandle {
public:
    using T = typename Traits::type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
    T release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(T value = Traits::invalid()) noexcept {
        T old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = Traits::invalid();
};

template <typename H, auto CloseFn>
struct NullTraits {
    using type = H;
    static constexpr H invalid() noexcept { return nullptr; }
    static void close(H h) noexcept { CloseFn(h); }
};

struct FileTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

namespace detail {
inline void CloseHandleFn(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline void CloseKeyFn(HKEY h) noexcept {
    ::RegCloseKey(h);
}
inline void DestroyWindowFn(HWND h) noexcept {
    ::DestroyWindow(h);
}
inline void DeleteObjectFn(HGDIOBJ h) noexcept {
    ::DeleteObject(h);
}
inline void FreeLibraryFn(HMODULE h) noexcept {
    ::FreeLibrary(h);
}
inline void CloseServiceFn(SC_HANDLE h) noexcept {
    ::CloseServiceHandle(h);
}
inline void UnlockServiceDatabaseFn(SC_LOCK h) noexcept {
    ::UnlockServiceDatabase(h);
}
inline void DeleteDCFn(HDC h) noexcept {
    ::DeleteDC(h);
}
inline void LocalFreeFn(HLOCAL h) noexcept {
    ::LocalFree(h);
}

}  // namespace detail

using unique_handle = UniqueHandle<NullTraits<HANDLE, detail::CloseHandleFn>>;  // process, thread, event
using unique_file = UniqueHandle<FileTraits>;                                   // CreateFile
using unique_hkey = UniqueHandle<NullTraits<HKEY, detail::CloseKeyFn>>;
using unique_hwnd = UniqueHandle<NullTraits<HWND, detail::DestroyWindowFn>>;
using unique_gdi = UniqueHandle<NullTraits<HGDIOBJ, detail::DeleteObjectFn>>;
using unique_hmodule = UniqueHandle<NullTraits<HMODULE, detail::FreeLibraryFn>>;
using unique_schandle = UniqueHandle<NullTraits<SC_HANDLE, detail::CloseServiceFn>>;
using unique_sclock = UniqueHandle<NullTraits<SC_LOCK, detail::UnlockServiceDatabaseFn>>;  // LockServiceDatabase
using unique_hdc = UniqueHandle<NullTraits<HDC, detail::DeleteDCFn>>;                      // CreateCompatibleDC
using unique_hlocal = UniqueHandle<NullTraits<HLOCAL, detail::LocalFreeFn>>;  // LocalAlloc, FormatMessage, ...

// A COM interface pointer, released once.
template <typename I>
class unique_com {
public:
    unique_com() noexcept = default;
    explicit unique_com(I* p) noexcept : p_(p) {}
    unique_com(const unique_com&) = delete;
    unique_com& operator=(const unique_com&) = delete;
    unique_com(unique_com&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    unique_com& operator=(unique_com&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ~unique_com() { reset(); }
    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset(I* p = nullptr) noexcept {
        if (I* old = std::exchange(p_, p)) old->Release();
    }
    I** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    I* p_ = nullptr;
};

// COM initialised on this thread for the scope (uninitialised only if this scope's call succeeded).
class ComScope {
public:
    explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED) noexcept : hr_(::CoInitializeEx(nullptr, model)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace zz
