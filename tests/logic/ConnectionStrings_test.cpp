#include "logic/ConnectionStrings_UNT.h"

#include <gtest/gtest.h>

#include <string>

namespace zz {
namespace {

TEST(SqlQuoted, DoublesEveryQuoteInsideSingleQuotes) {
    const struct {
        std::wstring text, quoted;
    } cases[] = {
        {L"", L"''"},
        {L"master", L"'master'"},
        {L"a'b", L"'a''b'"},
        {L"''", L"''''''"},
        {L"C:\\Data\\O'Neil's.bak", L"'C:\\Data\\O''Neil''s.bak'"},
        {L"D:\\پشتيبان\\زلتو.bak", L"'D:\\پشتيبان\\زلتو.bak'"},
    };
    for (const auto& c : cases) EXPECT_EQ(SqlQuoted(c.text), c.quoted) << c.text;
}

TEST(ConnectionStrings, AdminAndServerCheckQuoteTheServer) {
    const struct {
        std::wstring server, admin, check;
    } cases[] = {
        {L"(local)\\Zelto",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog=master;"
         L"Data Source='(local)\\Zelto'",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog='master';"
         L"Data Source='(local)\\Zelto'"},
        {L"O'Brien\\Zelto",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog=master;"
         L"Data Source='O''Brien\\Zelto'",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog='master';"
         L"Data Source='O''Brien\\Zelto'"},
        {L"",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog=master;"
         L"Data Source=''",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=sa;Initial Catalog='master';"
         L"Data Source=''"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AdminConnectionString(c.server), c.admin) << c.server;
        EXPECT_EQ(ServerCheckConnectionString(c.server), c.check) << c.server;
    }
}

TEST(ConnectionStrings, ProductTakesDatabaseAndServerAsTyped) {
    const struct {
        std::wstring database, server, product;
    } cases[] = {
        {L"Zelto", L"(local)\\Zelto",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=zlt;Initial Catalog=Zelto;"
         L"Data Source=(local)\\Zelto"},
        {L"Zelto", L"O'Brien\\Zelto",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=zlt;Initial Catalog=Zelto;"
         L"Data Source=O'Brien\\Zelto"},
        {L"", L"",
         L"Provider=SQLOLEDB.1;Password=3917264;Persist Security Info=True;User ID=zlt;Initial Catalog=;"
         L"Data Source="},
    };
    for (const auto& c : cases) EXPECT_EQ(ProductConnectionString(c.database, c.server), c.product) << c.server;
}

}  // namespace
}  // namespace zz
