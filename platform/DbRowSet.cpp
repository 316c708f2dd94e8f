#include "platform/DbRowSet.h"

#include <windows.h>

#include "common/Error.h"

namespace zz {

TDbRowSet::TDbRowSet(std::vector<std::wstring> fieldNames, std::vector<TRow> rows)
    : FFieldNames(std::move(fieldNames)), FRows(std::move(rows)), FEof(FRows.empty()) {
    for (auto& row : FRows) row.resize(FFieldNames.size());
}

const std::wstring& TDbRowSet::FieldName(std::size_t index) const {
    CheckIndex(index);
    return FFieldNames[index];
}

void TDbRowSet::First() noexcept {
    FCurrent = 0;
    FEof = FRows.empty();
}

void TDbRowSet::Next() noexcept {
    if (FCurrent + 1 < FRows.size())
        ++FCurrent;
    else
        FEof = true;
}

std::wstring TDbRowSet::FieldAsString(std::size_t index) const {
    CheckIndex(index);
    if (FRows.empty()) return {};
    return FRows[FCurrent][index].value_or(std::wstring());
}

std::wstring TDbRowSet::FieldAsString(std::wstring_view name) const {
    return FieldAsString(IndexOf(name));
}

bool TDbRowSet::FieldIsNull(std::size_t index) const {
    CheckIndex(index);
    return FRows.empty() || !FRows[FCurrent][index].has_value();
}

std::size_t TDbRowSet::IndexOf(std::wstring_view name) const {
    for (std::size_t i = 0; i < FFieldNames.size(); ++i) {
        const std::wstring& field = FFieldNames[i];
        if (CompareStringOrdinal(field.data(), static_cast<int>(field.size()), name.data(),
                                 static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return i;
    }
    throw Error(L"Field '" + std::wstring(name) + L"' not found");
}

void TDbRowSet::CheckIndex(std::size_t index) const {
    if (index >= FFieldNames.size())
        throw Error(L"Field index " + std::to_wstring(index) + L" out of range (" +
                    std::to_wstring(FFieldNames.size()) + L" fields)");
}

}  // namespace zz
