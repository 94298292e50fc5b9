#include "Viewer/imaging/RatingRename.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(RatingRename, PrefixedNames)
{
    struct Case {
        const wchar_t* base;
        int rating;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\P\\IMG_1", 3, L"C:\\P\\{3}IMG_1"},
        {L"C:\\P\\{3}IMG_1", 5, L"C:\\P\\{5}IMG_1"},
        {L"C:\\P\\{5}IMG_1", 0, L"C:\\P\\IMG_1"},
        {L"C:\\P\\IMG_1", 0, L"C:\\P\\IMG_1"},
        {L"C:\\P\\{x}IMG", 2, L"C:\\P\\{2}{x}IMG"},
        {L"C:\\P\\{12}IMG", 4, L"C:\\P\\{4}{12}IMG"},
        {L"C:\\{1}.d\\IMG", 1, L"C:\\{1}.d\\{1}IMG"},
        {L"C:\\", 3, L""},
        {L"abc", 3, L""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, MakeRatingPrefixedName(c.base, c.rating)) << c.base;
}

class RatingRenameFiles : public testing::Test {
protected:
    void Make(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names) WriteBytes(m_folder.File(name), {'x'});
    }
    bool Exists(const std::wstring& name) const
    {
        return GetFileAttributesW(m_folder.File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool Rename(const std::wstring& from, const std::wstring& to)
    {
        return RenameWithRatingPrefix(m_folder.File(from), m_folder.File(to), L"jpg;cr2",
                                      {&m_window, [this](const std::wstring& path) { announced.push_back(path); }});
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    TempFolder m_folder;
    HWND m_window = nullptr;
    std::vector<std::wstring> announced;
};

TEST_F(RatingRenameFiles, ThePictureItsCompanionsAndItsSidecarAreRenamedTogether)
{
    Make({L"IMG_1.jpg", L"IMG_1.cr2", L"IMG_1.xmp"});
    MessageBoxRecorder boxes;
    ASSERT_TRUE(Rename(L"IMG_1", L"{3}IMG_1"));
    for (const wchar_t* name : {L"{3}IMG_1.jpg", L"{3}IMG_1.cr2", L"{3}IMG_1.xmp"}) EXPECT_TRUE(Exists(name)) << name;
    EXPECT_FALSE(Exists(L"IMG_1.jpg"));
    EXPECT_EQ((std::vector<std::wstring>{m_folder.File(L"{3}IMG_1.jpg"), m_folder.File(L"{3}IMG_1.cr2")}), announced)
        << "the sidecar is no picture of the list";
    EXPECT_TRUE(boxes.calls.empty());

    // A missing companion is skipped.
    ASSERT_TRUE(Rename(L"{3}IMG_1", L"IMG_1"));
    DeleteFileW(m_folder.File(L"IMG_1.cr2").c_str());
    ASSERT_TRUE(Rename(L"IMG_1", L"{5}IMG_1"));
    EXPECT_TRUE(Exists(L"{5}IMG_1.jpg"));
    EXPECT_TRUE(Exists(L"{5}IMG_1.xmp"));
}

TEST_F(RatingRenameFiles, AClashMovesNothing)
{
    Make({L"IMG_1.jpg", L"IMG_1.cr2", L"{3}IMG_1.cr2"});
    MessageBoxRecorder boxes;
    EXPECT_FALSE(Rename(L"IMG_1", L"{3}IMG_1"));
    EXPECT_TRUE(Exists(L"IMG_1.jpg"));
    EXPECT_TRUE(Exists(L"IMG_1.cr2"));
    EXPECT_FALSE(Exists(L"{3}IMG_1.jpg"));
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(m_folder.File(L"{3}IMG_1.cr2")));
    EXPECT_EQ(UINT(MB_ICONERROR), boxes.calls[0].type);
    EXPECT_TRUE(announced.empty());
}
