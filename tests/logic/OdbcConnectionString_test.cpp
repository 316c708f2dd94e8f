#include "logic/OdbcConnectionString.h"

#include <gtest/gtest.h>

#include <string>

#include "common/Error.h"
#include "logic/ConnectionStrings_UNT.h"

namespace zz {
namespace {

TEST(OdbcConnectionString, GivesTheSystemsStringsToTheDriverUnquoted) {
    const struct {
        std::wstring connectionString, odbc;
    } cases[] = {
        {AdminConnectionString(L"(local)\\Zelto"),
         L"DRIVER={SQL Server};SERVER=(local)\\Zelto;UID=sa;PWD=3917264;DATABASE=master"},
        {ServerCheckConnectionString(L"(local)\\Zelto"),
         L"DRIVER={SQL Server};SERVER=(local)\\Zelto;UID=sa;PWD=3917264;DATABASE=master"},
        {AdminConnectionString(L"O'Brien\\Zelto"),
         L"DRIVER={SQL Server};SERVER=O'Brien\\Zelto;UID=sa;PWD=3917264;DATABASE=master"},
        {ProductConnectionString(L"Zelto", L"O'Brien\\Zelto"),
         L"DRIVER={SQL Server};SERVER=O'Brien\\Zelto;UID=zlt;PWD=3917264;DATABASE=Zelto"},
        {AdminConnectionString(L""), L"DRIVER={SQL Server};SERVER=;UID=sa;PWD=3917264;DATABASE=master"},
        // Characters of ODBC's own syntax go inside braces.
        {AdminConnectionString(L"a;b}c"), L"DRIVER={SQL Server};SERVER={a;b}}c};UID=sa;PWD=3917264;DATABASE=master"},
    };
    for (const auto& c : cases) EXPECT_EQ(OdbcConnectionString(c.connectionString), c.odbc) << c.connectionString;
}

TEST(OdbcConnectionString, ReadsKeysAndValuesLikeTheProvider) {
    const TConnectionParams p = ParseConnectionString(
        L" provider = SQLOLEDB.1 ;PASSWORD=\"x\"\"y\"; User ID = 'zlt' ;initial catalog=My Db ;"
        L"Data Source='a;b''c';;");
    EXPECT_EQ(p.Provider, L"SQLOLEDB.1");
    EXPECT_EQ(p.Password, L"x\"y");
    EXPECT_EQ(p.UserId, L"zlt");
    EXPECT_EQ(p.InitialCatalog, L"My Db");
    EXPECT_EQ(p.DataSource, L"a;b'c");
}

TEST(OdbcConnectionString, RejectsBrokenStrings) {
    for (const wchar_t* text : {L"Data Source='abc", L"Data Source='a'b;User ID=sa", L"Colour=blue", L"Data Source"})
        EXPECT_THROW(ParseConnectionString(text), Error) << text;
}

}  // namespace
}  // namespace zz
