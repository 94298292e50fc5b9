#include <gmock/gmock.h>
#include <windows.h>
#include <map>
#include <string>
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "tests/support/ColorDirectoryEntries.h"
#include "tests/support/RegistrySandbox.h"

namespace {

using namespace AppSettings;

struct StoredValue {
    DWORD type;
    DWORD number;  // REG_DWORD
    std::wstring text;  // REG_SZ
    bool operator==(const StoredValue&) const = default;
};

StoredValue Dword(DWORD value) { return {REG_DWORD, value, L""}; }

// What a first run writes, in its own words: every option but "ShowExternalEditors",
// "ShowIptcEditor" and "ExternalBookmarkFileName".
const std::map<std::wstring, StoredValue> kFirstRunValues = {
    {L"DisableHWA", Dword(1)}, {L"DisableSMP", Dword(0)}, {L"EnableICC", Dword(0)}, {L"MultiSampling", Dword(0)},
    {L"RightClickMagnifier", Dword(300)}, {L"SmartMouseAcceleration", Dword(100)},
    {L"AutoModeInterval", Dword(1000)}, {L"EnableInvertedZoomScrolling", Dword(0)},
    {L"HideZoomMouseCursor", Dword(1)}, {L"SubFoldersBrowsing", Dword(1)}, {L"EnableRating", Dword(0)},
    {L"EnableLabelling", Dword(0)}, {L"EnableUrgency", Dword(0)}, {L"LabellingConvention", Dword(0)},
    {L"CreateSidecarFiles", Dword(0)}, {L"AlwaysCreateSidecarFiles", Dword(0)}, {L"EmbedMetadata", Dword(0)},
    {L"PrefixFileNamesWithRating", Dword(0)}, {L"EnableFilePrefixes", Dword(0)},
    {L"EnableFileOwerwrite", Dword(0)}, {L"EnableExifAutoRotate", Dword(1)}, {L"EnableFileDeletion", Dword(0)},
    {L"EnableMoveToRecycleBin", Dword(1)}, {L"EnableExitFromEscapeKey", Dword(1)},
    {L"EnableFileNameInCaption", Dword(1)}, {L"EnableHistogramDataCompression", Dword(0)},
    {L"EnablePerChannelHistogramNormalization", Dword(0)}, {L"EnableCopiedStampOverlay", Dword(1)},
    {L"PreserveSourceFolderHierarchy", Dword(0)}, {L"ReuseLastPictureFolder", Dword(0)},
    {L"ReuseLastKeepCopyFolder", Dword(0)}, {L"WrapImageList", Dword(1)}, {L"EnableMessageBeep", Dword(1)},
    {L"AutoHideTaskbar", Dword(0)}, {L"AutoHideMouseCursor", Dword(1)}, {L"SortByDateTime", Dword(0)},
    {L"ShowHistogram", Dword(1)}, {L"ShowShootingData", Dword(1)}, {L"ShowBookmarkList", Dword(0)},
    {L"DownscaleLargeImages", Dword(112)}, {L"EnableMultiFrameSupport", Dword(0)},
    {L"SaveBookmarksAcrossSessions", Dword(1)}, {L"MemoryUsageGuideNumber", Dword(32)},
    {L"WarnOnInvalidProfile", Dword(0)}, {L"OverrideTargetProfile", Dword(0)},
    {L"CustomTargetColorProfile", {REG_SZ, 0, L""}}, {L"EnableRatingAutoAdvance", Dword(0)},
    {L"UpdateLastWriteTimeWhenRating", Dword(0)}, {L"EnableAbortableImageLoading", Dword(0)},
    {L"SmoothPixelsInZoomModes", Dword(0)}, {L"StretchSmallImages", Dword(0)}, {L"CheckeredBackround", Dword(1)},
};

std::map<std::wstring, StoredValue> ReadAllValues(HKEY key)
{
    std::map<std::wstring, StoredValue> values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[260];
        DWORD nameLength = 260, type = 0;
        BYTE data[1024];
        DWORD size = sizeof(data);
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        StoredValue value{type, 0, L""};
        if (type == REG_DWORD) value.number = *reinterpret_cast<DWORD*>(data);
        if (type == REG_SZ) value.text = reinterpret_cast<wchar_t*>(data);
        values[name] = value;
    }
    return values;
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ExternalBookmarkFileName.Free();
        CustomTargetColorProfile.Free();
    }

    // A key as a first run leaves it, opened for writing.
    RegKey FullKey()
    {
        RegKey key;
        EXPECT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, KeyPath));
        WriteFirstRunSettings(key);
        return key;
    }

    RegistrySandbox m_sandbox;
};

