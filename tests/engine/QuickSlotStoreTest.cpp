#include <gmock/gmock.h>
#include <string>
#include "Framework/RegKey.h"
#include "Viewer/core/Hash64.h"
#include "Viewer/engine/QuickSlotStore.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"

namespace {

using testing::Optional;

const VolumeIdentity Photos{L"Photos", 0x1234ABCD};
const std::wstring Identity = GetFolderIdentityText(Photos, L"D:\\Pictures\\Trip");

std::optional<std::wstring> StoredValue(const std::wstring& name)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str()) != ERROR_SUCCESS) return std::nullopt;
    return key.QueryString(name.c_str());
}

void Store(const std::wstring& name, const std::wstring& data)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str()));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString(name.c_str(), data));
}

TEST(QuickSlotStore, NamesTheFolderValueByVolumeAndPath)
{
    EXPECT_EQ(L"photos|1234abcd|d:\\pictures\\trip", Identity);
    EXPECT_EQ(L"@AFC0FE45EF054E0F", QuickSlotValueName(Identity));
    EXPECT_EQ(L"#B5ECA123", OldQuickSlotValueName(Identity));
    // The same path on another volume is another folder.
    EXPECT_NE(QuickSlotValueName(Identity),
              QuickSlotValueName(GetFolderIdentityText({L"Photos", 0x1234ABCE}, L"D:\\Pictures\\Trip")));
}

TEST(QuickSlotStore, WritesTheTenHashesAndReadsThemBack)
{
    RegistrySandbox sandbox;
    const QuickSlotHashes hashes{0x1, 0, 0xABCDEF0123456789ull, 0, 0, 0, 0, 0, 0, 0xFFFFFFFFFFFFFFFFull};
    ASSERT_EQ(ERROR_SUCCESS, WriteQuickSlots(Identity, hashes));
    EXPECT_THAT(StoredValue(QuickSlotValueName(Identity)),
                Optional(std::wstring(L"1;0;abcdef0123456789;0;0;0;0;0;0;ffffffffffffffff")));
    const QuickSlotsRead read = ReadQuickSlots(Identity);
    EXPECT_EQ(hashes, read.hashes);
    EXPECT_EQ(3, read.count);
    EXPECT_EQ(0u, read.pendingMask);
    EXPECT_FALSE(read.converted);
}

TEST(QuickSlotStore, AllSlotsEmptyDeletesTheValue)
{
    RegistrySandbox sandbox;
    ASSERT_EQ(ERROR_SUCCESS, WriteQuickSlots(Identity, {7}));
    ASSERT_TRUE(StoredValue(QuickSlotValueName(Identity)));
    EXPECT_EQ(ERROR_SUCCESS, WriteQuickSlots(Identity, {}));
    EXPECT_FALSE(StoredValue(QuickSlotValueName(Identity)));
    EXPECT_FALSE(DeleteQuickSlots(Identity));
}

TEST(QuickSlotStore, TheOlderFormIsReadOnceDeletedAndMarkedForSaving)
{
    RegistrySandbox sandbox;
    Store(OldQuickSlotValueName(Identity), L"a1;;b2");
    const QuickSlotsRead read = ReadQuickSlots(Identity);
    EXPECT_EQ((QuickSlotHashes{0xA1, 0, 0xB2}), read.hashes);
    EXPECT_EQ(0b111u, read.pendingMask);
    EXPECT_EQ(2, read.count);
    EXPECT_TRUE(read.converted);
    EXPECT_FALSE(StoredValue(OldQuickSlotValueName(Identity)));
    EXPECT_FALSE(ReadQuickSlots(Identity).converted);

    // The caller saves the converted slots under the system's hash of each entry.
    ASSERT_EQ(ERROR_SUCCESS, WriteQuickSlots(Identity, {0xC3, 0, 0xD4}));
    EXPECT_THAT(StoredValue(QuickSlotValueName(Identity)), Optional(std::wstring(L"c3;0;d4;0;0;0;0;0;0;0")));
    EXPECT_EQ((QuickSlotHashes{0xC3, 0, 0xD4}), ReadQuickSlots(Identity).hashes);
}

TEST(QuickSlotStore, IgnoresValuesOfAnotherShape)
{
    RegistrySandbox sandbox;
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str()));
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(QuickSlotValueName(Identity).c_str(), 5));
    EXPECT_EQ(0, ReadQuickSlots(Identity).count);
    const wchar_t oddLength[] = L"5;6";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), QuickSlotValueName(Identity).c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(oddLength), sizeof(oddLength) - 1));
    EXPECT_EQ(0, ReadQuickSlots(Identity).count);
    // More than ten items: the first ten count.
    ASSERT_EQ(ERROR_SUCCESS, key.SetString(QuickSlotValueName(Identity).c_str(), L"1;2;3;4;5;6;7;8;9;a;b"));
    EXPECT_EQ((QuickSlotHashes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xA}), ReadQuickSlots(Identity).hashes);
}

TEST(QuickSlotStore, VolumeIdentityOfSharesLocalFoldersAndUnknownDrives)
{
    const VolumeIdentity share = GetVolumeIdentity(L"\\\\server\\share\\pictures");
    EXPECT_EQ(L"$netshare", share.identity);
    EXPECT_EQ(0u, share.serialNumber);
    EXPECT_EQ(L"$netshare|00000000|\\\\server\\share", GetFolderIdentityText(share, L"\\\\Server\\Share"));

    TempFolder folder;
    wchar_t label[MAX_PATH + 1]{};
    DWORD serial = 0;
    ASSERT_TRUE(GetVolumeInformationW(L"C:\\", label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr, 0));
    const VolumeIdentity local = GetVolumeIdentity(folder.Path().c_str());
    EXPECT_EQ(label, local.identity);
    EXPECT_EQ(serial, local.serialNumber);

    const DWORD drives = GetLogicalDrives();
    wchar_t unused[] = L"?:\\pictures";
    for (wchar_t letter = L'Y'; letter > L'D' && unused[0] == L'?'; --letter)
        if (!(drives & (1u << (letter - L'A')))) unused[0] = letter;
    const VolumeIdentity unknown = GetVolumeIdentity(unused);
    EXPECT_EQ(L"$localvolume", unknown.identity);
    EXPECT_EQ(0u, unknown.serialNumber);
}

}  // namespace
