#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/engine/BookmarkPrefix.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>
#include <optional>

namespace {
using Names = std::vector<std::wstring>;

TEST(BookmarkPrefixTest, CandidatesAreFolderNamesOfThePicturePathOrOfTheFolder)
{
    const struct {
        const wchar_t* folder;
        const wchar_t* picture;
        Names expected;
    } cases[] = {
        {L"C:\\Photos", L"C:\\Photos\\2009\\Trip\\IMG_0001", {L"Photos", L"2009", L"Trip"}},
        {L"C:\\Photos\\2009\\Trip", L"C:\\Photos\\2009\\Trip\\IMG_0001", {L"Trip"}},
        {L"C:\\Photos", L"C:\\Photos\\a\\b\\c\\d\\IMG_0001", {L"Photos", L"a", L"b"}},
        {L"\\\\nas\\photos\\2009", nullptr, {L"nas", L"photos", L"2009"}},
        {L"C:\\Photos\\2009\\Trip\\Day", L"", {L"Photos", L"2009", L"Trip"}},
        {L"C:\\", nullptr, {}},
        {L"", L"C:\\Photos\\IMG_0001", {}},
        {nullptr, nullptr, {}},
        // A picture whose folder ends before the open folder's name gives none.
        {L"C:\\Photos\\2009", L"C:\\x", {}},
        {L"C:\\2009-07-14 Summer holidays in the Alps", L"C:\\2009-07-14 Summer holidays in the Alps\\IMG_1",
         {L"2009-07-14 S~in the Alps"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ComputePrefixCandidates(c.folder, c.picture))
            << (c.folder ? c.folder : L"(null)") << " " << (c.picture ? c.picture : L"(null)");
    EXPECT_EQ(L"exactly twenty-four char", ShortenPrefix(L"exactly twenty-four char"));
}

TEST(BookmarkPrefixTest, TheStoredStyleFallsBackToTheFolderNamesThereAre)
{
    const struct {
        std::optional<DWORD> style;
        const wchar_t* custom;
        Names candidates;
        DWORD expectedStyle;
        const wchar_t* expectedPrefix;
    } cases[] = {
        {std::nullopt, nullptr, {L"Photos", L"2009", L"Trip"}, 2, L"2009"},
        {3, nullptr, {L"Photos", L"2009", L"Trip"}, 3, L"Trip"},
        {3, nullptr, {L"Trip"}, 1, L"Trip"},
        {2, nullptr, {}, 0, L""},
        {0, nullptr, {L"Photos"}, 0, L""},
        {9, nullptr, {L"Photos", L"2009"}, 1, L"Photos"},
        {4, L"Mine", {}, 4, L"Mine"},
        {4, nullptr, {L"Photos"}, 4, L""},
    };
    for (const auto& c : cases) {
        RegistrySandbox registry;
        RegKey settings;
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        if (c.style) settings.SetDword(L"BookmarkPrefixesStyle", *c.style);
        if (c.custom) settings.SetString(L"CustomBookmarkPrefix", c.custom);
        const PrefixChoice choice = LoadPrefixSettings(c.candidates);
        EXPECT_EQ(c.expectedStyle, choice.style) << (c.style ? *c.style : 99);
        EXPECT_EQ(c.expectedPrefix, choice.prefix) << (c.style ? *c.style : 99);
    }
}
}  // namespace
