#pragma once

#include <exception>
#include <string>

namespace zz {

// The one error type of the program: a message the user may see.
class Error : public std::exception {
public:
    // code: the platform's error code behind the failure, 0 when there is none.
    explicit Error(std::wstring message, unsigned long code = 0);
    const std::wstring& Message() const noexcept { return message_; }
    unsigned long Code() const noexcept { return code_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;  // UTF-8 copy for what()
    unsigned long code_ = 0;
};

// Error for a failed Windows call: "<prefix><system's description of code>".
[[noreturn]] void ThrowLastError(const std::wstring& prefix, unsigned long code);
std::wstring SystemErrorText(unsigned long code);
// The error of a failed operating-system call: "System Error.  Code: <code>.\r\n<system's description>", or
// "A call to an OS function failed" when there is no code. Carries the code.
Error OSError(unsigned long code);
[[noreturn]] void RaiseLastOSError(unsigned long code);
[[noreturn]] void RaiseLastOSError();  // with GetLastError()

}  // namespace zz
