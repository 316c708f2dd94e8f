#pragma once

#include <functional>
#include <string>

namespace zz {

// Hands a document to the shell to open with the verb "Open" (no owner, no parameters, no directory, shown
// normally): the program registered for its kind shows it. The shell's answer is not examined.
void ShellOpenDocument(const std::wstring& path);

// Replaces the shell for the documents opened from now on (an empty function restores the shell); returns the one
// installed before. Tests record the documents with it instead of starting viewers.
using TShellOpener = std::function<void(const std::wstring& path)>;
TShellOpener SetShellOpener(TShellOpener opener);

}  // namespace zz
