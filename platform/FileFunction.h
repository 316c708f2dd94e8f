#pragma once

#include <string>

// Writes the program's raw-data resource of that name to a file, replacing any file of that name.
void ExtractResourceToFile(const std::wstring& filePath, const std::wstring& resourceName);

// The whole content of a file. Raises zz::Error "Cannot open file "<path>". <cause>" when it cannot be read.
std::string ReadWholeFile(const std::wstring& filePath);
// Replaces the file's content with bytes: they are written beside it under a temporary name first and moved over
// it only when complete, so a failure leaves the old file as it was. Raises the "Cannot create file" error.
void ReplaceWholeFile(const std::wstring& filePath, const std::string& bytes);
