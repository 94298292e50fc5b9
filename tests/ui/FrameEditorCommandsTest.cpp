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
    size_t HandBeeps() const { return Beeps(MB_ICONHAND); }
    size_t Beeps(UINT type) const { return static_cast<size_t>(std::count(m_beeps.begin(), m_beeps.end(), type)); }

    // The stand-in editor, copied into a folder of the test's own and made editor 0; its path.
    std::wstring InstallProbe(const TempFolder& tools)
    {
        const std::wstring probe = tools.File(L"probe editor.exe");
        EXPECT_TRUE(CopyFileW((TestProgramFolder() + L"\\editorprobe.exe").c_str(), probe.c_str(), FALSE));
        WriteEditor(probe);
        return probe;
    }

    // Waits until the stand-in editor has written its arguments.
    static std::wstring WaitForArguments(const std::wstring& probe)
    {
        std::wstring arguments;
        for (int i = 0; i < 300 && arguments.empty(); ++i) {
            PumpFor(100);
            arguments = ReadArguments(probe);
        }
        return arguments;
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

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
    EXPECT_EQ(m_folder.File(picture) + L"\n", WaitForArguments(probe));
    EXPECT_EQ(0u, HandBeeps());
}

TEST_F(FrameEditorCommandsTest, WithTheWindowOpenCtrlF1StartsTheFirstEditorOnTheSelectedFile)
{
    ShowFileOfFolder(L"Plage \u00E0 midi.jpg", {L"Plage \u00E0 midi.jpg"});
    m_frame.Engine().GetCurrentEntry()->AddCompanionExtension(L"cr2");  // its raw file, as the listing pairs them
    TempFolder tools;
    const std::wstring probe = InstallProbe(tools);
    Command(ID_SHOW_EXTERNAL_EDITORS);
    CExternalEditDialog& window = m_frame.EditorCommands().Dialog();
    ASSERT_EQ(2, window.Files().RowCount());
    SendMessageW(window.Files().m_hWnd, LB_SETCURSEL, 1, 0);

    Command(ID_EXTERNAL_EDITOR_0);
    EXPECT_EQ(m_folder.File(L"Plage \u00E0 midi.cr2") + L"\n", WaitForArguments(probe));
    EXPECT_EQ(0u, HandBeeps());

    // Ctrl+F2 names no editor of the window's list: the window beeps and the frame is not asked.
    Command(ID_EXTERNAL_EDITOR_0 + 1);
    PumpFor(50);
    EXPECT_EQ(1u, Beeps(MB_ICONEXCLAMATION));
    EXPECT_EQ(0u, HandBeeps());
}

TEST_F(FrameEditorCommandsTest, TheEditorsWindowFadesInAndTheFrameLooksAtItsFadeOnFloatingMoves)
{
    SetCursorPos(0, 0);
    Command(ID_SHOW_EXTERNAL_EDITORS);
    CExternalEditDialog& window = m_frame.EditorCommands().Dialog();
    EXPECT_TRUE(window.Fade().fadeRunning) << "it opens transparent and fades in";
    EXPECT_NE(window.m_hWnd, GetActiveWindow()) << "the keys stay with the frame";

    const RECT r = WindowRect(window.m_hWnd);
    SetCursorPos(r.left + 10, r.bottom + 1 + 32);  // 32 below the rectangle grown by one
    SendMessageW(m_frame.m_hWnd, WM_APP_FLOATING_MOUSE_MOVE, reinterpret_cast<WPARAM>(m_frame.View().m_hWnd), 0);
    EXPECT_NEAR(1.0f - 0.22f * 0.5f, window.Fade().targetOpacity, 1e-5f);
    SetCursorPos(r.left + 10, r.top + 10);
    SendMessageW(m_frame.m_hWnd, WM_APP_FLOATING_MOUSE_MOVE, 0, 0);
    EXPECT_FLOAT_EQ(1.0f, window.Fade().targetOpacity);
}

TEST_F(FrameEditorCommandsTest, ToolWindowsOpenAtCloseComeBackAtTheNextStart)
{
    EXPECT_FALSE(m_frame.EditorCommands().Dialog().IsWindow()) << "their settings are off in this fixture";
    EXPECT_FALSE(m_frame.BookmarkList().Dialog().IsWindow());
    AppSettings::ShowBookmarkList = 1;
    AppSettings::ShowExternalEditors = 1;
    m_frame.ViewToggles().PostStartToggles();
    PumpFor(50);
    EXPECT_TRUE(m_frame.BookmarkList().Dialog().IsWindow());
    EXPECT_TRUE(m_frame.EditorCommands().Dialog().IsWindow());

    // Closing the frame destroys them with it, but what is written is that they were open.
    SendMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    EXPECT_FALSE(m_frame.EditorCommands().Dialog().IsWindow());
    const RegKey key = Settings();
    EXPECT_EQ(1u, key.QueryDword(L"ShowBookmarkList").value_or(7));
    EXPECT_EQ(1u, key.QueryDword(L"ShowExternalEditors").value_or(7));
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