TEST_F(SettingsTest, FirstRunWritesExactlyTheDefaultsUnderTheSettingsKey)
{
    RegKey opened = OpenOrCreateSettings();
    ASSERT_TRUE(opened);

    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"SOFTWARE\\Brenholt\\Lumenfold"));
    EXPECT_EQ(kFirstRunValues, ReadAllValues(key.Get()));
}

TEST_F(SettingsTest, AKeyWithNineValuesIsRewrittenWithAllDefaults)
{
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, KeyPath));
        const wchar_t* names[] = {L"DisableHWA", L"EnableICC", L"AutoModeInterval", L"EnableRating", L"EmbedMetadata",
                                  L"SortByDateTime", L"MemoryUsageGuideNumber", L"WrapImageList", L"LastPictureFolder"};
        for (const wchar_t* name : names) key.SetDword(name, 7);
        ASSERT_FALSE(SettingsPresenceTest(key.Get()));
    }

    RegKey opened = OpenOrCreateSettings();

    std::map<std::wstring, StoredValue> values = ReadAllValues(opened.Get());
    EXPECT_EQ(Dword(1), values[L"DisableHWA"]);
    EXPECT_EQ(Dword(1000), values[L"AutoModeInterval"]);
    EXPECT_EQ(Dword(0), values[L"EnableRating"]);
    EXPECT_EQ(Dword(32), values[L"MemoryUsageGuideNumber"]);
    EXPECT_EQ(Dword(7), values[L"LastPictureFolder"]) << "values that are no options are left alone";
    EXPECT_EQ(kFirstRunValues.size() + 1, values.size());
}

TEST_F(SettingsTest, TenValuesCountAsSettingsNineDoNot)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, KeyPath));
    for (int i = 0; i < 9; ++i) key.SetDword(std::to_wstring(i).c_str(), 0);
    EXPECT_FALSE(SettingsPresenceTest(key.Get()));
    key.SetString(L"ninth", L"text");
    EXPECT_TRUE(SettingsPresenceTest(key.Get()));
}

TEST_F(SettingsTest, AStoredKeyIsLoadedAndNotRewritten)
{
    {
        RegKey key = FullKey();
        key.SetDword(L"AutoModeInterval", 2500);
        key.SetDword(L"DisableHWA", 0);
    }
    RegKey opened = OpenOrCreateSettings();
    EXPECT_EQ(2500u, AutoModeInterval);
    EXPECT_EQ(0u, DisableHWA);
    EXPECT_EQ(2500u, opened.QueryDword(L"AutoModeInterval").value_or(0));
}

TEST_F(SettingsTest, TheLastActivityTellsALoadFromAFirstRun)
{
    {
        RegKey first = OpenOrCreateSettings();
        EXPECT_EQ(50.0, LastActivityCode.load());
    }
    LastActivityCode = 41;
    RegKey loaded = OpenOrCreateSettings();
    EXPECT_EQ(49.0, LastActivityCode.load());
}

struct ClampCase {
    const wchar_t* name;
    DWORD stored;
    const DWORD* variable;
    DWORD loaded;
};

void PrintTo(const ClampCase& c, std::ostream* os)
{
    *os << std::string(c.name, c.name + wcslen(c.name)) << "=" << c.stored;
}

class SettingsClampTest : public SettingsTest, public testing::WithParamInterface<ClampCase> {};

