#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace standin::testing {
namespace {

using ::testing::ElementsAre;

// The path query the restore of the first layout sends, literally.
std::string pathQuery(const std::string& db) {
    return "Use " + db + " select " +
           " (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Data' )," +
           " (select cast(fileName as varchar(260)) from sysfiles where name='zelto_Log' )," +
           " (select cast(fileName as varchar(260)) from sysfiles where name='FileRepository_Data' )";
}

// A value of an nchar(width) column: blank-padded to the width.
std::string padded(const std::string& s, size_t width) {
    return s + std::string(width - s.size(), ' ');
}

// What the toolbox makes of a value it reads: trailing blanks trimmed.
std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

std::string restoreTwoFiles(const std::string& db, const std::string& bak, const std::string& data,
                            const std::string& log) {
    return "RESTORE DATABASE " + db + " FROM  DISK = N" + quoted(bak) +
           " WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE, " + " move 'zelto_Data' to " +
           quoted(data) + "," + " move 'zelto_log'  to " + quoted(log);
}

TEST_F(EngineTest, CreateDatabasePutsTheLogBesideTheDataFileAndSysfilesAnswersThePathQuery) {
    RecordingSink c = run("create database New on (name=New_data,filename='" + path("New_data.mdf") + "')");
    ASSERT_TRUE(c.errorNumbers().empty());
    EXPECT_TRUE(files::exists(path("New_data.mdf")));
    EXPECT_TRUE(files::exists(path("New_log.ldf")));

    makeZelto();
    RecordingSink q = run(pathQuery("Zelto"));
    ASSERT_EQ(q.results.size(), 1u);
    EXPECT_THAT(q.results[0].rows[0],
                ElementsAre(padded(path("Zelto.mdf"), 260), padded(path("Zelto_log.ldf"), 260), "NULL"));
    EXPECT_THAT(q.databases, ElementsAre("Zelto"));
    EXPECT_EQ(session().database(), "Zelto");
}

TEST_F(EngineTest, BatchesGiveSeveralResultSetsMessagesAndRowCounts) {
    RecordingSink r =
        run("create table t (a int, b nvarchar(10))\n"
            "insert into t values (1, N'یک'), (2, NULL)\n"
            "select a, b from t order by a\n"
            "print 'between'\n"
            "select count(*) from t; update t set a = a + 10 where a = 1");
    EXPECT_TRUE(r.errorNumbers().empty());
    ASSERT_EQ(r.results.size(), 2u);
    EXPECT_THAT(r.results[0].columns, ElementsAre("a", "b"));
    EXPECT_THAT(r.results[0].rows[0], ElementsAre("1", "یک"));
    EXPECT_THAT(r.results[0].rows[1], ElementsAre("2", "NULL"));
    EXPECT_THAT(r.results[1].columns, ElementsAre(""));  // a computed column has no name
    EXPECT_EQ(r.text(0), "between");
    // create: no count; insert 2; select 2; print: none; select 1; update 1.
    EXPECT_THAT(r.counts, ElementsAre(-1, 2, 2, -1, 1, 1));
}

TEST_F(EngineTest, ASyntaxErrorAnywhereRunsNothing) {
    RecordingSink r = run("create table t (a int)\nuse master\nGO\n");
    EXPECT_THAT(r.errorNumbers(), ElementsAre(102));
    EXPECT_EQ(r.text(102), "Incorrect syntax near 'GO'.");
    EXPECT_EQ(r.messages[0].line, 3);
    RecordingSink check = run("select * from t");
    EXPECT_THAT(check.errorNumbers(), ElementsAre(208));
    EXPECT_EQ(check.text(208), "Invalid object name 't'.");

    RecordingSink unclosed = run("select 'abc");
    EXPECT_THAT(unclosed.errorNumbers(), ElementsAre(105, 102));
}

// sysfiles.name is nchar(128) and sysfiles.filename nchar(260): read back blank-padded, compared without the
// blanks and without regard to case.
TEST_F(EngineTest, SysfilesNamesAndPathsAreBlankPaddedNchar) {
    makeZelto();
    RecordingSink r =
        run("use Zelto select name, filename, cast(filename as varchar(260)) from sysfiles order by fileid");
    ASSERT_TRUE(r.errorNumbers().empty());
    ASSERT_EQ(r.results.size(), 1u);
    EXPECT_THAT(r.results[0].rows, ElementsAre(ElementsAre(padded("zelto_Data", 128), padded(path("Zelto.mdf"), 260),
                                                           padded(path("Zelto.mdf"), 260)),
                                               ElementsAre(padded("zelto_Log", 128), padded(path("Zelto_log.ldf"), 260),
                                                           padded(path("Zelto_log.ldf"), 260))));
    struct Case {
        std::string where;
        std::vector<std::string> fileids;
    };
    const std::vector<Case> cases = {
        {"name = 'zelto_Data'", {"1"}},     {"name = 'ZELTO_LOG   '", {"2"}},
        {"name = N'zelto_Dat'", {}},        {"name in ('zelto_data', 'nothing')", {"1"}},
        {"name like 'zelto%'", {"1", "2"}}, {"filename = '" + path("zelto.MDF") + "'", {"1"}},
        {"len(name) = 9", {"2"}},
    };
    for (const Case& c : cases) {
        RecordingSink q = run("select fileid from sysfiles where " + c.where + " order by fileid");
        ASSERT_TRUE(q.errorNumbers().empty()) << c.where;
        std::vector<std::string> ids;
        for (const auto& row : q.results.at(0).rows) ids.push_back(row.at(0));
        EXPECT_EQ(ids, c.fileids) << c.where;
    }
    // sysdatabases.name is sysname, nvarchar(128): not padded.
    RecordingSink d = run("select name from sysdatabases where name = 'Zelto'");
    ASSERT_EQ(d.results.size(), 1u);
    EXPECT_THAT(d.results[0].rows, ElementsAre(ElementsAre("Zelto")));
}

// Text compares as with the server's default collation: trailing blanks and case do not count, in the system
// tables and in the text columns of a user's table alike.
TEST_F(EngineTest, TextComparesWithoutTrailingBlanksOrCase) {
    makeZelto();
    RecordingSink made = run(
        "use Zelto create table Info (Name nvarchar(20), Code char(5) not null, Note text, Id int)\r\n"
        "insert into Info values (N'Version', 'AB', 'x', 1)\r\ninsert into Info values (N'Other', 'CD ', 'y', 2)");
    ASSERT_TRUE(made.errorNumbers().empty()) << made.text(made.errorNumbers().empty() ? 0 : made.errorNumbers()[0]);
    struct Case {
        std::string query;
        std::vector<std::string> values;
    };
    const std::vector<Case> cases = {
        {"select name from sysdatabases where name = 'ZELTO '", {"Zelto"}},
        {"select name from sysdatabases where name = 'Zelt'", {}},
        {"select Id from Info where Name = N'version   '", {"1"}},
        {"select Id from Info where Name = 'Versio'", {}},
        {"select Id from Info where Code = 'cd'", {"2"}},
        {"select Id from Info where Note = 'X  '", {"1"}},
        {"select Id from Info where Name like 'Ver%'", {"1"}},
        {"select Id from Info where Name in ('other ', 'none') order by Id", {"2"}},
        {"select Id from Info where Name > 'P' order by Id", {"1"}},
    };
    for (const Case& c : cases) {
        RecordingSink q = run("use Zelto " + c.query);
        ASSERT_TRUE(q.errorNumbers().empty()) << c.query << ": " << (q.messages.empty() ? "" : q.messages[0].text);
        std::vector<std::string> values;
        for (const auto& row : q.results.at(0).rows) values.push_back(row.at(0));
        EXPECT_EQ(values, c.values) << c.query;
    }
}

// A script runs as one batch with "use <db>" before every line, so a statement spread over several lines has
// "use" lines inside it: SQL Server rejects the whole batch with 156 and runs none of it.
TEST_F(EngineTest, AReservedKeywordInsideAStatementRejectsTheWholeBatch) {
    makeZelto();
    struct Case {
        std::string sql;
        std::string text;
        int line;
    };
    const std::vector<Case> cases = {
        {"use Zelto\r\ncreate table T1 (a int,\r\nuse Zelto\r\nb int)\r\n", "Incorrect syntax near the keyword 'use'.",
         3},
        {"use Zelto\r\ninsert into ApplicationInfo (Id,\r\nuse Zelto\r\nValue) values (1, 'x')\r\n",
         "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\nselect Id,\r\nuse Zelto\r\nValue from ApplicationInfo\r\n",
         "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\ndelete from ApplicationInfo where\r\nuse Zelto\r\nId = 1\r\n",
         "Incorrect syntax near the keyword 'use'.", 3},
        {"USE Zelto\r\nupdate ApplicationInfo set Value = 'y' where Id in (1,\r\nUSE Zelto\r\n2)\r\n",
         "Incorrect syntax near the keyword 'USE'.", 3},
        {"use Zelto\r\ndelete from ApplicationInfo where Id = 1 or not\r\nuse Zelto\r\nId = 2\r\n",
         "Incorrect syntax near the keyword 'use'.", 3},
        // cut short where only SQLite can tell: the next line's keyword is the one that cannot stand
        {"use Zelto\r\nselect Id as\r\nuse Zelto\r\nx from ApplicationInfo\r\n",
         "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\nselect Id as\r\nuse Zelto\r\n", "Incorrect syntax near the keyword 'use'.", 3},
        {"use Zelto\r\ninsert into ApplicationInfo values (9, 'z')\r\nuse Zelto where Id = 1\r\n",
         "Incorrect syntax near the keyword 'where'.", 3},
        {"use Zelto\r\ninsert into ApplicationInfo values (9, 'z')\r\nselect * from where\r\n",
         "Incorrect syntax near the keyword 'where'.", 3},
    };
    for (const Case& c : cases) {
        RecordingSink r = run(c.sql);
        EXPECT_THAT(r.errorNumbers(), ElementsAre(156)) << c.sql;
        ASSERT_FALSE(r.messages.empty()) << c.sql;
        EXPECT_EQ(r.messages[0].text, c.text) << c.sql;
        EXPECT_EQ(r.messages[0].severity, 15) << c.sql;
        EXPECT_EQ(r.messages[0].line, c.line) << c.sql;
        EXPECT_TRUE(r.results.empty()) << c.sql;
        // Not even the leading "use" ran.
        EXPECT_EQ(session().database(), "master") << c.sql;
    }
    RecordingSink rows = run("use Zelto select Id, Value from ApplicationInfo order by Id");
    ASSERT_EQ(rows.results.size(), 1u);
    EXPECT_THAT(rows.results[0].rows,
                ElementsAre(ElementsAre("1", "3.2.1"), ElementsAre("2", "1402-01-01"), ElementsAre("3", "1402-02-02")));
    EXPECT_THAT(run("select * from T1").errorNumbers(), ElementsAre(208));

    // The same statements on one line each, or with the keyword quoted as a name, run.
    RecordingSink ok =
        run("use Zelto\r\ncreate table T1 (a int, [use] int, \"where\" int)\r\nuse Zelto\r\n"
            "insert into T1 ([use], a) values (2, 1)\r\nuse Zelto\r\ninsert into T1 default values\r\nuse Zelto\r\n"
            "select a, [use] from T1 where [use] = 2\r\n");
    EXPECT_TRUE(ok.errorNumbers().empty()) << (ok.messages.empty() ? "" : ok.messages[0].text);
    ASSERT_EQ(ok.results.size(), 1u);
    EXPECT_THAT(ok.results[0].rows, ElementsAre(ElementsAre("1", "2")));
}

TEST_F(EngineTest, ScriptBatchesWithAUseBeforeEveryLineRunInTheNamedDatabase) {
    makeZelto();
    RecordingSink r =
        run("use Zelto\ninsert into ApplicationInfo values (4, 'x')\nuse Zelto\ndelete from ApplicationInfo where Id = "
            "1\n");
    EXPECT_TRUE(r.errorNumbers().empty());
    EXPECT_THAT(r.counts, ElementsAre(-1, 1, -1, 1));
    RecordingSink q = run("select Value from ApplicationInfo");
    EXPECT_EQ(q.results[0].rows.size(), 3u);
}

// The errors the toolbox's users meet, each with SQL Server's number and text.
TEST_F(EngineTest, StatementErrorsCarrySqlServerNumbersAndTexts) {
    makeZelto();
    ASSERT_TRUE(files::makeDirectories(path("junk")));
    {
        Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'c', 'k', 'u', 'p'};
        ASSERT_TRUE(files::writeAtomically(path("junk.bak"), junk));
        ASSERT_TRUE(run("backup database Zelto to disk='" + path("whole.bak") + "'").errorNumbers().empty());
        Bytes whole = *files::read(path("whole.bak"));
        whole.resize(whole.size() - 100);
        ASSERT_TRUE(files::writeAtomically(path("cut.bak"), whole));
    }
    struct Case {
        std::string sql;
        std::vector<int> errors;
        std::string firstText;
    };
    const std::vector<Case> cases = {
        {"use Nowhere", {911}, "Database 'Nowhere' does not exist. Make sure that the name is entered correctly."},
        {"create database zelto", {1801}, "Database 'zelto' already exists. Choose a different database name."},
        {"create database B on (name=B_data,filename='" + path("Zelto.mdf") + "')",
         {5170, 1802},
         "Cannot create file '" + path("Zelto.mdf") +
             "' because it already exists. Change the file path or the file name, and retry the operation."},
        {"create database B on (name=B_data,filename='" + path("missing\\B.mdf") + "')", {5123, 1802}, ""},
        {"exec sp_detach_db 'Nowhere'",
         {15010},
         "The database 'Nowhere' does not exist. Supply a valid database name. To see available databases, use "
         "sys.databases."},
        {"EXEC sp_attach_db @dbname = 'A',@filename1 = '" + path("none.mdf") + "'",
         {5120},
         "Unable to open the physical file \"" + path("none.mdf") +
             "\". Operating system error 2: \"2(The system cannot find the file specified.)\"."},
        {"EXEC sp_attach_db @dbname = 'Zelto',@filename1 = '" + path("Zelto.mdf") + "'", {1801}, ""},
        {"backup database Nowhere to disk='" + path("n.bak") + "'", {911, 3013}, ""},
        {"backup database Zelto to disk='" + path("missing\\z.bak") + "'",
         {3201, 3013},
         "Cannot open backup device '" + path("missing\\z.bak") +
             "'. Operating system error 3(The system cannot find the path specified.)."},
        {"RESTORE FILELISTONLY FROM  DISK = N'" + path("none.bak") + "' WITH  FILE = 1 ,  NOUNLOAD", {3201, 3013}, ""},
        {"RESTORE FILELISTONLY FROM  DISK = N'" + path("junk.bak") + "' WITH  FILE = 1 ,  NOUNLOAD",
         {3241, 3013},
         "The media family on device '" + path("junk.bak") +
             "' is incorrectly formed. SQL Server cannot process this media family."},
        {"RESTORE DATABASE Zelto FROM  DISK = N'" + path("junk.bak") + "' WITH REPLACE", {3241, 3013}, ""},
        {"RESTORE DATABASE Zelto FROM  DISK = N'" + path("cut.bak") + "' WITH REPLACE", {3241, 3013}, ""},
        {"backup database Zelto to disk='" + path("junk.bak") + "'", {3241, 3013}, ""},
        {"drop table nosuchtable",
         {3701},
         "Cannot drop the table 'nosuchtable', because it does not exist or you do not have permission."},
        {"exec sp_nothing 1", {2812}, "Could not find stored procedure 'sp_nothing'."},
        {"select (", {102}, ""},
    };
    for (const Case& c : cases) {
        RecordingSink r = run(c.sql);
        EXPECT_EQ(r.errorNumbers(), c.errors) << c.sql;
        if (!c.firstText.empty() && !r.messages.empty()) {
            EXPECT_EQ(r.messages[0].text, c.firstText) << c.sql;
        }
        EXPECT_TRUE(r.failures.empty() || r.failures.back()) << c.sql;
    }
    EXPECT_EQ(session().database(), "master");
}

