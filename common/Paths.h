#pragma once

#include <string>
#include <string_view>

namespace zz {

// Full path of the running executable.
std::wstring ExecutablePath();
// Folder of the running executable, ending in a separator.
std::wstring ExecutableFolder();
bool FileExists(const std::wstring& path);

// Text rules for file paths; nothing is looked up on disk. Separators are "\\", "/" and the drive's ":".
// The path up to and including its last separator ("" without one).
std::wstring ExtractFilePath(std::wstring_view path);
// The same without the last separator, unless that separator makes the folder a root ("C:\\", "\\").
std::wstring ExtractFileDir(std::wstring_view path);
// The name after the last separator.
std::wstring ExtractFileName(std::wstring_view path);
// The path with the extension of its name (from its last dot) replaced by extension, which brings its own dot;
// a name without a dot gets extension appended.
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension);
// The extension of the name (from its last dot), or "".
std::wstring ExtractFileExt(std::wstring_view path);
// Whether two file names or extensions are the same for the file system, which ignores case.
bool SameFileName(std::wstring_view a, std::wstring_view b);

}  // namespace zz
