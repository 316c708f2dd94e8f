#include "logic/DBoperationsStatements.h"

#include "common/Text.h"
#include "logic/ConnectionStrings_UNT.h"

namespace zz {

std::wstring AttachStatement(std::wstring_view database, std::wstring_view dataFile) {
    return L"EXEC sp_attach_db @dbname = " + SqlQuoted(database) + L",@filename1 = " + SqlQuoted(dataFile);
}

std::wstring DetachStatement(std::wstring_view database) {
    return L"exec sp_detach_db " + SqlQuoted(database);
}

std::wstring CreateStatement(std::wstring_view database, std::wstring_view chosenPath) {
    const std::wstring db(database);
    return L"create database " + db + L" on (name=" + db + L"_data,filename=" +
           SqlQuoted(std::wstring(chosenPath) + L"_data.mdf") + L")";
}

std::wstring ScriptBatch(std::string_view fileBytes, std::wstring_view database) {
    const std::wstring text = FromAnsi(fileBytes);
    const std::wstring use = L"use " + std::wstring(database) + L"\r\n";
    std::wstring batch;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        batch += use;
        batch.append(text, start, end - start);
        batch += L"\r\n";
        if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ++end;
        start = end + 1;
    }
    return batch;
}

std::wstring AutoBackupName(std::wstring_view folder, std::wstring_view dateStamp, std::wstring_view time) {
    return std::wstring(folder) + L"Auto" + std::wstring(dateStamp) + L"-" + std::wstring(time) + L".bak";
}

}  // namespace zz
