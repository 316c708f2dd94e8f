#pragma once

#include <string>

namespace zz {

// Full path of the running executable.
std::wstring ExecutablePath();
// Folder of the running executable, ending in a separator.
std::wstring ExecutableFolder();
bool FileExists(const std::wstring& path);

// The folder of a path, with its trailing separator ("C:\\Data\\a.bak" gives "C:\\Data\\").
std::wstring ExtractFilePath(const std::wstring& path);
// The extension of a path's last part, with its dot, or empty.
std::wstring ExtractFileExt(const std::wstring& path);
// The path with its extension replaced by ext (which carries its dot), or ext added when it has none.
std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext);
// Whether two file names or extensions are the same for the file system (which ignores case).
bool SameFileName(const std::wstring& a, const std::wstring& b);

}  // namespace zz
