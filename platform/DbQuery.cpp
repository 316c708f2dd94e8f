#include "platform/DbQuery.h"

#include "common/Error.h"

namespace zz {

TDbQuery::TDbQuery() = default;

TDbQuery::TDbQuery(TDbConnection& connection) : FShared(&connection) {}

void TDbQuery::SetConnectionString(std::wstring connectionString) {
    if (FShared) throw Error(L"The query runs on a shared connection and takes no connection string");
    Close();
    FConnectionString = std::move(connectionString);
}

const std::wstring& TDbQuery::ConnectionString() const noexcept {
    return FShared ? FShared->ConnectionString() : FConnectionString;
}

void TDbQuery::ExecSQL() {
    Connection().Execute(FSQL);
}

void TDbQuery::Open() {
    FRowSet.reset();
    FRowSet = Connection().Query(FSQL);
}

void TDbQuery::Close() noexcept {
    FRowSet.reset();
    FOwn.reset();
}

bool TDbQuery::Eof() const {
    return RowSet().Eof();
}

void TDbQuery::Next() {
    RowSet();
    FRowSet->Next();
}

std::size_t TDbQuery::RecordCount() const {
    return RowSet().RecordCount();
}

std::wstring TDbQuery::FieldAsString(std::size_t index) const {
    return RowSet().FieldAsString(index);
}

std::wstring TDbQuery::FieldAsString(std::wstring_view name) const {
    return RowSet().FieldAsString(name);
}

const TDbRowSet& TDbQuery::RowSet() const {
    if (!FRowSet) throw Error(L"The query is not open");
    return *FRowSet;
}

TDbConnection& TDbQuery::Connection() {
    if (FShared) return *FShared;
    if (!FOwn) {
        auto own = std::make_unique<TDbConnection>();
        own->Open(FConnectionString);
        FOwn = std::move(own);
    }
    return *FOwn;
}

}  // namespace zz
