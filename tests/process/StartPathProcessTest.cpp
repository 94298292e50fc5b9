// What the viewer opens at start: the image folder of the command line, the last session's folders
// when the settings ask for them, or nothing (and then it says so).
#include "tests/process/ViewerFixture.h"
#include <gmock/gmock.h>
#include "tests/support/ColorDirectoryEntries.h"

namespace {
class StartPathProcess : public ViewerFixture {
protected:
    // Settings of an earlier run (ten values or more, so they are loaded) that reuse the last folders.
    void StoreLastFolders(const std::wstring& pictureFolder, const std::wstring& keepCopyFolder)
    {
        RegKey key = SettingsKey(KEY_ALL_ACCESS);
        for (const wchar_t* name : {L"DisableHWA", L"SubFoldersBrowsing", L"ReuseLastPictureFolder",
                                    L"ReuseLastKeepCopyFolder", L"EnableRating", L"EnableLabelling",
                                    L"EnableUrgency", L"WrapImageList"})
            key.SetDword(name, 1);
        key.SetString(L"LastPictureFolder", pictureFolder);
        key.SetString(L"LastKeepCopyFolder", keepCopyFolder);
        key.SetString(L"LastImageViewed", L"missing.jpg");
    }
};
}

TEST_F(StartPathProcess, ImageFolderSwitchOpensItWithItsKeepCopyFolder)
{
    TempFolder pictures;
    TempFolder keepCopy;
    ViewerProcess viewer(L"-i \"" + pictures.Path() + L"\" -c \"" + keepCopy.Path() + L"\"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"keep-copy", keepCopy.Path(), kStartTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{pictures.Path()}, Log().Texts(L"open"));
    EXPECT_THAT(Log().Texts(L"status"), testing::Not(testing::Contains(LanguageLibraryString(kEmptyViewStringId))));
    EXPECT_TRUE(Log().Texts(L"colour-profile").empty()) << "a folder after -c is the keep-copy folder";
}

TEST_F(StartPathProcess, ColourProfileSwitchTurnsColourManagementOnWithThatProfile)
{
    TempFolder pictures;
    ColorDirectoryEntries colourDirectory;
    ViewerProcess viewer(L"-i \"" + pictures.Path() + L"\" -c \"" + colourDirectory.fileName + L"\"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"open", pictures.Path(), kStartTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{colourDirectory.filePath}, Log().Texts(L"colour-profile"));
}

TEST_F(StartPathProcess, LastFoldersAreOpenedAgainWhenTheSettingsAskForIt)
{
    TempFolder pictures;
    TempFolder keepCopy;
    StoreLastFolders(pictures.Path(), keepCopy.Path());
    ViewerProcess viewer(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"keep-copy", keepCopy.Path(), kStartTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{pictures.Path()}, Log().Texts(L"open"));
    EXPECT_THAT(Log().Texts(L"status"), testing::Not(testing::Contains(LanguageLibraryString(kEmptyViewStringId))));
}

TEST_F(StartPathProcess, LastFolderThatIsGoneShowsTheEmptyViewText)
{
    StoreLastFolders(Temp().File(L"gone"), Temp().Path());
    ViewerProcess viewer(L"", Environment());
    ASSERT_TRUE(Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs));
    EXPECT_TRUE(Log().Texts(L"open").empty());
    EXPECT_TRUE(Log().Texts(L"keep-copy").empty()) << "the keep-copy folder only comes with the picture folder";
}