TEST_F(EngineTest, UseOfAMissingDatabaseStopsTheBatch) {
    RecordingSink r = run("use Nowhere\nselect 1");
    EXPECT_THAT(r.errorNumbers(), ElementsAre(911));
    EXPECT_TRUE(r.results.empty());
}

TEST_F(EngineTest, BackupRestoredIntoAnotherDatabaseWithMoveKeepsTheRows) {
    makeZelto();
    const std::string bak = path("z.bak");
    RecordingSink b = run("backup database Zelto to disk='" + bak + "'");
    ASSERT_TRUE(b.errorNumbers().empty());
    EXPECT_THAT(b.messageNumbers(), ElementsAre(4035, 4035, 3014));

    RecordingSink list = run("RESTORE FILELISTONLY FROM  DISK = N'" + bak + "' WITH  FILE = 1 ,  NOUNLOAD");
    ASSERT_EQ(list.results.size(), 1u);
    EXPECT_EQ(list.results[0].columns[0], "LogicalName");
    EXPECT_EQ(list.results[0].columns.size(), 21u);
    EXPECT_EQ(list.counts.back(), 2);

    makeZelto("Copy");
    RecordingSink paths = run(pathQuery("Copy") + "\n use master ");
    ASSERT_EQ(paths.results.size(), 1u);
    const auto& p = paths.results[0].rows[0];
    RecordingSink r = run(restoreTwoFiles("Copy", bak, trimmed(p[0]), trimmed(p[1])));
    ASSERT_TRUE(r.errorNumbers().empty()) << r.messages[0].text;
    std::vector<int> expected(10, 3211);
    expected.insert(expected.end(), {4035, 4035, 3014});
    EXPECT_EQ(r.messageNumbers(), expected);
    EXPECT_EQ(r.text(3211), "10 percent processed.");

    run("use Zelto\nupdate ApplicationInfo set Value = 'changed'\nuse master");
    RecordingSink rows = run("use Copy\nselect Value from ApplicationInfo");
    ASSERT_EQ(rows.results.size(), 1u);
    EXPECT_EQ(rows.results[0].rows.size(), 3u);
    EXPECT_EQ(rows.results[0].rows[0][0], "3.2.1");
    // The restored database keeps its own files, under the backup's logical names.
    RecordingSink after = run(pathQuery("Copy"));
    EXPECT_THAT(after.results[0].rows[0],
                ElementsAre(padded(path("Copy.mdf"), 260), padded(path("Copy_log.ldf"), 260), "NULL"));
}

