#pragma once

#include <string>

// Writes the program's raw-data resource of that name to a file, replacing any file of that name.
void ExtractResourceToFile(const std::wstring& filePath, const std::wstring& resourceName);

namespace zz {
// The whole content of a file; raises zz::Error with the system's description when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
}  // namespace zz
