#include "tests/ui/PanelFixture.h"
#include "Framework/ModalSeam.h"
#include "tests/support/MessageBoxRecorder.h"
#include "Viewer/core/LanguageLibrary.h"
#include <algorithm>
#include <commctrl.h>

namespace {
// The frame with its menu panel; the commands of the panel are recorded where they reach the frame.
class MenuPanelTest : public PanelWindowTest {
protected:
    CMenuPanelDlg& Panel() { return m_frame.ViewToggles().MenuPanel(); }

    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_COMMAND && call->hwnd == s_frame)
            s_commands.push_back(LOWORD(call->wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND s_frame = nullptr;
    static inline std::vector<int> s_commands;
};

std::wstring ToolTipText(const CSkinImageButton& button)
{
    wchar_t text[128]{};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(button.m_hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(button.m_hWnd);
    tool.lpszText = text;
    SendMessageW(button.ToolTip(), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}
}

TEST_F(MenuPanelTest, TheMenuCommandOpensThePanelAtTheViewsLowerLeftAndClosesIt)
{
    Command(ID_MENU_PANEL);
    ASSERT_TRUE(Panel().IsWindow());
    EXPECT_TRUE(IsWindowVisible(Panel().m_hWnd));
    const RECT view = ViewRect();
    const RECT panel = WindowRect(Panel().m_hWnd);
    EXPECT_EQ(view.left, panel.left);
    EXPECT_EQ(view.bottom, panel.bottom);
    Command(ID_MENU_PANEL);
    EXPECT_FALSE(IsWindowVisible(Panel().m_hWnd));
    // Escape does the same while it does not close the viewer.
    AppSettings::EnableExitFromEscapeKey = 0;
    Command(ID_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(Panel().m_hWnd));
}

TEST_F(MenuPanelTest, SixButtonsSendTheirCommandsToTheFrameAndNameThemInTooltips)
{
    Command(ID_MENU_PANEL);
    ScopedModalSeam seam(ModalSeam{.messageBox = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDCANCEL; },
                                   .modalDialog = [](HINSTANCE, UINT, HWND, DLGPROC, LPARAM) -> INT_PTR { return IDCANCEL; },
                                   .browseForFolder = [](HWND, const wchar_t*, UINT, const wchar_t*, std::wstring&) {
                                       return false;
                                   }});
    s_frame = m_frame.m_hWnd;
    s_commands.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId());
    std::vector<int> expected;
    for (size_t i = 0; i < CMenuPanelDlg::kControls.size(); ++i) {
        const int control = CMenuPanelDlg::kControls[i];
        if (control == ID_APP_EXIT) continue;  // the frame would close
        CSkinImageButton& button = Panel().Button(i);
        ASSERT_TRUE(button.IsWindow());
        EXPECT_EQ(LoadUiString(10155 + static_cast<UINT>(i)), ToolTipText(button));
        SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_TRUE(button.IsPressed());
        SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        expected.push_back(control);
    }
    UnhookWindowsHookEx(hook);
    // Commands that open dialogs or folders are answered by the seam; only that they arrived counts here.
    for (int control : expected)
        EXPECT_NE(s_commands.end(), std::find(s_commands.begin(), s_commands.end(), control)) << control;
    EXPECT_EQ(LoadUiString(10160), ToolTipText(Panel().Button(5)));
}

TEST(SkinImageButtonLook, EachStateHasItsImageAndCaptionAlpha)
{
    using B = CSkinImageButton;
    EXPECT_EQ(B::ImageDisabled, B::ChooseLook(true, true, true).image);
    EXPECT_EQ(0x80, B::ChooseLook(true, false, false).captionAlpha);
    EXPECT_EQ(B::ImagePushed, B::ChooseLook(false, true, true).image);
    EXPECT_EQ(0xC0, B::ChooseLook(false, true, false).captionAlpha);
    EXPECT_EQ(B::ImageHot, B::ChooseLook(false, false, true).image);
    EXPECT_EQ(0xE0, B::ChooseLook(false, false, true).captionAlpha);
    EXPECT_EQ(B::ImageNormal, B::ChooseLook(false, false, false).image);
    EXPECT_EQ(0xA0, B::ChooseLook(false, false, false).captionAlpha);
}

TEST_F(MenuPanelTest, APressDraggedOffTheButtonLooksReleasedAndSendsNothing)
{
    Command(ID_MENU_PANEL);
    CSkinImageButton& button = Panel().Button(0);
    // At 96 DPI the panel's images are used as they are.
    EXPECT_FALSE(button.OwnsImage(CSkinImageButton::ImageNormal));
    SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-50, 5));
    EXPECT_FALSE(button.IsPressed());
    s_frame = m_frame.m_hWnd;
    s_commands.clear();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId());
    SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(-50, 5));
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(s_commands.empty());
}

TEST_F(MenuPanelTest, PublishAndKeywordsOnlyAnnounceThemselves)
{
    MessageBoxRecorder boxes;
    Command(ID_PUBLISH);
    Command(ID_KEYWORDS_IPTC);
    ASSERT_EQ(2u, boxes.calls.size());
    EXPECT_EQ(L"Publish", boxes.calls[0].caption);
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"No publishing plug-in currently installed."));
    EXPECT_EQ(L"Keywords/IPTC", boxes.calls[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONASTERISK), boxes.calls[1].type);
}
