#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include <algorithm>

namespace {
// The arguments the stand-in editor wrote, one a line; empty until it has run.
std::wstring ReadArguments(const std::wstring& probe)
{
    UniqueHandle file(
        CreateFileW((probe + L".args").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    text.resize(read / sizeof(wchar_t));
    return text;
}

class FrameEditorCommandsTest : public FrameTest {
protected:
    void Command(WORD command) { SendMessageW(m_frame.m_hWnd, WM_COMMAND, command, 0); }
    void WriteEditor(const std::wstring& path)
    {
        RegKey key;
        key.Create(HKEY_CURRENT_USER, (std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors\\0").c_str());
        key.SetString(L"Editor", path);
    }

    // The launch's failure beeps; the listing may beep for its own reasons.
    size_t HandBeeps() const { return static_cast<size_t>(std::count(m_beeps.begin(), m_beeps.end(), MB_ICONHAND)); }

    std::vector<UINT> m_beeps;
    ScopedModalSeam m_seam{ModalSeam{.messageBeep = [this](UINT type) {
        m_beeps.push_back(type);
        return TRUE;
    }}};
};

TEST_F(FrameEditorCommandsTest, CtrlF1StartsTheFirstEditorOnThePictureShown)
{
    Command(ID_EXTERNAL_EDITOR_0);
    PumpFor(50);
    EXPECT_EQ(1u, HandBeeps()) << "no picture";
    m_beeps.clear();

    const std::wstring picture = L"Vacances d\u2019\u00E9t\u00E9 \u590F\\Plage \u00E0 midi.jpg";
    ShowFileOfFolder(picture, {picture});
    TempFolder tools;
    const std::wstring probe = tools.File(L"probe editor.exe");
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\editorprobe.exe").c_str(), probe.c_str(), FALSE));
    Command(ID_EXTERNAL_EDITOR_0);
    PumpFor(50);
    EXPECT_EQ(1u, HandBeeps()) << "no editor yet";
    m_beeps.clear();

    WriteEditor(probe);
    Command(ID_EXTERNAL_EDITOR_0);
    std::wstring arguments;
    for (int i = 0; i < 300 && arguments.empty(); ++i) {
        PumpFor(100);
        arguments = ReadArguments(probe);
    }
    EXPECT_EQ(m_folder.File(picture) + L"\n", arguments);
    EXPECT_EQ(0u, HandBeeps());
}

TEST_F(FrameEditorCommandsTest, TheToolWindowsComeAndGoWithTheirCommands)
{
    Command(ID_SHOW_EXTERNAL_EDITORS);
    EXPECT_TRUE(m_frame.EditorCommands().Dialog().IsWindow());
    EXPECT_EQ(1u, AppSettings::ShowExternalEditors);
    Command(ID_SHOW_EXTERNAL_EDITORS);
    EXPECT_FALSE(m_frame.EditorCommands().Dialog().IsWindow());
    EXPECT_EQ(0u, AppSettings::ShowExternalEditors);

    Command(ID_SHOW_BOOKMARKS);
    EXPECT_TRUE(m_frame.BookmarkList().Dialog().IsWindow());
    EXPECT_EQ(1u, AppSettings::ShowBookmarkList);
    Command(ID_SHOW_BOOKMARKS);
    EXPECT_FALSE(m_frame.BookmarkList().Dialog().IsWindow());
    EXPECT_EQ(0u, AppSettings::ShowBookmarkList);
}
}
