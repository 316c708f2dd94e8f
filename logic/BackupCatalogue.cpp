#include "logic/BackupCatalogue.h"

#include <pugixml.hpp>

#include <charconv>
#include <limits>
#include <sstream>

#include "common/Error.h"
#include "common/Text.h"

namespace zz {
namespace {

// The format's namespaces; their prefixes are the file's choice.
constexpr std::string_view kSchemaNs = "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882";
constexpr std::string_view kTypesNs = "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882";
constexpr std::string_view kRowsetNs = "urn:schemas-microsoft-com:rowset";
constexpr std::string_view kRowNs = "#RowsetSchema";

[[noreturn]] void Fail(const std::wstring& why) {
    throw Error(L"The backup catalogue cannot be read: " + why);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i])) return false;
    return true;
}

}  // namespace

struct TBackupCatalogue::TNames {
    struct TColumn {
        std::wstring field;         // the field's name (rs:name where the XML name differs)
        std::string attribute;      // the attribute that holds its value in a row
        std::size_t maxLength = 0;  // declared length of a text field, 0 for none
    };
    std::string s, dt, rs, z;  // prefixes, each with its ':' (empty for a default namespace)
    std::vector<TColumn> columns;
    pugi::xml_node data;

    std::string Q(const std::string& prefix, const char* local) const { return prefix + local; }
    std::size_t Column(std::wstring_view field) const {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (SameName(columns[i].field, field)) return i;
        Fail(L"it has no field " + std::wstring(field));
    }
};

const std::vector<std::wstring>& TBackupCatalogue::FieldNames() {
    static const std::vector<std::wstring> names{L"BackUpId",     L"backDate", L"backHour", L"appVersion",
                                                 L"backLocation", L"backType", L"backDescr"};
    return names;
}

TBackupCatalogue::TBackupCatalogue(std::string_view text)
    : FDocument(std::make_unique<pugi::xml_document>()), FNames(std::make_unique<TNames>()) {
    const pugi::xml_parse_result parsed = FDocument->load_buffer(text.data(), text.size());
    if (!parsed) Fail(FromUtf8(parsed.description()) + L" at byte " + std::to_wstring(parsed.offset));
    pugi::xml_node root = FDocument->document_element();

    // Namespace declarations of the root element name the prefixes.
    bool haveS = false, haveRs = false, haveZ = false;
    for (pugi::xml_attribute a : root.attributes()) {
        const std::string_view name = a.name();
        if (name != "xmlns" && name.substr(0, 6) != "xmlns:") continue;
        const std::string prefix = name == "xmlns" ? std::string() : std::string(name.substr(6)) + ":";
        const std::string_view uri = a.value();
        if (uri == kSchemaNs)
            FNames->s = prefix, haveS = true;
        else if (uri == kTypesNs)
            FNames->dt = prefix;
        else if (uri == kRowsetNs)
            FNames->rs = prefix, haveRs = true;
        else if (uri == kRowNs)
            FNames->z = prefix, haveZ = true;
    }
    if (!haveS || !haveRs || !haveZ) Fail(L"it is not a persisted row set (its namespaces are missing)");
    const TNames& n = *FNames;

    pugi::xml_node schema = root.child(n.Q(n.s, "Schema").c_str());
    pugi::xml_node rowType = schema.find_child_by_attribute(n.Q(n.s, "ElementType").c_str(), "name", "row");
    if (!rowType) Fail(L"it has no schema of its rows");
    auto addColumn = [&](pugi::xml_node type) {
        TNames::TColumn column;
        column.attribute = type.attribute("name").value();
        const pugi::xml_attribute rsName = type.attribute(n.Q(n.rs, "name").c_str());
        column.field = FromUtf8(rsName ? rsName.value() : column.attribute.c_str());
        const pugi::xml_node datatype = type.child(n.Q(n.s, "datatype").c_str());
        const std::string_view kind = datatype.attribute(n.Q(n.dt, "type").c_str()).value();
        if (kind == "string" || kind.empty())
            column.maxLength = datatype.attribute(n.Q(n.dt, "maxLength").c_str()).as_ullong(0);
        FNames->columns.push_back(std::move(column));
    };
    for (pugi::xml_node child : rowType.children()) {
        if (child.name() == n.Q(n.s, "AttributeType")) {
            addColumn(child);
        } else if (child.name() == n.Q(n.s, "attribute")) {
            // A field declared once for the whole schema and referred to by the row.
            pugi::xml_node shared = schema.find_child_by_attribute(n.Q(n.s, "AttributeType").c_str(), "name",
                                                                   child.attribute("type").value());
            if (!shared) Fail(L"its row refers to an undeclared field " + FromUtf8(child.attribute("type").value()));
            addColumn(shared);
        }
    }
    for (const std::wstring& field : FieldNames()) FNames->Column(field);

    FNames->data = root.child(n.Q(n.rs, "data").c_str());
    if (!FNames->data) FNames->data = root.append_child(n.Q(n.rs, "data").c_str());
}

