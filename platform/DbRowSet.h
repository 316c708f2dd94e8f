#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// A row set held whole on the client: its row count is exact, and the statement that made it has been read to its
// end. It is positioned on its first row; Next past the last row sets Eof and stays on the last row.
class TDbRowSet {
public:
    using TRow = std::vector<std::optional<std::wstring>>;  // nullopt is NULL

    TDbRowSet() = default;
    TDbRowSet(std::vector<std::wstring> fieldNames, std::vector<TRow> rows);

    std::size_t RecordCount() const noexcept { return FRows.size(); }
    std::size_t FieldCount() const noexcept { return FFieldNames.size(); }
    const std::wstring& FieldName(std::size_t index) const;

    // True for an empty row set and after Next has tried to move past the last row.
    bool Eof() const noexcept { return FEof; }
    void First() noexcept;
    void Next() noexcept;

    // The current row's value as text; NULL, and any field of an empty row set, read as "".
    // Raises zz::Error for a position past the last field or a name that no field has (names ignore case).
    std::wstring FieldAsString(std::size_t index) const;
    std::wstring FieldAsString(std::wstring_view name) const;
    bool FieldIsNull(std::size_t index) const;

private:
    std::size_t IndexOf(std::wstring_view name) const;
    void CheckIndex(std::size_t index) const;

    std::vector<std::wstring> FFieldNames;
    std::vector<TRow> FRows;
    std::size_t FCurrent = 0;
    bool FEof = true;
};

}  // namespace zz
