#include "logic/ZipArchive.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "logic/ZipEntryPath.h"
#include "tests/support/TestSupport.h"

namespace zz {
namespace {

// Bit by bit, as the format defines it: the oracle for the packer's CRC.
std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// Ledger-like rows with a stretch of noise now and then, as a database backup holds them.
std::string LedgerBytes(std::size_t size, std::uint32_t seed = 1) {
    std::string out;
    std::uint32_t x = seed;
    auto next = [&] { return x = x * 1664525u + 1013904223u; };
    while (out.size() < size) {
        if (next() % 200 == 0) {
            for (int i = 0; i < 1000; ++i) out.push_back(static_cast<char>(next() >> 24));
        } else {
            out += "1403/0" + std::to_string(1 + next() % 9) + "/1" + std::to_string(next() % 10) + ";" +
                   std::to_string(next() % 100000) + ";" + std::to_string(next() % 99999999) +
                   ";فاکتور فروش;\n";
        }
    }
    out.resize(size);
    return out;
}

// Every file below root, as paths relative to it.
std::map<std::wstring, std::string> Files(const std::wstring& root, const std::wstring& prefix = L"") {
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((root + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[prefix + name + L"\\"] = "";
            files.merge(Files(root + L"\\" + name, prefix + name + L"\\"));
        } else {
            files[prefix + name] = ReadFileBytes(root + L"\\" + name);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return files;
}

std::wstring Fixture(const std::wstring& name) {
    return std::wstring(ZZ_ZIP_FIXTURES) + L"\\" + name;
}

TEST(ZipEntryPath, PutsPlainNamesInsideTheFolder) {
    const struct {
        std::wstring name, path;
    } cases[] = {
        {L"backup.bak", L"C:\\f\\backup.bak"},
        {L"docs/a.txt", L"C:\\f\\docs\\a.txt"},
        {L"docs\\a.txt", L"C:\\f\\docs\\a.txt"},
        {L"docs/", L"C:\\f\\docs"},
        {L"./docs//a..b.txt", L"C:\\f\\docs\\a..b.txt"},
        {L"گزارش.txt", L"C:\\f\\گزارش.txt"},
        {L"console.txt", L"C:\\f\\console.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(ZipEntryPath(L"C:\\f", c.name), c.path) << c.name;
}

TEST(ZipEntryPath, RefusesNamesThatLeaveTheFolderOrAreNoPlainFile) {
    for (const std::wstring name :
         {L"", L"/", L"./", L"../x", L"..", L"a/../../x", L"a\\..\\..\\x", L"a/../b", L"/etc/x", L"\\x",
          L"\\\\server\\share\\x", L"C:x", L"C:\\x", L"C:/x", L"a.txt:stream", L"a<b", L"a|b", L"a?", L"a*",
          L"a\x01", L"CON", L"nul.txt", L"docs/com1", L"LPT9.log", L"aux "}) {
        EXPECT_THROW(ZipEntryPath(L"C:\\f", name), Error) << name;
    }
}

TEST(ZipArchive, PacksVerifiesAndExtractsFilesOfEverySize) {
    // Empty, one byte, small, and several of the packer's blocks with an odd end; a Persian name is stored as UTF-8.
    const struct {
        std::size_t size;
        std::wstring name;
    } cases[] = {{0, L"Zelto.bak"},
                 {1, L"Zelto.bak"},
                 {70000, L"Auto1403-پشتيبان.bak"},
                 {(std::size_t{9} << 20) + 12345, L"Zelto.bak"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        TempDir dir;
        const std::string data = LedgerBytes(c.size, static_cast<std::uint32_t>(c.size));
        WriteFileBytes(dir.File(c.name), data);

        const ZipEntryInfo info = PackFile(dir.File(c.name), dir.File(L"Zelto.zip"), c.name);
        EXPECT_EQ(info.name, c.name);
        EXPECT_EQ(info.size, c.size);
        EXPECT_EQ(info.crc32, Crc32(data));

        const std::string zip = ReadFileBytes(dir.File(L"Zelto.zip"));
        const std::string utf8 = ToUtf8(c.name);
        ASSERT_GT(zip.size(), 30u);
        EXPECT_EQ(zip.substr(0, 4), std::string("PK\x03\x04"));
        EXPECT_EQ(zip[6] & 0x06, 0x02) << "flags: maximum compression";
        EXPECT_EQ((zip[7] & 0x08) != 0, utf8.size() != c.name.size()) << "flags: UTF-8 name";
        EXPECT_EQ(zip[8], 8) << "method: Deflate";
        EXPECT_EQ(zip.substr(30, utf8.size()), utf8);
        if (c.size > 70000) {
            EXPECT_LT(zip.size(), c.size / 2);
        }

        EXPECT_NO_THROW(VerifyArchive(dir.File(L"Zelto.zip"), info));
        CreateDirectoryW(dir.File(L"out").c_str(), nullptr);
        EXPECT_EQ(ExtractAll(dir.File(L"Zelto.zip"), dir.File(L"out")),
                  std::vector<std::wstring>{dir.File(L"out\\" + c.name)});
        EXPECT_TRUE(Files(dir.File(L"out")) == (std::map<std::wstring, std::string>{{c.name, data}}));
        EXPECT_EQ(ReadFileBytes(dir.File(c.name)), data) << "the source stays";
    }
}

TEST(ZipArchive, ExtractsWhatOtherToolsWrite) {
    const std::string alpha = "alpha\n", beta = [] {
        std::string b;
        for (int i = 0; i < 2000; ++i) b += "beta ";
        return b;
    }();
    const std::map<std::wstring, std::string> tree = {
        {L"docs\\", ""}, {L"docs\\a.txt", alpha}, {L"b.bin", beta}, {L"گزارش.txt", alpha}};
    const struct {
        std::wstring archive;
        std::map<std::wstring, std::string> files;
    } cases[] = {
        {L"stored.zip", tree},
        {L"deflated.zip", tree},
        {L"descriptor.zip", tree},
        {L"zip64.zip", tree},
        {L"empty-folder.zip", {{L"only\\", ""}, {L"only\\inner\\", ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        TempDir dir;
        const std::wstring out = dir.File(L"new folder");
        if (c.files.count(L"b.bin")) {  // a file of the same name is replaced
            CreateDirectoryW(out.c_str(), nullptr);
            WriteFileBytes(out + L"\\b.bin", "old");
        }
        ExtractAll(Fixture(c.archive), out);
        EXPECT_TRUE(Files(out) == c.files);
    }
}

TEST(ZipArchive, RefusesArchivesItCannotExtractSafelyBeforeWritingAnything) {
    std::vector<std::wstring> archives = {L"unsupported.zip", L"encrypted.zip", L"badcrc.zip"};
    for (int i = 0; i < 12; ++i) archives.push_back(L"unsafe" + std::to_wstring(i) + L".zip");
    for (const auto& archive : archives) {
        SCOPED_TRACE(archive);
        TempDir dir;
        const std::wstring out = dir.File(L"x");
        CreateDirectoryW(out.c_str(), nullptr);
        WriteFileBytes(out + L"\\good.txt", "kept");
        EXPECT_THROW(ExtractAll(Fixture(archive), out), Error);
        EXPECT_TRUE(Files(dir.Path()) == (std::map<std::wstring, std::string>{{L"x\\", ""}, {L"x\\good.txt", "kept"}}));
    }
}

TEST(ZipArchive, DamagedArchivesFailAndLeaveTheExistingFile) {
    TempDir dir;
    const std::string data = LedgerBytes(3u << 20);
    WriteFileBytes(dir.File(L"db.bak"), data);
    const ZipEntryInfo info = PackFile(dir.File(L"db.bak"), dir.File(L"db.zip"), L"db.bak");
    const std::string zip = ReadFileBytes(dir.File(L"db.zip"));

    std::string flipped = zip;
    for (std::size_t i = zip.size() / 2; i < zip.size() / 2 + 64; ++i) flipped[i] = static_cast<char>(~flipped[i]);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"cut in the middle", zip.substr(0, zip.size() / 2)},
        {"cut before its end record", zip.substr(0, zip.size() - 10)},
        {"data changed", flipped},
        {"not an archive", data.substr(0, 5000)},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir out;
        WriteFileBytes(out.File(L"damaged.zip"), c.bytes);
        WriteFileBytes(out.File(L"db.bak"), "the previous backup");
        EXPECT_THROW(VerifyArchive(out.File(L"damaged.zip"), info), Error);
        EXPECT_THROW(ExtractAll(out.File(L"damaged.zip"), out.Path()), Error);
        EXPECT_TRUE(Files(out.Path()) == (std::map<std::wstring, std::string>{
                                             {L"damaged.zip", c.bytes}, {L"db.bak", "the previous backup"}}));
    }
}

TEST(ZipArchive, VerifyArchiveWantsTheEntryThatWasPacked) {
    TempDir dir;
    WriteFileBytes(dir.File(L"db.bak"), LedgerBytes(100000));
    const ZipEntryInfo info = PackFile(dir.File(L"db.bak"), dir.File(L"db.zip"), L"db.bak");
    EXPECT_NO_THROW(VerifyArchive(dir.File(L"db.zip"), info));
    const ZipEntryInfo wrong[] = {
        {L"other.bak", info.size, info.crc32},
        {L"DB.bak", info.size, info.crc32},
        {L"db.bak", info.size + 1, info.crc32},
        {L"db.bak", info.size, info.crc32 ^ 1},
    };
    for (const auto& w : wrong) EXPECT_THROW(VerifyArchive(dir.File(L"db.zip"), w), Error) << w.name;
    EXPECT_THROW(VerifyArchive(dir.File(L"missing.zip"), info), Error);
}

TEST(ZipArchive, PackFileFailsWithoutTouchingWhatIsThere) {
    TempDir dir;
    WriteFileBytes(dir.File(L"db.bak"), LedgerBytes(100000));
    WriteFileBytes(dir.File(L"taken.zip"), "someone else's");
    EXPECT_THROW(PackFile(dir.File(L"db.bak"), dir.File(L"taken.zip"), L"db.bak"), Error);
    EXPECT_THROW(PackFile(dir.File(L"missing.bak"), dir.File(L"db.zip"), L"missing.bak"), Error);
    EXPECT_THROW(PackFile(dir.File(L"db.bak"), dir.File(L"no folder\\db.zip"), L"db.bak"), Error);
    EXPECT_THROW(PackFile(dir.File(L"db.bak"), dir.File(L"db.zip"), L""), Error);
    const auto files = Files(dir.Path());
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(files.at(L"taken.zip"), "someone else's");
    EXPECT_EQ(files.at(L"db.bak"), LedgerBytes(100000));
}

}  // namespace
}  // namespace zz