TBackupCatalogue::TBackupCatalogue(TBackupCatalogue&&) noexcept = default;
TBackupCatalogue& TBackupCatalogue::operator=(TBackupCatalogue&&) noexcept = default;
TBackupCatalogue::~TBackupCatalogue() = default;

std::vector<std::wstring> TBackupCatalogue::Fields() const {
    std::vector<std::wstring> fields;
    for (const auto& column : FNames->columns) fields.push_back(column.field);
    return fields;
}

TBackupCatalogue::TRecords TBackupCatalogue::Records() const {
    const TNames& n = *FNames;
    const std::string row = n.Q(n.z, "row");
    TRecords records;
    auto read = [&](pugi::xml_node node, std::vector<std::optional<std::wstring>> values) {
        values.resize(n.columns.size());
        for (std::size_t i = 0; i < n.columns.size(); ++i)
            if (pugi::xml_attribute a = node.attribute(n.columns[i].attribute.c_str())) values[i] = FromUtf8(a.value());
        return values;
    };
    for (pugi::xml_node node : n.data.children()) {
        const std::string name = node.name();
        if (name == row) {
            records.push_back(read(node, {}));
        } else if (name == n.Q(n.rs, "insert")) {
            for (pugi::xml_node inserted : node.children(row.c_str())) records.push_back(read(inserted, {}));
        } else if (name == n.Q(n.rs, "update")) {
            // The changed values stand on the original row.
            const pugi::xml_node original = node.child(n.Q(n.rs, "original").c_str()).child(row.c_str());
            records.push_back(read(node.child(row.c_str()), read(original, {})));
        }
    }
    return records;
}

std::int32_t TBackupCatalogue::NextBackUpId() const {
    const auto records = Records();
    if (records.empty()) return 1;
    const std::optional<std::wstring>& last = records.back()[FNames->Column(L"BackUpId")];
    if (!last || last->empty()) return 1;
    const std::string digits = ToUtf8(*last);
    std::int32_t id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size())
        Fail(L"the last BackUpId is not a number: " + *last);
    if (id == std::numeric_limits<std::int32_t>::max()) Fail(L"the last BackUpId is the largest there can be");
    return id + 1;
}

void TBackupCatalogue::Append(const TBackupRecord& record) {
    const TNames& n = *FNames;
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"BackUpId", std::to_wstring(record.BackUpId)},
        {L"backDate", record.backDate},
        {L"backHour", record.backHour},
        {L"appVersion", record.appVersion},
        {L"backLocation", record.backLocation},
        {L"backType", std::to_wstring(record.backType)},
        {L"backDescr", record.backDescr},
    };
    // Checked whole before anything changes.
    for (const auto& [field, value] : values) {
        const auto& column = n.columns[n.Column(field)];
        if (column.maxLength && value.size() > column.maxLength)
            throw Error(std::wstring(L"The value of ") + field + L" is longer than its " +
                        std::to_wstring(column.maxLength) + L" characters: " + value);
    }
    pugi::xml_node row = FNames->data.append_child(n.Q(n.z, "row").c_str());
    for (const auto& [field, value] : values)
        row.append_attribute(n.columns[n.Column(field)].attribute.c_str()).set_value(ToUtf8(value).c_str());
}

std::string TBackupCatalogue::Text() const {
    std::ostringstream out;
    FDocument->save(out, "\t", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

}  // namespace zz
