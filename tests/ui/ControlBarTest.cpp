#include "Viewer/ui/ControlBar.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/GdiPlus.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {
struct Recorded {
    UINT message;
    WPARAM wParam;
};

// A stand-in for the frame: it records what reaches it and answers the bar's queries.
struct FakeFrame {
    static inline std::vector<Recorded> seen;
    static inline LRESULT imageCount = 0;
    static inline LRESULT markedCount = 0;
    static inline LRESULT kiosk = 0;
    static inline UINT filledSlot = 99;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        seen.push_back({message, wParam});
        switch (message) {
        case WM_APP_GET_IMAGE_COUNT: return imageCount;
        case WM_APP_GET_MARKED_COUNT: return markedCount;
        case WM_APP_GET_KIOSK_MODE: return kiosk;
        case WM_APP_QUERY_QUICK_SLOT: return wParam == filledSlot ? 1 : 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
        }
    }
    static size_t IndexOf(UINT message, WPARAM wParam, size_t from = 0)
    {
        for (size_t i = from; i < seen.size(); ++i)
            if (seen[i].message == message && LOWORD(seen[i].wParam) == wParam) return i;
        return seen.size();
    }
    static size_t Count(UINT message, WPARAM wParam)
    {
        return static_cast<size_t>(std::count_if(seen.begin(), seen.end(), [&](const Recorded& r) {
            return r.message == message && LOWORD(r.wParam) == wParam;
        }));
    }
};

class ControlBarTest : public testing::Test {
protected:
    // The buttons keep their GDI+ fonts as long as the bar object lives, which is past TearDown:
    // GDI+ stays up for the rest of the test program.
    static void SetUpTestSuite() { GdiPlusAcquire(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = &FakeFrame::Procedure;
        frameClass.lpszClassName = L"LumenfoldBarTestFrame";
        RegisterClassW(&frameClass);
        m_frame = CreateWindowExW(0, frameClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50,
                                  1000, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_frame);
        ShowWindow(m_frame, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(m_bar.CreateBar(m_frame, m_frame, nullptr));
        SetWindowPos(m_bar.m_hWnd, nullptr, 0, 0, 1000, 30, SWP_NOZORDER | SWP_SHOWWINDOW);
        FakeFrame::seen.clear();
    }
    void TearDown() override
    {
        m_bar.DestroyWindow();
        DestroyWindow(m_frame);
        FakeFrame::imageCount = FakeFrame::markedCount = FakeFrame::kiosk = 0;
        FakeFrame::filledSlot = 99;
        AppSettings::AutoHideTaskbar = 0;
    }

    static RECT RectIn(HWND child)
    {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    HWND Control(int id) const { return GetDlgItem(m_bar.m_hWnd, id); }
    static void Pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox m_sandbox;
    HWND m_frame = nullptr;
    CControlBar m_bar;
};

bool Checked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
bool Grayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}
}

TEST(ControlBarLayout, ScalesTheButtonsAndTextLinesWithTheDisplay)
{
    std::array<SIZE, 7> sizes{};
    sizes.fill(SIZE{90, 28});
    const ControlBarLayout at96 = LayOutControlBar(1000, 30, 1.0f, sizes, 13, 13);
    EXPECT_EQ(203, at96.buttons[2].x);
    EXPECT_EQ(2, at96.buttons[2].y);
    EXPECT_EQ(718, at96.nameLine.left);
    EXPECT_EQ(30 - 26 - 3, at96.nameLine.top);
    EXPECT_EQ(1000 - 6, at96.nameLine.right);
    EXPECT_EQ(30 - 13 - 1, at96.statusLine.top);
    EXPECT_EQ(1000 - 87, at96.hotArea.left);
    const ControlBarLayout at144 = LayOutControlBar(1600, 45, 1.5f, sizes, 13, 13);
    EXPECT_EQ(305, at144.buttons[2].x);
    EXPECT_EQ(1074, at144.nameLine.left);
}

TEST_F(ControlBarTest, TheTemplatesButtonsAndLinesSitAtTheirPlacesOnTheBottomEdge)
{
    const int lefts[] = {4, 111, 203, 310, 417, 524, 616};
    const int ids[] = {1004, 1005, 1006, 1003, 1009, 1088, 1089};
    for (size_t i = 0; i < std::size(ids); ++i) {
        HWND button = Control(ids[i]);
        ASSERT_TRUE(button) << ids[i];
        const RECT r = RectIn(button);
        EXPECT_EQ(lefts[i], r.left) << ids[i];
        EXPECT_EQ(30, r.bottom) << ids[i];
        EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK);
    }
    const RECT name = RectIn(Control(CControlBar::ID_NAME_LINE));
    const RECT status = RectIn(Control(CControlBar::ID_STATUS_LINE));
    EXPECT_EQ(718, name.left);
    EXPECT_EQ(994, name.right);
    EXPECT_EQ(29, status.bottom);
    EXPECT_EQ(status.top - 2, name.bottom);
    HWND hot = Control(CControlBar::ID_HOT_AREA);
    ASSERT_TRUE(hot);
    EXPECT_FALSE(IsWindowVisible(hot));
}

