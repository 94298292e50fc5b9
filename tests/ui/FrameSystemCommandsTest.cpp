#include "tests/ui/FrameTest.h"
#include "Viewer/engine/ImageEntry.h"
#include <shlobj.h>

namespace {
using FrameSystemCommandsTest = FrameTest;

void Touch(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
}

TEST(ImageFolderOnVolumeTest, OnlyTheFoldersOwnDriveLetterMatches)
{
    const struct {
        const wchar_t* folder;
        DWORD mask;
        bool expected;
    } cases[] = {
        {L"E:\\Pictures", 1u << 4, true},
        {L"e:\\pictures", 1u << 4, true},
        {L"E:\\Pictures", 1u << 3, false},
        {L"A:\\", 1u, true},
        {L"Z:\\x", 1u << 25, true},
        {L"\\\\server\\share", 0xFFFFFFFF, false},
        {L"", 0xFFFFFFFF, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, IsImageFolderOnVolume(c.folder, c.mask)) << c.mask;
}

TEST(FileDropBlockTest, AnEntryListsItsFileItsCompanionsAndThenItsSidecarInOneBlock)
{
    TempFolder folder;
    const std::wstring base = folder.File(L"a");
    EntryRef entry = MakeEntry(nullptr, base, nullptr, 0, 1, L"jpg", false);
    ASSERT_TRUE(entry->AddCompanionExtension(L"cr2"));
    EXPECT_EQ((std::vector<std::wstring>{base + L".jpg", base + L".cr2"}), EntryFilesWithSidecar(*entry));
    Touch(base + L".xmp");
    const std::vector<std::wstring> paths = EntryFilesWithSidecar(*entry);
    ASSERT_EQ((std::vector<std::wstring>{base + L".jpg", base + L".cr2", base + L".xmp"}), paths);

    HGLOBAL block = MakeFileDropBlock(paths);
    ASSERT_TRUE(block);
    size_t expected = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring& path : paths) expected += (path.size() + 1) * sizeof(wchar_t);
    EXPECT_EQ(expected, GlobalSize(block));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    EXPECT_EQ(20u, header->pFiles);
    EXPECT_TRUE(header->fWide);
    const auto* names = reinterpret_cast<const wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        EXPECT_EQ(path, names);
        names += path.size() + 1;
    }
    EXPECT_EQ(L'\0', *names);
    GlobalUnlock(block);
    GlobalFree(block);
}

TEST_F(FrameSystemCommandsTest, CopyPutsTheCurrentPicturesFilesOnTheClipboardForAFileManager)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_EDIT_COPY, 0);

    ASSERT_TRUE(OpenClipboard(m_frame.m_hWnd));
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_TRUE(drop);
    ASSERT_EQ(1u, DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    wchar_t name[MAX_PATH]{};
    DragQueryFileW(drop, 0, name, MAX_PATH);
    EXPECT_EQ(m_folder.File(L"a.jpg"), name);
    CloseClipboard();
}
}
