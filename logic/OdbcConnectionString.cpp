#include "logic/OdbcConnectionString.h"

#include <cwctype>

#include "common/Error.h"

namespace zz {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::wstring Lower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

std::wstring* Slot(TConnectionParams& params, std::wstring_view key) {
    const std::wstring k = Lower(key);
    if (k == L"provider") return &params.Provider;
    if (k == L"password" || k == L"pwd") return &params.Password;
    if (k == L"persist security info") return &params.PersistSecurityInfo;
    if (k == L"user id" || k == L"uid") return &params.UserId;
    if (k == L"initial catalog" || k == L"database") return &params.InitialCatalog;
    if (k == L"data source" || k == L"server") return &params.DataSource;
    return nullptr;
}

// ODBC takes a value as is unless it holds a character of the string's own syntax; such a value goes in braces,
// with a closing brace inside doubled.
std::wstring OdbcValue(const std::wstring& value) {
    bool braces = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    for (wchar_t c : value)
        if (c == L';' || c == L'{' || c == L'}') braces = true;
    if (!braces) return value;
    std::wstring out = L"{";
    for (wchar_t c : value) {
        out += c;
        if (c == L'}') out += L'}';
    }
    out += L'}';
    return out;
}

}  // namespace

TConnectionParams ParseConnectionString(std::wstring_view text) {
    TConnectionParams params;
    size_t i = 0;
    while (i < text.size()) {
        const size_t equals = text.find(L'=', i);
        const size_t semicolon = text.find(L';', i);
        if (equals == std::wstring_view::npos || (semicolon != std::wstring_view::npos && semicolon < equals)) {
            // A part without "=": only blanks are allowed there.
            const size_t end = semicolon == std::wstring_view::npos ? text.size() : semicolon;
            if (!Trimmed(text.substr(i, end - i)).empty())
                throw Error(L"Invalid connection string: " + std::wstring(text.substr(i, end - i)));
            i = end + 1;
            continue;
        }
        const std::wstring_view key = Trimmed(text.substr(i, equals - i));
        size_t p = equals + 1;
        while (p < text.size() && IsBlank(text[p])) ++p;

        std::wstring value;
        if (p < text.size() && (text[p] == L'\'' || text[p] == L'"')) {
            const wchar_t quote = text[p++];
            for (;;) {
                if (p >= text.size())
                    throw Error(L"Invalid connection string: unterminated value of " + std::wstring(key));
                if (text[p] == quote) {
                    if (p + 1 < text.size() && text[p + 1] == quote) {
                        value += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                value += text[p++];
            }
            while (p < text.size() && IsBlank(text[p])) ++p;
            if (p < text.size() && text[p] != L';')
                throw Error(L"Invalid connection string: text after the quoted value of " + std::wstring(key));
        } else {
            const size_t end = text.find(L';', p);
            value = Trimmed(text.substr(p, (end == std::wstring_view::npos ? text.size() : end) - p));
            p = end == std::wstring_view::npos ? text.size() : end;
        }

        std::wstring* slot = Slot(params, key);
        if (!slot) throw Error(L"Invalid connection string: unknown keyword " + std::wstring(key));
        *slot = std::move(value);
        i = p + 1;
    }
    return params;
}

std::wstring OdbcConnectionString(const TConnectionParams& params) {
    // Windows' own driver of this name takes the server text as typed, (local)\Zelto included. Under Wine the
    // name leads through unixODBC's odbcinst.ini to FreeTDS, which splits host\instance, asks the instance's port
    // from the SQL Server Browser of that host, and resolves the host with the system resolver; there the
    // workstation's hosts file gives "(local)" the loopback address, so the same text reaches the same instance.
    // Provider and Persist Security Info have no ODBC counterpart. SQL_DRIVER_NOPROMPT (DbConnection) keeps the
    // driver from ever asking for a login.
    return L"DRIVER={SQL Server};SERVER=" + OdbcValue(params.DataSource) + L";UID=" + OdbcValue(params.UserId) +
           L";PWD=" + OdbcValue(params.Password) + L";DATABASE=" + OdbcValue(params.InitialCatalog);
}

std::wstring OdbcConnectionString(std::wstring_view connectionString) {
    return OdbcConnectionString(ParseConnectionString(connectionString));
}

}  // namespace zz