TEST_P(SettingsClampTest, LoadsTheStoredValueThroughItsRule)
{
    const ClampCase& c = GetParam();
    RegKey key = FullKey();
    key.SetDword(c.name, c.stored);
    LoadSettings(key);
    EXPECT_EQ(c.loaded, *c.variable);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SettingsClampTest,
    testing::Values(ClampCase{L"AutoModeInterval", 0, &AutoModeInterval, 10},
                    ClampCase{L"AutoModeInterval", 9, &AutoModeInterval, 10},
                    ClampCase{L"AutoModeInterval", 0xFFFFFFFF, &AutoModeInterval, 0xFFFFFFFF},
                    ClampCase{L"SmartMouseAcceleration", 301, &SmartMouseAcceleration, 300},
                    ClampCase{L"SmartMouseAcceleration", 0x80000000, &SmartMouseAcceleration, 300},
                    ClampCase{L"MemoryUsageGuideNumber", 200, &MemoryUsageGuideNumber, 96},
                    ClampCase{L"MemoryUsageGuideNumber", 96, &MemoryUsageGuideNumber, 96},
                    ClampCase{L"SortByDateTime", 4, &SortByDateTime, 4},
                    ClampCase{L"SortByDateTime", 5, &SortByDateTime, 0},
                    ClampCase{L"LabellingConvention", 2, &LabellingConvention, 2},
                    ClampCase{L"LabellingConvention", 3, &LabellingConvention, 0},
                    ClampCase{L"DownscaleLargeImages", 0xFFFFFFFF, &DownscaleLargeImages, 0},
                    ClampCase{L"DownscaleLargeImages", 0xFFFFFFFE, &DownscaleLargeImages, 0xFFFFFFFE},
                    ClampCase{L"RightClickMagnifier", 12345, &RightClickMagnifier, 12345},
                    ClampCase{L"SubFoldersBrowsing", 7, &SubFoldersBrowsing, 7},
                    ClampCase{L"EnableExifAutoRotate", 0, &EnableExifAutoRotate, 0},
                    ClampCase{L"CheckeredBackround", 42, &CheckeredBackround, 1},
                    ClampCase{L"ShowIptcEditor", 9, &ShowIptcEditor, 1},
                    ClampCase{L"DisableHWA", 0x100, &DisableHWA, 1}));

struct WritingMethodCase {
    DWORD sidecar, embed, prefix;
    DWORD expected;
};

void PrintTo(const WritingMethodCase& c, std::ostream* os)
{
    *os << "sidecar " << c.sidecar << " embed " << c.embed << " prefix " << c.prefix;
}

class SettingsWritingMethodTest : public SettingsTest, public testing::WithParamInterface<WritingMethodCase> {};

TEST_P(SettingsWritingMethodTest, RatingKindsNeedAWritingMethod)
{
    const WritingMethodCase& c = GetParam();
    RegKey key = FullKey();
    key.SetDword(L"EnableRating", 7);
    key.SetDword(L"EnableLabelling", 1);
    key.SetDword(L"EnableUrgency", 1);
    key.SetDword(L"AlwaysCreateSidecarFiles", 1);
    key.SetDword(L"CreateSidecarFiles", c.sidecar);
    key.SetDword(L"EmbedMetadata", c.embed);
    key.SetDword(L"PrefixFileNamesWithRating", c.prefix);

    LoadSettings(key);

    EXPECT_EQ(c.expected, EnableRating);
    EXPECT_EQ(c.expected, EnableLabelling);
    EXPECT_EQ(c.expected, EnableUrgency);
    EXPECT_EQ(7u, key.QueryDword(L"EnableRating").value_or(0)) << "only the running program switches them off";
}

INSTANTIATE_TEST_SUITE_P(Methods, SettingsWritingMethodTest,
                         testing::Values(WritingMethodCase{0, 1, 0, 1}, WritingMethodCase{1, 0, 0, 1},
                                         WritingMethodCase{0, 0, 1, 1}, WritingMethodCase{0, 0, 0, 0}));

