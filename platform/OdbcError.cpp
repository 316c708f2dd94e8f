#include "platform/OdbcError.h"

#include <algorithm>

namespace zz {

bool IsWarning(const TOdbcDiagRecord& record) {
    return record.State.rfind(L"01", 0) == 0;
}

std::wstring WithoutComponentPrefixes(std::wstring_view text) {
    std::wstring_view rest = text;
    while (!rest.empty() && rest.front() == L'[') {
        const size_t close = rest.find(L']');
        if (close == std::wstring_view::npos) break;
        rest.remove_prefix(close + 1);
    }
    if (rest.empty()) return std::wstring(text);
    return std::wstring(rest);
}

std::wstring DiagnosticMessage(const std::vector<TOdbcDiagRecord>& records, bool keepWarnings) {
    const bool anyError = std::any_of(records.begin(), records.end(), [](const auto& r) { return !IsWarning(r); });
    std::vector<const TOdbcDiagRecord*> chosen;
    for (const auto& record : records)
        if (!anyError || keepWarnings || !IsWarning(record)) chosen.push_back(&record);
    // Messages of the server, and the driver's numbered ones, make a record without a number (the driver's
    // closing "Unable to connect to data source") say nothing more.
    const bool anyNumbered =
        std::any_of(chosen.begin(), chosen.end(), [](const auto* r) { return r->NativeError != 0; });
    std::vector<std::wstring> lines;
    for (const auto* record : chosen) {
        if (anyNumbered && record->NativeError == 0) continue;
        std::wstring line = WithoutComponentPrefixes(record->Text);
        while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
        if (line.empty() || std::find(lines.begin(), lines.end(), line) != lines.end()) continue;
        lines.push_back(std::move(line));
    }
    std::wstring message;
    for (const auto& line : lines) {
        if (!message.empty()) message += L"\r\n";
        message += line;
    }
    return message;
}

}  // namespace zz
