#pragma once

#include <exception>
#include <string>

namespace zz {

// The one error type of the program: a message the user may see.
class Error : public std::exception {
public:
    explicit Error(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;  // UTF-8 copy for what()
};

// Error for a failed Windows call: "<prefix><system's description of code>".
[[noreturn]] void ThrowLastError(const std::wstring& prefix, unsigned long code);
std::wstring SystemErrorText(unsigned long code);

}  // namespace zz
