#include <gtest/gtest.h>

#include "Rpc.h"
#include "Statements.h"

namespace standin::sql {
namespace {

template <typename T>
const T& only(const ParsedBatch& b, size_t i = 0) {
    EXPECT_FALSE(b.error.has_value());
    EXPECT_GT(b.statements.size(), i);
    return std::get<T>(b.statements.at(i).statement);
}

// How a batch splits: T-SQL needs no separators, so a keyword that starts a statement starts one unless it is
// part of the statement before.
TEST(Statements, SplitsBatchesWhereTSqlDoes) {
    struct Case {
        const char* sql;
        std::vector<size_t> kinds;  // variant indices
    };
    const size_t use = 0, pass = 11, set = 8;
    const std::vector<Case> cases = {
        {"Use Zelto select  (select 1 from sysfiles where name='a' ), (select 2)", {use, pass}},
        {"insert into t (a) select a from u select 1", {pass, pass}},
        {"insert into t values (1) select 1", {pass, pass}},
        {"update t set a = 1 set nocount on", {pass, set}},
        {"select 1 union all select 2", {pass}},
        {"with c(x) as (select 1) select x from c select 2", {pass, pass}},
        {"create table t (a int references u on delete cascade) delete from t", {pass, pass}},
        {"select 1; select 2;;", {pass, pass}},
        {"select 'use x' -- use y\n/* select /* nested */ z */ select 2", {pass, pass}},
        {"use Zelto\r\ninsert into t default values\r\nuse Zelto\r\nselect 1", {use, pass, use, pass}},
        {"create table t ([use] int, \"create\" int) use Zelto", {pass, use}},
        {"update t set a = 1 where b in (select c from u) use Zelto", {pass, use}},
    };
    for (const Case& c : cases) {
        ParsedBatch b = parseBatch(c.sql);
        ASSERT_FALSE(b.error) << c.sql;
        std::vector<size_t> kinds;
        for (const auto& s : b.statements) kinds.push_back(s.statement.index());
        EXPECT_EQ(kinds, c.kinds) << c.sql;
    }
}

TEST(Statements, RecognisesTheDatabaseStatementsAsTheClientWritesThem) {
    ParsedBatch attach = parseBatch("EXEC sp_attach_db @dbname = 'Zelto',@filename1 = 'C:\\Data\\Zelto.mdf'");
    EXPECT_EQ(only<AttachDb>(attach).database, "Zelto");
    EXPECT_EQ(only<AttachDb>(attach).files, std::vector<std::string>{"C:\\Data\\Zelto.mdf"});
    EXPECT_EQ(only<DetachDb>(parseBatch("exec sp_detach_db 'Zel''to'")).database, "Zel'to");
    EXPECT_EQ(only<DetachDb>(parseBatch("exec master.dbo.sp_detach_db @dbname = N'Zelto'")).database, "Zelto");

    const ParsedBatch createBatch = parseBatch("create database New on (name=New_data,filename='C:\\D\\New_data.mdf')");
    const auto& create = only<CreateDatabase>(createBatch);
    EXPECT_EQ(create.database, "New");
    ASSERT_EQ(create.data.size(), 1u);
    EXPECT_EQ(create.data[0].logicalName, "New_data");
    EXPECT_EQ(create.data[0].fileName, "C:\\D\\New_data.mdf");
    EXPECT_TRUE(create.log.empty());

    const ParsedBatch backupBatch = parseBatch("backup database Zelto to disk='C:\\B\\a''s.bak'");
    const auto& backup = only<BackupDatabase>(backupBatch);
    EXPECT_EQ(backup.device, "C:\\B\\a's.bak");
    EXPECT_FALSE(backup.init);

    const ParsedBatch listBatch =
        parseBatch("RESTORE FILELISTONLY FROM  DISK = N'C:\\B\\z.bak' WITH  FILE = 1 ,  NOUNLOAD");
    const auto& list = only<RestoreHeader>(listBatch);
    EXPECT_EQ(list.what, RestoreHeader::FileList);
    EXPECT_EQ(list.fileNumber, 1);

    const ParsedBatch restoreBatch = parseBatch(
        "RESTORE DATABASE Zelto FROM  DISK = N'C:\\B\\z.bak' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  "
        "REPLACE, "
        " move 'zelto_Data'  to 'C:\\D\\z.mdf', move 'zelto_Log'  to 'C:\\D\\z.ldf', move 'FileRepository_Data' to ''");
    const auto& restore = only<RestoreDatabase>(restoreBatch);
    EXPECT_EQ(restore.database, "Zelto");
    EXPECT_TRUE(restore.replace);
    EXPECT_EQ(restore.stats, 10);
    ASSERT_EQ(restore.moves.size(), 3u);
    EXPECT_EQ(restore.moves[1].logicalName, "zelto_Log");
    EXPECT_EQ(restore.moves[2].path, "");
}

TEST(Statements, RewritesPassThroughIntoSqlitesDialect) {
    const ParsedBatch top = parseBatch("select top 3 N'x', @@version from dbo.ApplicationInfo");
    const auto& p = only<PassThrough>(top);
    EXPECT_EQ(p.sql, "select  'x', zz_version() from ApplicationInfo LIMIT 3");
    EXPECT_EQ(p.kind, StatementKind::Select);
    EXPECT_EQ(only<PassThrough>(parseBatch("select * from master..sysdatabases")).sql, "select * from sysdatabases");
}

TEST(Statements, MalformedRecognisedStatementsAreSyntaxErrors) {
    struct Case {
        const char* sql;
        const char* near;
    };
    const Case cases[] = {
        {"use", "use"},
        {"use Zelto GO", "GO"},
        {"backup database Zelto to disk=", "="},
        {"restore database Zelto from disk='x' with move 'a' 'b'", "b"},
        {"create database X on (name=X_data)", ")"},
        {"select 1\nuse a b", "b"},
    };
    for (const Case& c : cases) {
        ParsedBatch b = parseBatch(c.sql);
        ASSERT_TRUE(b.error) << c.sql;
        EXPECT_TRUE(b.statements.empty());
        EXPECT_EQ(b.error->messages[0].text, std::string("Incorrect syntax near '") + c.near + "'.") << c.sql;
    }
    EXPECT_EQ(parseBatch("select 1\nuse a b").error->messages[0].line, 2);
    EXPECT_EQ(parseBatch("/* open").error->messages[0].number, 113);
}

// A keyword that only starts statements, met inside a statement, makes the batch fail with 156 near it; so does a
// reserved keyword where the statement has no place for it. Nothing of the batch is kept.
TEST(Statements, ReservedKeywordsWhereTheyCannotStandAreSyntaxErrors) {
    struct Case {
        const char* sql;
        int number;
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"use Zelto\r\ncreate table T1 (a int,\r\nuse Zelto\r\nb int)\r\n", 156,
         "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\ninsert into ApplicationInfo (Id,\r\nuse Zelto\r\nValue) values (1, 'x')", 156,
         "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\nselect Id,\r\nuse Zelto\r\nValue from ApplicationInfo", 156,
         "Incorrect syntax near the keyword 'use'.", 3},
        {"select * from t where a =\nUse Zelto", 156, "Incorrect syntax near the keyword 'Use'.", 2},
        {"select * from t where a in (1,\ndrop table t)", 156, "Incorrect syntax near the keyword 'drop'.", 2},
        {"insert into t values (1, (\nexec sp_x))", 156, "Incorrect syntax near the keyword 'exec'.", 2},
        {"select Id from ApplicationInfo a left\nuse Zelto\njoin ApplicationInfo b on 1 = 1", 156,
         "Incorrect syntax near the keyword 'use'.", 2},
        {"backup database Zelto to\nuse Zelto", 156, "Incorrect syntax near the keyword 'use'.", 2},
        {"use Zelto from t", 156, "Incorrect syntax near the keyword 'from'.", 1},
        {"use Zelto\r\nGO\r\n", 102, "Incorrect syntax near 'GO'.", 2},
        {"use Zelto 'use'", 102, "Incorrect syntax near 'use'.", 1},
    };
    for (const Case& c : cases) {
        ParsedBatch b = parseBatch(c.sql);
        ASSERT_TRUE(b.error) << c.sql;
        EXPECT_TRUE(b.statements.empty()) << c.sql;
        ASSERT_EQ(b.error->messages.size(), 1u) << c.sql;
        EXPECT_EQ(b.error->messages[0].number, c.number) << c.sql;
        EXPECT_EQ(b.error->messages[0].severity, 15) << c.sql;
        EXPECT_EQ(b.error->messages[0].text, c.text) << c.sql;
        EXPECT_EQ(b.error->messages[0].line, c.line) << c.sql;
    }
    EXPECT_TRUE(isReservedKeyword("WHERE"));
    EXPECT_FALSE(isReservedKeyword("Zelto"));
}

TEST(Statements, ParameterDeclarationsOfPreparedStatements) {
    EXPECT_EQ(tds::declaredNames("@P1 INT,@P2 NVARCHAR(20)"), (std::vector<std::string>{"@P1", "@P2"}));
    EXPECT_EQ(tds::declaredNames(" @a decimal(10, 2) , @b int output"), (std::vector<std::string>{"@a", "@b"}));
    EXPECT_TRUE(tds::declaredNames("").empty());
}

}  // namespace
}  // namespace standin::sql