TEST_F(ControlBarTest, TheMenuChecksTheShownPanelsAndGraysWhatAnEmptyListCannotDo)
{
    AppSettings::AutoHideTaskbar = 1;
    FakeFrame::kiosk = 1;
    HMENU menu = nullptr;
    ScopedModalSeam seam(ModalSeam{.trackPopup = [&](HMENU shown, UINT flags, int, int, HWND owner) {
        menu = shown;
        EXPECT_EQ(static_cast<UINT>(TPM_BOTTOMALIGN), flags);
        SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(shown), 0);
        return TRUE;
    }});
    const DWORD shown[] = {AppSettings::ShowHistogram, AppSettings::ShowShootingData};
    AppSettings::ShowHistogram = 1;
    AppSettings::ShowShootingData = 0;
    SendMessageW(m_bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(300, 300));
    AppSettings::ShowHistogram = shown[0];
    AppSettings::ShowShootingData = shown[1];
    ASSERT_TRUE(menu);
    EXPECT_TRUE(Checked(menu, CControlBar::ID_AUTO_HIDE_TASKBAR));
    EXPECT_TRUE(Checked(menu, ID_KIOSK_MODE));
    EXPECT_TRUE(Checked(menu, ID_SHOW_HISTOGRAM));
    EXPECT_FALSE(Checked(menu, ID_SHOW_SHOOTING_DATA));
    EXPECT_TRUE(Grayed(menu, ID_RELOAD_QUICK_SLOTS));
    EXPECT_TRUE(Grayed(menu, ID_TOGGLE_QUICK_SLOT_0 + 4));
    EXPECT_TRUE(Grayed(menu, ID_TOGGLE_MARK));
    EXPECT_TRUE(Grayed(menu, ID_GO_QUICK_SLOT_0));
    EXPECT_TRUE(Grayed(menu, ID_CLEAR_MARKS));
    Pump();
    EXPECT_LT(FakeFrame::IndexOf(WM_APP_HIDE_SLIDER_POPUP, 0), FakeFrame::seen.size());

    FakeFrame::imageCount = 5;
    FakeFrame::filledSlot = 3;
    FakeFrame::markedCount = 1;
    SendMessageW(m_bar.m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(300, 300));
    EXPECT_FALSE(Grayed(menu, ID_RELOAD_QUICK_SLOTS));
    EXPECT_FALSE(Grayed(menu, ID_TOGGLE_MARK));
    EXPECT_FALSE(Grayed(menu, ID_GO_QUICK_SLOT_0 + 3));
    EXPECT_TRUE(Checked(menu, ID_TOGGLE_QUICK_SLOT_0 + 3));
    EXPECT_TRUE(Grayed(menu, ID_GO_QUICK_SLOT_0 + 4));
    EXPECT_FALSE(Checked(menu, ID_TOGGLE_QUICK_SLOT_0 + 4));
    EXPECT_FALSE(Grayed(menu, ID_PUBLISH));
}

TEST_F(ControlBarTest, AutoHideFlipsTheSettingWritesItAndAsksTheFrameForTheLayout)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    SendMessageW(m_bar.m_hWnd, WM_COMMAND, CControlBar::ID_AUTO_HIDE_TASKBAR, 0);
    EXPECT_EQ(1u, AppSettings::AutoHideTaskbar);
    EXPECT_EQ(1u, key.QueryDword(L"AutoHideTaskbar").value_or(7));
    Pump();
    EXPECT_EQ(1u, FakeFrame::Count(WM_APP_APPLY_TASKBAR_LAYOUT, 0));
    EXPECT_EQ(0u, FakeFrame::Count(WM_COMMAND, CControlBar::ID_AUTO_HIDE_TASKBAR));
}

