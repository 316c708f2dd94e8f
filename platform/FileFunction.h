#pragma once

#include <string>

// Writes the program's raw-data resource of that name to a file, replacing any file of that name.
void ExtractResourceToFile(const std::wstring& filePath, const std::wstring& resourceName);