TEST_F(SettingsTest, ValuesOfOtherTypesAreTakenByTheirBytesWhenTheyFit)
{
    RegKey key = FullKey();
    DWORD raw = 301;
    RegSetValueExW(key.Get(), L"SmartMouseAcceleration", 0, REG_BINARY, reinterpret_cast<BYTE*>(&raw), sizeof(raw));
    ULONGLONG wide = 5;
    RegSetValueExW(key.Get(), L"AutoModeInterval", 0, REG_QWORD, reinterpret_cast<BYTE*>(&wide), sizeof(wide));
    AutoModeInterval = 1234;

    LoadSettings(key);

    EXPECT_EQ(300u, SmartMouseAcceleration);
    EXPECT_EQ(1234u, AutoModeInterval) << "a value longer than 4 bytes leaves the variable as it was";
}

TEST_F(SettingsTest, TheBookmarkFileNameDefaultsWhenEmptyAndStaysEmptyOnAFirstRun)
{
    {
        RegKey first = OpenOrCreateSettings();
        EXPECT_TRUE(ExternalBookmarkFileName.Empty());
    }
    RegKey key = FullKey();
    key.SetString(L"ExternalBookmarkFileName", L"");
    LoadSettings(key);
    EXPECT_EQ(L"Bookmarks.lmf", ExternalBookmarkFileName.View());

    key.SetString(L"ExternalBookmarkFileName", L"Trip.lmf");
    LoadSettings(key);
    EXPECT_EQ(L"Trip.lmf", ExternalBookmarkFileName.View());
}

// A file and a folder of the system colour directory, removed afterwards.
struct ProfileCase {
    DWORD override;
    const wchar_t* stored;  // "$file" and "$folder" stand for the entries of the colour directory
    const wchar_t* expected;  // "$file" is the file's full path
};

void PrintTo(const ProfileCase& c, std::ostream* os)
{
    *os << "override " << c.override << " " << std::string(c.stored, c.stored + wcslen(c.stored));
}

class SettingsProfileTest : public SettingsTest, public testing::WithParamInterface<ProfileCase> {};

TEST_P(SettingsProfileTest, TheCustomTargetProfileIsAutomaticOrAnExistingProfileFile)
{
    const ProfileCase& c = GetParam();
    ColorDirectoryEntries entries;
    auto expand = [&](std::wstring text) {
        if (text == L"$file") return entries.fileName;
        if (text == L"$folder") return entries.folderName;
        return text;
    };
    RegKey key = FullKey();
    key.SetDword(L"OverrideTargetProfile", c.override);
    key.SetString(L"CustomTargetColorProfile", expand(c.stored));

    LoadSettings(key);

    std::wstring expected = std::wstring(c.expected) == L"$file" ? entries.filePath : c.expected;
    EXPECT_EQ(expected, CustomTargetColorProfile.View());
}

INSTANTIATE_TEST_SUITE_P(Profiles, SettingsProfileTest,
                         testing::Values(ProfileCase{1, L"<aUtOmAtIc>", L"<Automatic>"},
                                         ProfileCase{1, L"<Automatic>", L"<Automatic>"},
                                         ProfileCase{1, L"$file", L"$file"},
                                         ProfileCase{1, L"NoSuchProfile.icc", L""},
                                         ProfileCase{1, L"$folder", L""},
                                         ProfileCase{1, L"", L""},
                                         ProfileCase{0, L"<Automatic>", L""},
                                         ProfileCase{0, L"$file", L""}));

TEST(ColorProfileFileTest, OnlyAnExistingFileOfTheColourDirectoryCounts)
{
    ColorDirectoryEntries entries;
    EXPECT_EQ(entries.filePath, FindColorProfileFile(entries.fileName));
    EXPECT_EQ(L"", FindColorProfileFile(entries.folderName)) << "a keep-copy folder given with -c is no profile";
    EXPECT_EQ(L"", FindColorProfileFile(entries.folderPath)) << "nor is one given with its full path";
    EXPECT_EQ(entries.filePath, FindColorProfileFile(entries.filePath));
    EXPECT_EQ(L"", FindColorProfileFile(L""));
    EXPECT_EQ(L"", FindColorProfileFile(L"NoSuchProfile.icc"));
}

}  // namespace
