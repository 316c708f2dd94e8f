#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/support/TestSupport.h"

// A service of the test's own: the stand-in smart service copied into a fresh folder whose path has blanks and
// registered under a unique name (or the given one) with its path in quotes. A service already registered under
// that name is set aside for the test and registered again as it was at the end. At the end the test's service is
// stopped and deleted. Failures are raised as zz::Error.
class ThrowAwayService {
public:
    struct Options {
        std::wstring name;  // empty: a unique name
        DWORD startType = SERVICE_DEMAND_START;
        std::string behaviour;  // the stand-in's behaviour.ini
        bool quoted = true;     // the path registered in quotes
    };
    ThrowAwayService();
    explicit ThrowAwayService(const Options& options);
    ~ThrowAwayService();
    ThrowAwayService(const ThrowAwayService&) = delete;
    ThrowAwayService& operator=(const ThrowAwayService&) = delete;

    const std::wstring& Name() const { return name_; }
    // The program's folder (ending in a separator) and the program.
    const std::wstring& Folder() const { return folder_; }
    std::wstring Program() const { return folder_ + L"IntelligentService.exe"; }
    std::wstring CommandLine() const;  // as registered
    void SetBehaviour(const std::string& lines) const;
    std::string Log() const;

    // Fresh from the service control manager.
    SERVICE_STATUS Status() const;
    DWORD StartType() const;
    void SetStartType(DWORD startType) const;
    // Starts the service, or stops it, and waits (at most 30 s) until it is running, or stopped.
    void Start() const;
    void Stop() const;

    // The stand-in program as built, and a service's removal (stopped first) that waits until the name is free.
    static std::wstring BuiltProgram();
    static void Remove(const std::wstring& name);
    static bool Exists(const std::wstring& name);

private:
    struct Saved {
        DWORD type, startType, errorControl;
        std::wstring binaryPath, displayName;
    };
    // Removes the test's service and registers what was set aside again.
    void CleanUp() noexcept;

    TempDir dir_;
    std::wstring folder_;
    std::wstring name_;
    std::optional<Saved> setAside_;
};