TEST_F(ControlBarTest, AHeldNextButtonRepeatsAndTheFrameHearsToIgnoreTheReleasingClick)
{
    HWND next = Control(ID_NAV_NEXT);
    SendMessageW(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_TRUE(m_bar.Button(2).IsPressed());
    EXPECT_EQ(0u, FakeFrame::Count(WM_COMMAND, ID_NAV_NEXT));
    SendMessageW(next, WM_TIMER, CImageButton::TIMER_REPEAT_DELAY, 0);
    EXPECT_EQ(1u, FakeFrame::Count(WM_COMMAND, ID_NAV_NEXT));
    SendMessageW(next, WM_TIMER, CImageButton::TIMER_REPEAT_INTERVAL, 0);
    SendMessageW(next, WM_TIMER, CImageButton::TIMER_REPEAT_INTERVAL, 0);
    EXPECT_EQ(3u, FakeFrame::Count(WM_COMMAND, ID_NAV_NEXT));
    SendMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    const UINT ignore = RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK");
    const size_t ignored = FakeFrame::IndexOf(ignore, ID_NAV_NEXT);
    ASSERT_LT(ignored, FakeFrame::seen.size());
    const size_t click = FakeFrame::IndexOf(WM_COMMAND, ID_NAV_NEXT, ignored);
    EXPECT_LT(click, FakeFrame::seen.size());  // the click comes after the notice
}

TEST_F(ControlBarTest, AHeldBookmarkStepKeepsItsReleasingClickAndAShortPressClicksOnce)
{
    HWND bookmarkNext = Control(ID_NEXT_BOOKMARK);
    SendMessageW(bookmarkNext, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(bookmarkNext, WM_TIMER, CImageButton::TIMER_REPEAT_DELAY, 0);
    SendMessageW(bookmarkNext, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    const UINT ignore = RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK");
    EXPECT_EQ(0u, FakeFrame::Count(ignore, ID_NEXT_BOOKMARK));
    EXPECT_EQ(2u, FakeFrame::Count(WM_COMMAND, ID_NEXT_BOOKMARK));

    HWND previous = Control(ID_NAV_PREVIOUS);
    SendMessageW(previous, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(previous, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1u, FakeFrame::Count(WM_COMMAND, ID_NAV_PREVIOUS));
    EXPECT_EQ(0u, FakeFrame::Count(ignore, ID_NAV_PREVIOUS));

    SetFocus(previous);
    SendMessageW(previous, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(previous, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(1u, FakeFrame::Count(WM_COMMAND, ID_NAV_PREVIOUS));
}

TEST_F(ControlBarTest, FadesResumeFromTwiceWhatWasLeftAndTheFrameIsNeverDrawnInvisible)
{
    CImageButton& button = m_bar.Button(3);
    const DWORD t = 100000;
    button.AdvanceFade(CImageButton::StateHot, t);
    EXPECT_EQ(0u, button.FadeOpacity());
    EXPECT_EQ(255, button.AdvanceFade(CImageButton::StateHot, t + 166));  // 127 draws at full alpha
    EXPECT_EQ(127u, button.FadeOpacity());
    button.AdvanceFade(CImageButton::StateHot, t + 166 + 95);  // 127 + 73 = 200
    EXPECT_EQ(200u, button.FadeOpacity());
    button.AdvanceFade(CImageButton::StateNormal, t + 261);
    EXPECT_EQ(110u, button.FadeOpacity());
    button.AdvanceFade(CImageButton::StateHot, t + 261 + 0);
    EXPECT_EQ(255u, button.FadeOpacity());  // from 110: 2 x 145 is past the top
    button.AdvanceFade(CImageButton::StatePressed, t + 300);
    EXPECT_EQ(CImageButton::StatePressed, button.CurrentState());
    EXPECT_EQ(255u, button.FadeOpacity());  // pressing switches at once
    EXPECT_EQ(0x80 + 16, CImageButton::CaptionAlpha(true, false, false, true));
    EXPECT_EQ(0xA0, CImageButton::CaptionAlpha(false, false, false, true));
    EXPECT_EQ(E_FAIL, button.SetAutoRepeat(true, 750, 0));
}

TEST_F(ControlBarTest, MovesOverTheBarAndItsLinesTellTheFrame)
{
    POINT onBar{100, 5};
    ClientToScreen(m_bar.m_hWnd, &onBar);
    SetCursorPos(onBar.x, onBar.y);
    SendMessageW(m_bar.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 5));
    SendMessageW(m_bar.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(101, 5));
    SendMessageW(m_bar.m_hWnd, WM_MOUSELEAVE, 0, 0);
    SendMessageW(Control(CControlBar::ID_STATUS_LINE), WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(2u, FakeFrame::Count(WM_APP_CONTROLBAR_MOUSE_ENTER, 0));
    EXPECT_GE(FakeFrame::Count(WM_APP_CONTROLBAR_MOUSE_LEAVE, 0), 1u);
}
