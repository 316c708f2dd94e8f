#pragma once

#include <functional>
#include <string>

#include "common/Error.h"

// The message of the zz::Error that action raises, or "(no error)" when it raises none.
inline std::wstring ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const zz::Error& e) {
        return e.Message();
    }
    return L"(no error)";
}
