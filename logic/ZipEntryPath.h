#pragma once

#include <string>

namespace zz {

// Where an archive's entry goes when it is extracted into folder: folder + "\" + name with "/" turned into "\".
// Raises zz::Error, before anything is written, for a name that would land outside folder or that Windows would
// read as something other than a plain relative path: absolute ("/x", "\x", "\\server\x"), with a drive or any
// other ":" ("C:x", an alternate data stream), a ".." part with either separator, characters that file names
// cannot hold, or a device name (CON, NUL, COM1, ...). A name ending in a separator is a folder; the result then
// ends without one.
std::wstring ZipEntryPath(const std::wstring& folder, const std::wstring& name);

}  // namespace zz
