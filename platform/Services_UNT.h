#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Starting programs and waiting for them, and starting and stopping services with the system's own tools ("net" on
// this computer, "sc" for another one) once the service control manager has found the service.

// Starts program with parameters (hidden or shown) and waits until it has ended, handling the program's window
// messages meanwhile; the wait also ends when the program is terminating. true when the program was started; its
// exit code is not read.
bool ExecuteAndWait(const std::wstring& program, const std::wstring& parameters, bool shown);

// The service's status record; errorCode is 0 when the service could be opened, else the platform's error code.
SERVICE_STATUS QueryServiceState(const std::wstring& serviceName, const std::wstring& machineName,
                                 DWORD& errorCode);
bool IsServiceRunning(const std::wstring& serviceName, const std::wstring& machineName);
// 0 when the service was found and the command was run, else the lookup's error code (nothing is run).
std::int32_t StopServiceByCommand(const std::wstring& serviceName, const std::wstring& machineName);
std::int32_t StartServiceByCommand(const std::wstring& serviceName, const std::wstring& machineName);

// The error code of the last lookup of QueryServiceState.
DWORD LastServiceLookupError();
