// The registry helper on the real registry, below a throw-away key of the current user.
#include <gtest/gtest.h>

#include "common/Error.h"
#include "platform/BaseClasses_UNT.h"
#include "tests/support/TempRegistryKey.h"

namespace {

class RegistryTest : public testing::Test {
protected:
    std::wstring Path(const std::wstring& relative) const { return temp.Path() + L"\\" + relative; }

    TempRegistryKey temp;
    TCustomRegistry registry;
};

TEST_F(RegistryTest, WriteCreatesMissingKeysAndReplacesValues) {
    registry.Write(HKEY_CURRENT_USER, Path(L"A\\B"), L"Name", L"first");
    DWORD type = 0;
    EXPECT_EQ(temp.Value(L"A\\B", L"Name", &type), L"first");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    registry.Write(HKEY_CURRENT_USER, Path(L"A\\B"), L"Name", L"");
    EXPECT_EQ(temp.Value(L"A\\B", L"Name"), L"");
    EXPECT_EQ(temp.ValueNames(L"A\\B").size(), 1u);

    registry.WriteDword(HKEY_CURRENT_USER, Path(L"C"), L"Count", -2);
    EXPECT_EQ(temp.Value(L"C", L"Count", &type), L"4294967294");
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(registry.ReadDWord(HKEY_CURRENT_USER, Path(L"C"), L"Count"), -2);
}

TEST_F(RegistryTest, ReadersGiveEmptyResultsAndCreateNothing) {
    temp.SetString(L"K", L"Text", L"value");
    registry.WriteDword(HKEY_CURRENT_USER, Path(L"K"), L"Number", 7);
    EXPECT_EQ(registry.Read(HKEY_CURRENT_USER, Path(L"K"), L"Text"), L"value");
    EXPECT_TRUE(registry.ValueExists(HKEY_CURRENT_USER, Path(L"K"), L"Text"));
    EXPECT_TRUE(registry.KeyExists(HKEY_CURRENT_USER, Path(L"K")));

    EXPECT_EQ(registry.Read(HKEY_CURRENT_USER, Path(L"K"), L"Number"), L"") << "not a string";
    EXPECT_EQ(registry.ReadDWord(HKEY_CURRENT_USER, Path(L"K"), L"Text"), 0) << "not a 32-bit value";
    EXPECT_EQ(registry.Read(HKEY_CURRENT_USER, Path(L"K"), L"Missing"), L"");
    EXPECT_FALSE(registry.ValueExists(HKEY_CURRENT_USER, Path(L"K"), L"Missing"));

    EXPECT_FALSE(registry.ValueExists(HKEY_CURRENT_USER, Path(L"Nowhere"), L"Text"));
    EXPECT_EQ(registry.Read(HKEY_CURRENT_USER, Path(L"Nowhere"), L"Text"), L"");
    EXPECT_EQ(registry.ReadDWord(HKEY_CURRENT_USER, Path(L"Nowhere"), L"Number"), 0);
    EXPECT_FALSE(registry.KeyExists(HKEY_CURRENT_USER, Path(L"Nowhere")));
    EXPECT_FALSE(temp.Exists(L"Nowhere"));
}

TEST_F(RegistryTest, DeleteCreatesAMissingKeyAndIgnoresAMissingValue) {
    temp.SetString(L"K", L"Flag", L"1");
    registry.Delete(HKEY_CURRENT_USER, Path(L"K"), L"Flag");
    EXPECT_FALSE(registry.ValueExists(HKEY_CURRENT_USER, Path(L"K"), L"Flag"));
    EXPECT_NO_THROW(registry.Delete(HKEY_CURRENT_USER, Path(L"K"), L"Flag"));

    registry.Delete(HKEY_CURRENT_USER, Path(L"New\\Key"), L"Flag");
    EXPECT_TRUE(temp.Exists(L"New\\Key"));
    EXPECT_TRUE(temp.ValueNames(L"New\\Key").empty());
}

// A key that can be neither opened nor created: writing reports it with the registry's own words, while Delete
// and the readers keep quiet.
TEST_F(RegistryTest, AKeyThatCannotBeCreatedFailsTheWritersOnly) {
    temp.CreateVolatile(L"Volatile");
    const std::wstring key = Path(L"Volatile\\Lasting");
    for (auto write : {+[](TCustomRegistry&r, const std::wstring&k) { r.Write(HKEY_CURRENT_USER, k, L"V", L"x"); },
                       +[](TCustomRegistry&r, const std::wstring&k) { r.WriteDword(HKEY_CURRENT_USER, k, L"V", 1); }}) {
        try {
            write(registry, key);
            ADD_FAILURE() << "no error";
        } catch (const zz::Error& e) {
            EXPECT_EQ(e.Code(), static_cast<unsigned long>(ERROR_CHILD_MUST_BE_VOLATILE));
            EXPECT_EQ(e.Message(), L"Failed to create key " + key + L". " + zz::SystemErrorText(e.Code()));
        }
    }
    EXPECT_NO_THROW(registry.Delete(HKEY_CURRENT_USER, key, L"V"));
    EXPECT_FALSE(registry.ValueExists(HKEY_CURRENT_USER, key, L"V"));
    EXPECT_EQ(registry.Read(HKEY_CURRENT_USER, key, L"V"), L"");
    EXPECT_FALSE(temp.Exists(L"Volatile\\Lasting"));
}

}  // namespace
