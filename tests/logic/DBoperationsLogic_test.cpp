#include <gtest/gtest.h>

#include "logic/DBoperationsStatements.h"
#include "logic/FormatSettings.h"

namespace {

TEST(DBoperationsStatements, TextsAsTheServerGetsThem) {
    EXPECT_EQ(zz::AttachStatement(L"Zelto", L"C:\\Data\\Zelto.mdf"),
              L"EXEC sp_attach_db @dbname = 'Zelto',@filename1 = 'C:\\Data\\Zelto.mdf'");
    EXPECT_EQ(zz::AttachStatement(L"O'Brien", L"C:\\It's\\a.mdf"),
              L"EXEC sp_attach_db @dbname = 'O''Brien',@filename1 = 'C:\\It''s\\a.mdf'");
    EXPECT_EQ(zz::DetachStatement(L"Zelto"), L"exec sp_detach_db 'Zelto'");
    EXPECT_EQ(zz::CreateStatement(L"New", L"C:\\Data\\New"),
              L"create database New on (name=New_data,filename='C:\\Data\\New_data.mdf')");
    EXPECT_EQ(zz::CreateStatement(L"New", L"C:\\Data\\New.mdf"),
              L"create database New on (name=New_data,filename='C:\\Data\\New.mdf_data.mdf')");
}

TEST(DBoperationsStatements, EveryLineOfAScriptFollowsAUseLine) {
    struct Case {
        const char* file;
        const wchar_t* batch;
    } cases[] = {
        {"select 1\r\nselect 2\r\nselect 3\r\n",
         L"use Zelto\r\nselect 1\r\nuse Zelto\r\nselect 2\r\nuse Zelto\r\nselect 3\r\n"},
        {"a\nb\rc", L"use Zelto\r\na\r\nuse Zelto\r\nb\r\nuse Zelto\r\nc\r\n"},
        {"a\n\nGO\n", L"use Zelto\r\na\r\nuse Zelto\r\n\r\nuse Zelto\r\nGO\r\n"},
        {"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(zz::ScriptBatch(c.file, L"Zelto"), c.batch);
    }
}

TEST(DBoperationsStatements, AutoBackupName) {
    EXPECT_EQ(zz::AutoBackupName(L"C:\\Backups\\", L"1394-10-29", L"14-05-09"),
              L"C:\\Backups\\Auto1394-10-29-14-05-09.bak");
}

TEST(FormatLongTime, FollowsThePictureWithTheProgramsSeparator) {
    zz::TFormatSettings s;
    s.TimeSeparator = L'-';
    s.TimeAMString = L"ق.ظ";
    s.TimePMString = L"ب.ظ";
    const zz::TGregorianDateTime afternoon{2016, 1, 19, 14, 5, 9, 0};
    const zz::TGregorianDateTime morning{2016, 1, 19, 7, 0, 3, 0};
    struct Case {
        const wchar_t* picture;
        zz::TGregorianDateTime time;
        const wchar_t* text;
    } cases[] = {
        {L"HH:mm:ss", afternoon, L"14-05-09"},
        {L"H:mm:ss", morning, L"7-00-03"},
        {L"HH:mm:ss", morning, L"07-00-03"},
        {L"h:mm:ss tt", afternoon, L"2-05-09 ب.ظ"},
        {L"hh:mm:ss tt", morning, L"07-00-03 ق.ظ"},
        {L"tt h:mm:ss", afternoon, L"ب.ظ 2-05-09"},
        {L"H.m.s", morning, L"7-00-03"},
        {L"HH'h'mm", afternoon, L"14h05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.picture)));
        s.LongTimeFormat = c.picture;
        EXPECT_EQ(zz::FormatLongTime(c.time, s), c.text);
    }
}

}  // namespace
