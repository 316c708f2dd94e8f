#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zz {

// The program that a command line (a service's registered path, for instance) starts, by Windows' rules: a first
// part in double quotes is the program, without its quotes. Unquoted, the line is read as the system reads it: the
// words up to the first, second, ... blank, then the whole line, the first of them naming an existing file (as is,
// or with ".exe" added when it has no extension); when none does, the first word.
std::wstring ProgramOfCommandLine(std::wstring_view commandLine,
                                  const std::function<bool(const std::wstring& path)>& isFile);

// Everything up to and including the last backslash or colon of a path; empty when it has neither.
std::wstring FolderPart(std::wstring_view path);

}  // namespace zz
