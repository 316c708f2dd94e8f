#include "logic/CommandLine.h"

namespace zz {

namespace {

bool Blank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool HasExtension(std::wstring_view path) {
    const size_t dot = path.find_last_of(L'.');
    return dot != std::wstring_view::npos && path.find_first_of(L"\\/:", dot) == std::wstring_view::npos;
}

}  // namespace

std::wstring ProgramOfCommandLine(std::wstring_view commandLine,
                                  const std::function<bool(const std::wstring& path)>& isFile) {
    size_t start = 0;
    while (start < commandLine.size() && Blank(commandLine[start])) ++start;
    std::wstring_view line = commandLine.substr(start);
    if (!line.empty() && line.front() == L'"') {
        const size_t close = line.find(L'"', 1);
        return std::wstring(line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
    }
    while (!line.empty() && Blank(line.back())) line.remove_suffix(1);
    size_t end = 0;
    for (;;) {
        while (end < line.size() && !Blank(line[end])) ++end;
        const std::wstring candidate(line.substr(0, end));
        if (!candidate.empty()) {
            if (isFile(candidate)) return candidate;
            if (!HasExtension(candidate) && isFile(candidate + L".exe")) return candidate + L".exe";
        }
        if (end >= line.size()) break;
        while (end < line.size() && Blank(line[end])) ++end;
    }
    size_t first = 0;
    while (first < line.size() && !Blank(line[first])) ++first;
    return std::wstring(line.substr(0, first));
}

std::wstring FolderPart(std::wstring_view path) {
    const size_t last = path.find_last_of(L"\\:");
    return last == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, last + 1));
}

}  // namespace zz