TEST_F(EngineTest, BackupOntoAnExistingFileAddsASet) {
    makeZelto();
    const std::string bak = path("z.bak");
    run("backup database Zelto to disk='" + bak + "'");
    run("use Zelto\ndelete from ApplicationInfo\nuse master");
    RecordingSink second = run("backup database Zelto to disk='" + bak + "'");
    EXPECT_EQ(second.text(4035), "Processed 2 pages for database 'Zelto', file 'zelto_Data' on file 2.");
    RecordingSink head = run("restore headeronly from disk='" + bak + "'");
    EXPECT_EQ(head.results[0].rows.size(), 2u);

    RecordingSink r = run("restore database Zelto from disk='" + bak + "' with file = 1, replace");
    ASSERT_TRUE(r.errorNumbers().empty());
    EXPECT_EQ(run("use Zelto select count(*) from ApplicationInfo").results[0].rows[0][0], "3");
    run("use master");
    run("restore database Zelto from disk='" + bak + "' with file = 2, replace");
    EXPECT_EQ(run("use Zelto select count(*) from ApplicationInfo").results[0].rows[0][0], "0");
    EXPECT_THAT(run("use master restore filelistonly from disk='" + bak + "' with file = 3").errorNumbers(),
                ElementsAre(4038, 3013));
}

