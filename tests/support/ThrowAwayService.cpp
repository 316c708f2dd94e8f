#include "tests/support/ThrowAwayService.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Error.h"
#include "common/Handle.h"
#include "common/Text.h"

namespace {

zz::unique_schandle Manager() {
    zz::unique_schandle scm(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) zz::RaiseLastOSError();
    return scm;
}

zz::unique_schandle Open(const std::wstring& name, DWORD access) {
    zz::unique_schandle scm = Manager();
    zz::unique_schandle service(OpenServiceW(scm.get(), name.c_str(), access));
    if (!service) zz::RaiseLastOSError();
    return service;
}

std::vector<unsigned char> Config(SC_HANDLE service) {
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    if (!QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                             static_cast<DWORD>(buffer.size()), &needed))
        zz::RaiseLastOSError();
    return buffer;
}

// Waits until the service has left its pending states and is in state; false after 30 s.
bool WaitFor(SC_HANDLE service, DWORD state) {
    for (int i = 0; i < 300; ++i) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status)) zz::RaiseLastOSError();
        if (status.dwCurrentState == state) return true;
        Sleep(100);
    }
    return false;
}

int counter = 0;

}  // namespace

ThrowAwayService::ThrowAwayService() : ThrowAwayService(Options{}) {}

ThrowAwayService::ThrowAwayService(const Options& options) {
    folder_ = dir_.File(L"Smart Service") + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    if (!CopyFileW(BuiltProgram().c_str(), Program().c_str(), FALSE)) zz::RaiseLastOSError();
    if (!options.behaviour.empty()) SetBehaviour(options.behaviour);
    name_ = !options.name.empty()
                ? options.name
                : L"ZZTest_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
    zz::unique_schandle scm = Manager();
    if (Exists(name_)) {
        zz::unique_schandle old = Open(name_, SERVICE_QUERY_CONFIG);
        std::vector<unsigned char> buffer = Config(old.get());
        const auto* c = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data());
        setAside_ = Saved{c->dwServiceType, c->dwStartType, c->dwErrorControl,
                          c->lpBinaryPathName ? c->lpBinaryPathName : L"", c->lpDisplayName ? c->lpDisplayName : L""};
        old.reset();
        Remove(name_);
    }
    const std::wstring command = options.quoted ? L"\"" + Program() + L"\"" : Program();
    zz::unique_schandle service(CreateServiceW(
        scm.get(), name_.c_str(), (name_ + L" (test)").c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
        options.startType, SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        const DWORD error = GetLastError();
        CleanUp();  // what was set aside comes back
        zz::RaiseLastOSError(error);
    }
}

ThrowAwayService::~ThrowAwayService() {
    CleanUp();
}

void ThrowAwayService::CleanUp() noexcept {
    try {
        if (Exists(name_)) Remove(name_);
        if (setAside_) {
            zz::unique_schandle scm = Manager();
            zz::unique_schandle service(CreateServiceW(scm.get(), name_.c_str(), setAside_->displayName.c_str(),
                                                       SERVICE_QUERY_STATUS, setAside_->type, setAside_->startType,
                                                       setAside_->errorControl, setAside_->binaryPath.c_str(), nullptr,
                                                       nullptr, nullptr, nullptr, nullptr));
            if (!service) zz::RaiseLastOSError();
        }
    } catch (const zz::Error& e) {
        ADD_FAILURE() << "the throw-away service " << zz::ToUtf8(name_) << " was not cleaned up: " << e.what();
    }
}

std::wstring ThrowAwayService::CommandLine() const {
    zz::unique_schandle service = Open(name_, SERVICE_QUERY_CONFIG);
    std::vector<unsigned char> buffer = Config(service.get());
    return reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data())->lpBinaryPathName;
}

void ThrowAwayService::SetBehaviour(const std::string& lines) const {
    WriteFileBytes(folder_ + L"behaviour.ini", lines);
}

std::string ThrowAwayService::Log() const {
    return ReadFileBytes(folder_ + L"log.txt");
}

SERVICE_STATUS ThrowAwayService::Status() const {
    zz::unique_schandle service = Open(name_, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status)) zz::RaiseLastOSError();
    return status;
}

DWORD ThrowAwayService::StartType() const {
    zz::unique_schandle service = Open(name_, SERVICE_QUERY_CONFIG);
    std::vector<unsigned char> buffer = Config(service.get());
    return reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data())->dwStartType;
}

void ThrowAwayService::SetStartType(DWORD startType) const {
    zz::unique_schandle service = Open(name_, SERVICE_CHANGE_CONFIG);
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr))
        zz::RaiseLastOSError();
}

void ThrowAwayService::Start() const {
    zz::unique_schandle service = Open(name_, SERVICE_START | SERVICE_QUERY_STATUS);
    if (!StartServiceW(service.get(), 0, nullptr)) zz::RaiseLastOSError();
    if (!WaitFor(service.get(), SERVICE_RUNNING)) throw zz::Error(L"the test's service did not start: " + name_);
}

void ThrowAwayService::Stop() const {
    zz::unique_schandle service = Open(name_, SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) zz::RaiseLastOSError();
    if (!WaitFor(service.get(), SERVICE_STOPPED)) throw zz::Error(L"the test's service did not stop: " + name_);
}

std::wstring ThrowAwayService::BuiltProgram() {
    return ZZ_SMARTSERVICE_EXE;
}

bool ThrowAwayService::Exists(const std::wstring& name) {
    zz::unique_schandle scm = Manager();
    zz::unique_schandle service(OpenServiceW(scm.get(), name.c_str(), SERVICE_QUERY_STATUS));
    return static_cast<bool>(service);
}

void ThrowAwayService::Remove(const std::wstring& name) {
    {
        zz::unique_schandle service = Open(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service.get(), &status)) zz::RaiseLastOSError();
        // A service still starting may not take a stop yet: asked again until it is stopped (at most 30 s).
        for (int i = 0; i < 300 && status.dwCurrentState != SERVICE_STOPPED; ++i) {
            if (status.dwControlsAccepted & SERVICE_ACCEPT_STOP)
                ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
            Sleep(100);
            if (!QueryServiceStatus(service.get(), &status)) zz::RaiseLastOSError();
        }
        if (!DeleteService(service.get())) zz::RaiseLastOSError();
    }
    // The name is free once the last handle to the service is closed.
    for (int i = 0; i < 100 && Exists(name); ++i) Sleep(100);
    if (Exists(name)) throw zz::Error(L"the service is still registered after its removal: " + name);
}
