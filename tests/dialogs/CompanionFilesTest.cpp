#include "Viewer/dialogs/CompanionFiles.h"
#include "Viewer/engine/ImageEntry.h"
#include <gtest/gtest.h>

namespace {
TEST(CompanionFilesTest, EachExtensionOfThePictureIsOneFileInStoredOrder)
{
    EntryRef entry = MakeEntry(nullptr, std::wstring(L"C:\\Trip\\IMG 0001"), nullptr, 0, 1, L"jpg", false);
    ASSERT_TRUE(entry->AddCompanionExtension(L"cr2"));
    EXPECT_EQ((std::vector<std::wstring>{L"IMG 0001.jpg", L"IMG 0001.cr2"}), CompanionFileNames(entry.Get()));
    EXPECT_EQ(L"C:\\Trip\\IMG 0001.jpg", CompanionFilePath(entry.Get(), 0));
    EXPECT_EQ(L"C:\\Trip\\IMG 0001.cr2", CompanionFilePath(entry.Get(), 1));
    EXPECT_EQ(L"", CompanionFilePath(entry.Get(), 2));
    EXPECT_EQ(L"", CompanionFilePath(nullptr, 0));
    EXPECT_TRUE(CompanionFileNames(nullptr).empty());
}
}
