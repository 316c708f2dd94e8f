#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Bytes.h"

namespace standin::files {

// Paths are Windows paths in UTF-8, exactly as a client sent them.
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
std::string parent(const std::string& path);  // without the trailing separator; empty for a bare name
std::string fileName(const std::string& path);
std::optional<uint64_t> size(const std::string& path);

// The Win32 error code of the last failure of these functions.
uint32_t lastError();
// SQL Server quotes the operating system's text for a few codes; these are the texts of an English Windows.
std::string osErrorText(uint32_t code);

// Reads the whole file; nullopt with lastError() set on failure.
std::optional<Bytes> read(const std::string& path);
// Writes beside the target and renames over it, so that readers see the old or the new file, never half of one.
bool writeAtomically(const std::string& path, const Bytes& data);
bool remove(const std::string& path);
bool makeDirectories(const std::string& path);

// Compares two paths the way the file system does: without regard to case, / and \ alike.
bool samePath(const std::string& a, const std::string& b);

}  // namespace standin::files
