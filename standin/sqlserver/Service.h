#pragma once

#include <functional>
#include <string>

namespace standin::service {

// Reports one more check point of the pending state that is under way.
using Progress = std::function<void()>;

struct Hooks {
    // Brings the server up; throws std::exception to fail the start (the service then reports STOPPED).
    std::function<void(const Progress&)> start;
    std::function<void(const Progress&)> stop;
};

// Runs as the service `name` under the service control manager: START_PENDING with check points and a wait
// hint while starting, RUNNING, then STOP_PENDING and STOPPED after a stop or shutdown request.
// Returns false when the process was not started by the service control manager.
bool run(const std::wstring& name, Hooks hooks);

bool install(const std::wstring& name, const std::wstring& displayName, const std::wstring& commandLine, bool autoStart,
             std::wstring& error);
bool uninstall(const std::wstring& name, std::wstring& error);

}  // namespace standin::service