TEST_F(EngineTest, RestoreAndDetachNeedTheDatabaseFree) {
    makeZelto();
    const std::string bak = path("z.bak");
    run("backup database Zelto to disk='" + bak + "'");
    run("use Zelto", 1);  // another connection is in the database
    RecordingSink busy = run(restoreTwoFiles("Zelto", bak, path("Zelto.mdf"), path("Zelto_log.ldf")));
    EXPECT_THAT(busy.errorNumbers(), ElementsAre(3101, 3013));
    EXPECT_EQ(busy.text(3101), "Exclusive access could not be obtained because the database is in use.");
    EXPECT_THAT(run("exec sp_detach_db 'Zelto'").errorNumbers(), ElementsAre(3703));

    run("use master", 1);
    run("use Zelto");
    RecordingSink self = run(restoreTwoFiles("Zelto", bak, path("Zelto.mdf"), path("Zelto_log.ldf")));
    EXPECT_THAT(self.errorNumbers(), ElementsAre(3102, 3013));
    run(" use master ");
    EXPECT_TRUE(run(restoreTwoFiles("Zelto", bak, path("Zelto.mdf"), path("Zelto_log.ldf"))).errorNumbers().empty());
}

TEST_F(EngineTest, RestoreRejectsUnknownAndEmptyMoveTargets) {
    makeZelto();
    const std::string bak = path("z.bak");
    run("backup database Zelto to disk='" + bak + "'");
    RecordingSink unknown = run("RESTORE DATABASE Zelto FROM DISK = N'" + bak + "' WITH REPLACE, move 'ZeltoAcc' to '" +
                                path("x.mdf") + "'");
    EXPECT_THAT(unknown.errorNumbers(), ElementsAre(3234, 3013));
    EXPECT_EQ(unknown.text(3234),
              "Logical file 'ZeltoAcc' is not part of database 'Zelto'. Use RESTORE FILELISTONLY to list the logical "
              "file names.");
    RecordingSink empty = run(restoreTwoFiles("Zelto", bak, "", path("Zelto_log.ldf")));
    EXPECT_THAT(empty.errorNumbers(), ElementsAre(3156, 3119, 3013));
    // Nothing was touched: the database still answers.
    EXPECT_EQ(run("use Zelto select count(*) from ApplicationInfo").results[0].rows[0][0], "3");
}

