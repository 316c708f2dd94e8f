#pragma once

#include <string>

namespace zz {

// Full path of the running executable.
std::wstring ExecutablePath();
// Folder of the running executable, ending in a separator.
std::wstring ExecutableFolder();
bool FileExists(const std::wstring& path);

}  // namespace zz
