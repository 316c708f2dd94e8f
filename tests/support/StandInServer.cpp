#include "tests/support/StandInServer.h"

#include <winsock2.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "common/Handle.h"
#include "common/Text.h"

namespace zz::test {
namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

void StartWinsock() {
    static WSADATA data;
    static const int started = WSAStartup(MAKEWORD(2, 2), &data);
    (void)started;
}

class TSocket {
public:
    explicit TSocket(int type) : FSocket(socket(AF_INET, type, type == SOCK_STREAM ? IPPROTO_TCP : IPPROTO_UDP)) {}
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;
    ~TSocket() {
        if (FSocket != INVALID_SOCKET) closesocket(FSocket);
    }
    SOCKET Get() const { return FSocket; }

private:
    SOCKET FSocket;
};

sockaddr_in Loopback(unsigned short port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool Accepts(unsigned short port) {
    TSocket s(SOCK_STREAM);
    const sockaddr_in address = Loopback(port);
    return s.Get() != INVALID_SOCKET &&
           connect(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

// A Browser that already answers on UDP 1434 (a workstation's instance) would send the driver elsewhere.
bool TStandInServer::BrowserPortFree() {
    StartWinsock();
    TSocket s(SOCK_DGRAM);
    const sockaddr_in address = Loopback(1434);
    return s.Get() != INVALID_SOCKET && bind(s.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::wstring TStandInServer::Executable() {
    std::wstring fromEnv = Env(L"ZZ_SQLSERVER_STANDIN");
    if (!fromEnv.empty()) return fromEnv;
#ifdef ZZ_SQLSERVER_STANDIN_EXE
    return FromUtf8(ZZ_SQLSERVER_STANDIN_EXE);
#else
    return {};
#endif
}

unsigned short TStandInServer::Port() {
    const std::wstring fromEnv = Env(L"ZZ_SQLSERVER_STANDIN_PORT");
    return static_cast<unsigned short>(fromEnv.empty() ? 14333 : std::stoi(fromEnv));
}

TStandInServer::TStandInServer(const TLogins& logins) {
    StartWinsock();

    const std::wstring exe = Executable();
    if (exe.empty()) throw std::runtime_error("no stand-in SQL Server in this build");
    if (Accepts(Port())) throw std::runtime_error("something already listens on the stand-in's port");
    if (!BrowserPortFree()) throw std::runtime_error("UDP 1434 is taken: another SQL Server Browser runs here");

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    FFolder = std::wstring(temp) + L"zz-odbc-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount());
    CreateDirectoryW(FFolder.c_str(), nullptr);
    const std::wstring config = FFolder + L"\\server.ini";
    {
        std::ofstream out(config.c_str(), std::ios::binary);
        out << "[logins]\r\nsa=" << ToUtf8(logins.SaPassword) << "\r\nzlt=" << ToUtf8(logins.ZltPassword) << "\r\n";
    }
    const std::wstring data = FFolder + L"\\data";
    CreateDirectoryW(data.c_str(), nullptr);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    unique_file log(CreateFileW((FFolder + L"\\server.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = log.get();
    startup.hStdError = log.get();
    std::wstring commandLine =
        L"\"" + exe + L"\" Zelto " + std::to_wstring(Port()) + L" \"" + data + L"\" \"" + config + L"\"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, FFolder.c_str(), &startup,
                        &process)) {
        Stop();
        throw std::runtime_error("the stand-in SQL Server could not be started");
    }
    FProcess.reset(process.hProcess);
    unique_handle thread(process.hThread);

    for (int i = 0; i < 300; ++i) {
        if (WaitForSingleObject(FProcess.get(), 0) == WAIT_OBJECT_0) {
            const std::string log = ToUtf8(FFolder) + "\\server.log";
            Stop();
            throw std::runtime_error("the stand-in SQL Server ended at start (ZZ_KEEP_STANDIN_DATA=1 keeps " + log +
                                     ")");
        }
        if (Accepts(Port())) return;
        Sleep(100);
    }
    Stop();
    throw std::runtime_error("the stand-in SQL Server did not start listening");
}

TStandInServer::~TStandInServer() {
    Stop();
}

void TStandInServer::Stop() noexcept {
    if (FProcess) {
        TerminateProcess(FProcess.get(), 0);
        WaitForSingleObject(FProcess.get(), 10000);
        FProcess.reset();
    }
    // ZZ_KEEP_STANDIN_DATA keeps the folder, with the server's log, for a look afterwards.
    if (!FFolder.empty() && !std::getenv("ZZ_KEEP_STANDIN_DATA")) RemoveTree(FFolder);
    FFolder.clear();
}

}  // namespace zz::test
