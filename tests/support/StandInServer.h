#pragma once

#include <windows.h>

#include <string>

#include "common/Handle.h"

namespace zz::test {

// The stand-in SQL Server run as a child process for the length of a test suite: instance "Zelto" on a TCP port
// of its own, announced by its SQL Server Browser on UDP 1434, with its data in a fresh temporary folder.
class TStandInServer {
public:
    // Logins written into the server's configuration.
    struct TLogins {
        std::wstring SaPassword = L"3917264";
        std::wstring ZltPassword = L"3917264";
    };

    // Starts the server and waits until it accepts connections; raises std::runtime_error when it cannot.
    explicit TStandInServer(const TLogins& logins);
    TStandInServer(const TStandInServer&) = delete;
    TStandInServer& operator=(const TStandInServer&) = delete;
    ~TStandInServer();

    const std::wstring& DataFolder() const { return FFolder; }

    // Path of the stand-in executable, or empty when the build has none.
    static std::wstring Executable();
    static unsigned short Port();
    // True when no SQL Server Browser holds UDP 1434 on this machine.
    static bool BrowserPortFree();

private:
    void Stop() noexcept;

    std::wstring FFolder;
    unique_handle FProcess;
};

}  // namespace zz::test