TEST_F(EngineTest, ThreeFileBackupOverATwoFileDatabaseFailsOnTheEmptyThirdPath) {
    RecordingSink make = run("create database Repo on (name=zelto_Data, filename='" + path("Repo.mdf") +
                             "'), (name=FileRepository_Data, filename='" + path("Repo_files.ndf") +
                             "') log on (name=zelto_Log, filename='" + path("Repo_log.ldf") + "')");
    ASSERT_TRUE(make.errorNumbers().empty());
    makeZelto();
    const std::string bak = path("repo.bak");
    run("backup database Repo to disk='" + bak + "'");
    EXPECT_EQ(run("RESTORE FILELISTONLY FROM  DISK = N'" + bak + "' WITH  FILE = 1 ,  NOUNLOAD").counts.back(), 3);

    RecordingSink paths = run(pathQuery("Zelto") + " use master");
    const auto& p = paths.results[0].rows[0];
    ASSERT_EQ(p[2], "NULL");
    RecordingSink r = run("RESTORE DATABASE Zelto FROM  DISK = N'" + bak +
                          "' WITH  FILE = 1,  NOUNLOAD ,  STATS = 10,  RECOVERY ,  REPLACE,  move 'zelto_Data'  to " +
                          quoted(trimmed(p[0])) + ", move 'zelto_Log'  to " + quoted(trimmed(p[1])) +
                          ", move 'FileRepository_Data' to ''");
    EXPECT_THAT(r.errorNumbers(), ElementsAre(3156, 3119, 3013));
}

