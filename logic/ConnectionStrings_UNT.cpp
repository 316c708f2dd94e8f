#include "logic/ConnectionStrings_UNT.h"

namespace zz {
namespace {

// Both logins share one password; the key order is fixed.
constexpr std::wstring_view kAdminPrefix =
    L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog=";
constexpr std::wstring_view kProductPrefix =
    L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=zlt;Initial Catalog=";
constexpr std::wstring_view kDataSource = L";Data Source=";

}  // namespace

std::wstring SqlQuoted(std::wstring_view text) {
    std::wstring quoted;
    quoted.reserve(text.size() + 2);
    quoted += L'\'';
    for (wchar_t c : text) {
        if (c == L'\'') quoted += L'\'';
        quoted += c;
    }
    quoted += L'\'';
    return quoted;
}

std::wstring AdminConnectionString(std::wstring_view server) {
    return std::wstring(kAdminPrefix) + L"master" + std::wstring(kDataSource) + SqlQuoted(server);
}

std::wstring ServerCheckConnectionString(std::wstring_view server) {
    return std::wstring(kAdminPrefix) + SqlQuoted(L"master") + std::wstring(kDataSource) + SqlQuoted(server);
}

std::wstring ProductConnectionString(std::wstring_view database, std::wstring_view server) {
    return std::wstring(kProductPrefix) + std::wstring(database) + std::wstring(kDataSource) + std::wstring(server);
}

}  // namespace zz
