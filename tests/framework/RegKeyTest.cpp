#include "Framework/RegKey.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>

TEST(RegKey, WritesAndReadsTypedValues)
{
    RegistrySandbox sandbox;
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"SOFTWARE\\Test"));
    EXPECT_EQ(0u, key.ValueCount());
    EXPECT_EQ(ERROR_SUCCESS, key.SetDword(L"Number", 42));
    EXPECT_EQ(ERROR_SUCCESS, key.SetString(L"Text", L"hello"));
    EXPECT_EQ(2u, key.ValueCount());

    RegKey reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, L"SOFTWARE\\Test"));
    EXPECT_EQ(42u, reader.QueryDword(L"Number").value_or(0));
    EXPECT_EQ(L"hello", reader.QueryString(L"Text").value_or(L""));
    EXPECT_EQ(L"hel", reader.QueryString(L"Text", 3).value_or(L""));
    // Missing values and values of another type read as absent.
    EXPECT_FALSE(reader.QueryDword(L"Missing"));
    EXPECT_FALSE(reader.QueryDword(L"Text"));
    EXPECT_FALSE(reader.QueryString(L"Number"));

    EXPECT_EQ(ERROR_SUCCESS, key.DeleteValue(L"Number"));
    EXPECT_FALSE(reader.QueryDword(L"Number"));
}

TEST(RegKey, ReadsAStringStoredWithoutTerminator)
{
    RegistrySandbox sandbox;
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"SOFTWARE\\Test"));
    const wchar_t raw[] = {L'a', L'b', L'c'};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), L"Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof(raw)));
    EXPECT_EQ(L"abc", key.QueryString(L"Raw").value_or(L""));
}

TEST(RegKey, OpeningAMissingKeyFailsAndHoldsNothing)
{
    RegistrySandbox sandbox;
    RegKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, L"SOFTWARE\\Nothing\\Here"));
    EXPECT_FALSE(key);
    EXPECT_EQ(0u, key.ValueCount());
    EXPECT_FALSE(key.QueryDword(L"x"));
}

TEST(RegistrySandbox, KeepsTestWritesOutOfTheRealUserKey)
{
    {
        RegistrySandbox sandbox;
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"SOFTWARE\\SandboxProbe"));
    }
    RegKey key;
    EXPECT_NE(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"SOFTWARE\\SandboxProbe"));
}
