#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
}

namespace zz {

// One backup in the catalogue, with the catalogue's field names.
struct TBackupRecord {
    std::int32_t BackUpId = 0;
    std::wstring backDate;
    std::wstring backHour;
    std::wstring appVersion;
    std::wstring backLocation;
    std::uint8_t backType = 0;
    std::wstring backDescr;
};

// The backup catalogue: a row set in the XML persistence format of ADO (a schema of the row's fields followed by
// the data, one z:row per record). The catalogue is read whole, a record is appended and it is written whole
// again; what the file holds beyond the seven fields (other fields, properties, pending changes) is kept as it was.
class TBackupCatalogue {
public:
    using TRecords = std::vector<std::vector<std::optional<std::wstring>>>;

    // The seven fields every catalogue has, in their order.
    static const std::vector<std::wstring>& FieldNames();

    // Reads a catalogue (UTF-8 text). Raises zz::Error for text that is not such a row set or lacks one of the
    // seven fields; namespace prefixes are whatever the file declares.
    explicit TBackupCatalogue(std::string_view text);
    TBackupCatalogue(TBackupCatalogue&&) noexcept;
    TBackupCatalogue& operator=(TBackupCatalogue&&) noexcept;
    ~TBackupCatalogue();

    // The fields the schema declares, in order.
    std::vector<std::wstring> Fields() const;
    // The records in the row set's order: rows of the data, pending insertions, pending updates applied on their
    // original rows; pending deletions are gone. A field without a value (null) is nullopt.
    TRecords Records() const;
    // The last record's BackUpId plus 1, or 1 when there is none (a null BackUpId counts as 0).
    std::int32_t NextBackUpId() const;
    // Appends a record after the last one. Raises zz::Error for a text longer than its field's declared length.
    void Append(const TBackupRecord& record);
    // The whole catalogue as UTF-8 text.
    std::string Text() const;

private:
    struct TNames;
    std::unique_ptr<pugi::xml_document> FDocument;
    std::unique_ptr<TNames> FNames;
};

}  // namespace zz
