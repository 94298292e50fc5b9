#include "tests/ui/FrameTest.h"

namespace {
// A shown frame whose control bar hides itself, hidden at first, and the cursor away from the frame.
// The platform here slides nothing (the animation returns at once): the tests look at where the bar
// ends up and whether it shows.
class FrameTaskbarTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        m_autoHide = AppSettings::AutoHideTaskbar;
        AppSettings::AutoHideTaskbar = 1;
        SetWindowPos(m_frame.m_hWnd, nullptr, 100, 100, 900, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(m_frame.m_hWnd, SW_SHOWNOACTIVATE);
        SendMessageW(m_frame.m_hWnd, WM_APP_APPLY_TASKBAR_LAYOUT, 0, 0);
        SetCursorPos(5, 5);
        PumpFor(20);
    }
    void TearDown() override
    {
        AppSettings::AutoHideTaskbar = m_autoHide;
        FrameTest::TearDown();
    }

    void Command(WORD command) { SendMessageW(m_frame.m_hWnd, WM_COMMAND, command, 0); }
    HWND Bar() { return m_frame.ControlBar().m_hWnd; }
    bool BarShows() { return IsWindowVisible(Bar()) != FALSE; }
    // The bar's rectangle in the frame's client area.
    RECT BarPlace()
    {
        RECT place{};
        GetWindowRect(Bar(), &place);
        MapWindowPoints(nullptr, m_frame.m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    // Where the bar belongs when it has slid in: the client area's bottom strip, the bar's height high.
    void ExpectAtTheBottomEdge()
    {
        RECT client{};
        GetClientRect(m_frame.m_hWnd, &client);
        const RECT place = BarPlace();
        EXPECT_EQ(0, place.left);
        EXPECT_EQ(client.right, place.right);
        EXPECT_EQ(client.bottom - m_frame.BarHeight(), place.top);
        EXPECT_EQ(client.bottom, place.bottom);
    }

private:
    DWORD m_autoHide = 0;
};

// Whether the frame's timer runs, leaving it running.
bool TimerRuns(HWND frame, UINT_PTR id)
{
    return KillTimer(frame, id) ? (SetTimer(frame, id, 60000, nullptr), true) : false;
}

TEST_F(FrameTaskbarTest, TheEdgeCommandSlidesTheBarInOverTheViewAndActivityTakesItAwayAgain)
{
    ASSERT_FALSE(BarShows());
    ASSERT_FALSE(m_frame.IsBarVisible());
    Command(ID_TOGGLE_TASKBAR);
    EXPECT_TRUE(BarShows());
    EXPECT_TRUE(m_frame.IsBarVisible());
    ExpectAtTheBottomEdge();
    EXPECT_EQ(m_frame.View().m_hWnd, GetFocus());
    // The bar lies over the view's bottom edge, and a click there is the bar's.
    const RECT place = BarPlace();
    POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    MapWindowPoints(m_frame.m_hWnd, m_frame.Splitter().m_hWnd, &middle, 1);
    EXPECT_EQ(Bar(), ChildWindowFromPointEx(m_frame.Splitter().m_hWnd, middle, CWP_SKIPINVISIBLE));

    // A pause of the cursor over the view sends the bar away a moment later.
    PostMessageW(m_frame.m_hWnd, WM_APP_USER_ACTIVITY, 0, 0);
    PumpFor(900);
    EXPECT_FALSE(BarShows());
    EXPECT_FALSE(m_frame.IsBarVisible());

    // The edge command brings it and, while it shows, takes it away at once.
    Command(ID_TOGGLE_TASKBAR);
    ASSERT_TRUE(BarShows());
    Command(ID_TOGGLE_TASKBAR);
    PumpFor(50);
    EXPECT_FALSE(BarShows());
    EXPECT_FALSE(m_frame.IsBarVisible());

    // Not while the cursor is on it.
    Command(ID_TOGGLE_TASKBAR);
    const RECT screen = [&] {
        RECT r{};
        GetWindowRect(Bar(), &r);
        return r;
    }();
    SetCursorPos((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
    Command(ID_TOGGLE_TASKBAR);
    PumpFor(50);
    EXPECT_TRUE(BarShows());
    EXPECT_TRUE(m_frame.IsBarVisible());
}

TEST_F(FrameTaskbarTest, WithTheBarBelowTheViewNothingSlidesAndNothingHidesIt)
{
    AppSettings::AutoHideTaskbar = 0;
    SendMessageW(m_frame.m_hWnd, WM_APP_APPLY_TASKBAR_LAYOUT, 0, 0);
    ASSERT_TRUE(BarShows());
    const RECT before = BarPlace();
    EXPECT_TRUE(m_frame.SlideInTaskbar());
    Command(ID_TOGGLE_TASKBAR);
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE));
    Command(ID_AUTO_MODE);
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE));
    Command(ID_AUTO_MODE);
    PostMessageW(m_frame.m_hWnd, WM_APP_USER_ACTIVITY, 1, 0);
    PumpFor(50);
    EXPECT_TRUE(BarShows());
    const RECT after = BarPlace();
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.bottom, after.bottom);
    EXPECT_EQ(before.right, after.right);
}

TEST_F(FrameTaskbarTest, AModeSwitchShowsAHiddenBarUntilTheChangeWasSeenAndLeavesAShownOne)
{
    Command(ID_AUTO_MODE);
    ASSERT_TRUE(m_frame.Modes().IsSlideshowRunning());
    EXPECT_TRUE(BarShows());
    ExpectAtTheBottomEdge();
    // It goes 2.75 s after the switch; a loaded machine's timers may come late.
    for (int i = 0; i < 100 && BarShows(); ++i) PumpFor(100);
    EXPECT_FALSE(BarShows()) << "gone again after the change was seen";
    EXPECT_FALSE(m_frame.IsBarVisible());

    // A bar that already shows stays as it is.
    Command(ID_TOGGLE_TASKBAR);
    ASSERT_TRUE(BarShows());
    Command(ID_AUTO_MODE);
    ASSERT_FALSE(m_frame.Modes().IsSlideshowRunning());
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE));
    EXPECT_TRUE(BarShows());
}

TEST_F(FrameTaskbarTest, TheMenuPanelOpensOnTheBarWhichComesUpWithIt)
{
    Command(ID_MENU_PANEL);
    HWND panel = m_frame.ViewToggles().MenuPanel().m_hWnd;
    ASSERT_TRUE(panel);
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_TRUE(BarShows());
    ExpectAtTheBottomEdge();
    RECT panelPlace{};
    GetWindowRect(panel, &panelPlace);
    RECT barPlace{};
    GetWindowRect(Bar(), &barPlace);
    EXPECT_EQ(barPlace.top, panelPlace.bottom);
}
}

TEST_F(FrameTaskbarTest, MovingOrSizingTheFrameClosesTheMenuPanelAndSizingSendsTheBarAway)
{
    for (const UINT message : {UINT(WM_MOVING), UINT(WM_SIZING)}) {
        Command(ID_MENU_PANEL);
        HWND panel = m_frame.ViewToggles().MenuPanel().m_hWnd;
        ASSERT_TRUE(panel && IsWindowVisible(panel));
        RECT place{};
        GetWindowRect(m_frame.m_hWnd, &place);
        SendMessageW(m_frame.m_hWnd, message, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&place));
        EXPECT_FALSE(IsWindowVisible(panel)) << message;
        EXPECT_EQ(message == WM_SIZING, TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE)) << message;
        Command(ID_TOGGLE_TASKBAR);
        PumpFor(50);
    }
}