TEST_F(EngineTest, DetachLeavesTheFilesAndAttachOfTheDataFileAloneRebuildsAMissingLog) {
    makeZelto();
    ASSERT_TRUE(run("exec sp_detach_db 'Zelto'").errorNumbers().empty());
    EXPECT_TRUE(files::exists(path("Zelto.mdf")));
    EXPECT_TRUE(files::exists(path("Zelto_log.ldf")));
    EXPECT_THAT(run("use Zelto").errorNumbers(), ElementsAre(911));

    ASSERT_TRUE(files::remove(path("Zelto_log.ldf")));
    RecordingSink a = run("EXEC sp_attach_db @dbname = 'Again',@filename1 = '" + path("Zelto.mdf") + "'");
    ASSERT_TRUE(a.errorNumbers().empty()) << a.messages[0].text;
    EXPECT_TRUE(files::exists(path("Again_log.ldf")));
    RecordingSink q = run(pathQuery("Again"));
    EXPECT_THAT(q.results[0].rows[0],
                ElementsAre(padded(path("Zelto.mdf"), 260), padded(path("Again_log.ldf"), 260), "NULL"));
    EXPECT_EQ(run("select count(*) from ApplicationInfo").results[0].rows[0][0], "3");
}

TEST_F(EngineTest, TheCatalogueSurvivesARestart) {
    makeZelto();
    run("exec sp_detach_db 'master'");  // refused: a system database
    restart();
    RecordingSink r = run("select name from sysdatabases where name='Zelto'");
    ASSERT_EQ(r.results[0].rows.size(), 1u);
    EXPECT_EQ(run("use Zelto select Value from ApplicationInfo").results[0].rows.size(), 3u);
    EXPECT_EQ(run("select name from sysdatabases where name=" + quoted("nosuch")).results[0].rows.size(), 0u);
}

TEST_F(EngineTest, ACancelStopsTheBatchBetweenStatements) {
    RecordingSink sink;
    sink.cancelNow = true;
    session().runBatch("create table t (a int)", sink);
    EXPECT_TRUE(sink.counts.empty());
    EXPECT_THAT(run("select * from t").errorNumbers(), ElementsAre(208));
}

}  // namespace
}  // namespace standin::testing
