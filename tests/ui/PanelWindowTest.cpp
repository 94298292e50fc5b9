#include "tests/ui/PanelFixture.h"
#include "Framework/ModalSeam.h"
#include <algorithm>

namespace {
// Records the messages the frame's procedure receives on this thread.
class FrameMessageRecorder {
public:
    explicit FrameMessageRecorder(HWND frame)
    {
        s_frame = frame;
        s_seen.clear();
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &Record, nullptr, GetCurrentThreadId());
    }
    ~FrameMessageRecorder() { UnhookWindowsHookEx(m_hook); }
    static bool Saw(UINT message)
    {
        return std::find(s_seen.begin(), s_seen.end(), message) != s_seen.end();
    }

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->hwnd == s_frame) s_seen.push_back(call->message);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HWND s_frame = nullptr;
    static inline std::vector<UINT> s_seen;
    HHOOK m_hook = nullptr;
};
}

TEST_F(PanelWindowTest, TogglesOpenEachPanelAtItsSizeInItsDefaultCornerAndCloseIt)
{
    Command(ID_SHOW_HISTOGRAM);
    Command(ID_SHOW_SHOOTING_DATA);
    const HWND histogram = View().Histogram().m_hWnd;
    const HWND shooting = View().ShootingData().m_hWnd;
    ASSERT_TRUE(IsWindow(histogram));
    ASSERT_TRUE(IsWindow(shooting));
    EXPECT_TRUE(IsWindowVisible(histogram));
    EXPECT_EQ(m_frame.m_hWnd, GetParent(histogram));  // owned by the frame
    const RECT view = ViewRect();
    const RECT h = WindowRect(histogram);
    EXPECT_EQ((RECT{view.right - 283 - kPanelLeftOfView, view.top + 8, view.right - kPanelLeftOfView, view.top + 8 + 129}),
              h);
    const RECT s = WindowRect(shooting);
    EXPECT_EQ((RECT{view.right - 365 - 8, view.bottom - 73 - 8, view.right - 8, view.bottom - 8}), s);
    EXPECT_EQ(1u, AppSettings::ShowHistogram);
    EXPECT_EQ(1u, AppSettings::ShowShootingData);
    wchar_t className[64]{};
    GetClassNameW(histogram, className, 64);
    EXPECT_STREQ(L"Lumenfold_Histogram", className);
    GetClassNameW(shooting, className, 64);
    EXPECT_STREQ(L"Lumenfold_ImageMetadata", className);
    const LONG_PTR exStyle = GetWindowLongPtrW(histogram, GWL_EXSTYLE);
    EXPECT_EQ(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW,
              exStyle & (WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW));

    Command(ID_SHOW_HISTOGRAM);
    EXPECT_FALSE(IsWindow(histogram));
    EXPECT_EQ(0u, AppSettings::ShowHistogram);
    const std::wstring stored = Settings().QueryString(L"HistogramWindow").value_or(L"");
    EXPECT_EQ(L"44 ", stored.substr(0, 3));
    EXPECT_EQ(13, std::count(stored.begin(), stored.end(), L' ') + 1);
}

TEST_F(PanelWindowTest, APanelReopensWhereItWasLeftAndAtTheDefaultCornerWhenThePlacementIsMalformed)
{
    WriteValue(L"HistogramWindow", L"44 0 1 -1 -1 -1 -1 300 260 500 300 96 96");
    Command(ID_SHOW_HISTOGRAM);
    const RECT placed = WindowRect(View().Histogram().m_hWnd);
    EXPECT_EQ(300, placed.left);
    EXPECT_EQ(260, placed.top);
    EXPECT_EQ(283, placed.right - placed.left);  // the size is always this display's default
    EXPECT_EQ(129, placed.bottom - placed.top);
    Command(ID_SHOW_HISTOGRAM);

    WriteValue(L"ShootingDataWindow", L"43 0 1 -1 -1 -1 -1 300 260 500 300 96 96");
    Command(ID_SHOW_SHOOTING_DATA);
    const RECT view = ViewRect();
    EXPECT_EQ((RECT{view.right - 373, view.bottom - 81, view.right - 8, view.bottom - 8}),
              WindowRect(View().ShootingData().m_hWnd));
}

TEST_F(PanelWindowTest, APanelDraggedNearAWorkAreaEdgeSnapsOneInsideItAndOneBeyondIsPulledBack)
{
    Command(ID_SHOW_HISTOGRAM);
    const HWND panel = View().Histogram().m_hWnd;
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(panel, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const int snap = std::min(4, GetSystemMetrics(SM_CXSIZEFRAME) - 1);
    SetWindowPos(panel, nullptr, work.left + 1 + snap, work.top + 1 + snap + 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r = WindowRect(panel);
    EXPECT_EQ(work.left + 1, r.left);
    EXPECT_EQ(work.top + 1 + snap + 1, r.top);  // one pixel too far to snap
    SetWindowPos(panel, nullptr, work.right + 50, work.bottom + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    r = WindowRect(panel);
    EXPECT_EQ(work.right - 1, r.right);
    EXPECT_EQ(work.bottom - 1, r.bottom);
}

TEST_F(PanelWindowTest, ANewPanelFadesInFromTransparentAndTheFrameLooksAtTheFadeOnFloatingMoves)
{
    SetCursorPos(0, 0);
    Command(ID_SHOW_HISTOGRAM);
    CHistogramWindow& panel = View().Histogram();
    BYTE alpha = 77;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(panel.m_hWnd, nullptr, &alpha, &flags));
    EXPECT_EQ(0, alpha);
    EXPECT_TRUE(panel.Fade().fadeRunning);
    UpdateWindow(panel.m_hWnd);  // the first paint finds nothing to show
    EXPECT_FLOAT_EQ(0.57f, panel.Fade().targetOpacity);

    const RECT r = WindowRect(panel.m_hWnd);
    SetCursorPos(r.left + 10, r.bottom + 1 + 32);  // 32 below the rectangle grown by one
    SendMessageW(m_frame.m_hWnd, WM_APP_FLOATING_MOUSE_MOVE, reinterpret_cast<WPARAM>(panel.m_hWnd), 0);
    EXPECT_NEAR(1.0f - 0.43f * 0.5f, panel.Fade().targetOpacity, 1e-5f);
    SetCursorPos(r.left + 10, r.top + 10);
    SendMessageW(m_frame.m_hWnd, WM_APP_FLOATING_MOUSE_MOVE, 0, 0);
    EXPECT_FLOAT_EQ(1.0f, panel.Fade().targetOpacity);

    // Leaving the frame sends the panel to its minimum.
    SendMessageW(m_frame.m_hWnd, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_FLOAT_EQ(0.57f, panel.Fade().targetOpacity);
}

TEST_F(PanelWindowTest, HoveringFadesUpOnceAndLeavingWaitsLongerForTheFirstTick)
{
    Command(ID_SHOW_SHOOTING_DATA);
    CShootingDataWindow& panel = View().ShootingData();
    FrameMessageRecorder recorder(m_frame.m_hWnd);
    const RECT r = WindowRect(panel.m_hWnd);
    SetCursorPos(r.left + 20, r.top + 20);
    SendMessageW(panel.m_hWnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 20));
    EXPECT_TRUE(panel.Fade().hovering);
    EXPECT_FLOAT_EQ(1.0f, panel.Fade().targetOpacity);
    EXPECT_TRUE(FrameMessageRecorder::Saw(WM_APP_FLOATING_MOUSE_MOVE));

    // Run the fade to its end, then leave: the next tick is the delayed one.
    for (int tick = 0; tick < 40 && panel.Fade().fadeRunning; ++tick)
        SendMessageW(panel.m_hWnd, WM_TIMER, panel.Fade().timerId, 0);
    ASSERT_FALSE(panel.Fade().fadeRunning);
    SendMessageW(panel.m_hWnd, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_FALSE(panel.Fade().hovering);
    EXPECT_TRUE(panel.Fade().fadeRunning);
    EXPECT_TRUE(panel.Fade().delayedFirstTick);
}

TEST_F(PanelWindowTest, TheWheelOverAPanelReachesTheFrame)
{
    Command(ID_SHOW_HISTOGRAM);
    FrameMessageRecorder recorder(m_frame.m_hWnd);
    SendMessageW(View().Histogram().m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_TRUE(FrameMessageRecorder::Saw(WM_MOUSEWHEEL));
}

TEST_F(PanelWindowTest, TheContextMenuIsTheLanguageLibrarysAndItsCommandsGoToTheFrame)
{
    Command(ID_SHOW_HISTOGRAM);
    HWND owner = nullptr;
    int items = 0;
    ScopedModalSeam seam(ModalSeam{.trackPopup = [&](HMENU menu, UINT, int, int, HWND to) {
        owner = to;
        items = GetMenuItemCount(menu);
        return TRUE;
    }});
    SendMessageW(View().Histogram().m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(m_frame.m_hWnd, owner);
    EXPECT_GT(items, 0);
}

TEST_F(PanelWindowTest, TheEnginesReleaseNoticeClearsBothPanelsRecords)
{
    ImageInfo info;
    View().Histogram().SetImageInfo(&info);
    View().ShootingData().SetImageInfo(&info);
    SendMessageW(m_frame.m_hWnd, WM_APP_ENTRY_RELEASED, 0, 0);
    EXPECT_EQ(nullptr, View().Histogram().Information());
    EXPECT_EQ(nullptr, View().ShootingData().Information());
}

TEST_F(PanelWindowTest, ThePanelsOpenAtStartWhenTheirSettingsShowThem)
{
    AppSettings::ShowHistogram = 1;
    AppSettings::ShowShootingData = 0;
    CFrameViewToggles(m_frame).PostStartToggles();
    PumpFor(50);
    EXPECT_TRUE(View().Histogram().IsWindow());
    EXPECT_FALSE(View().ShootingData().IsWindow());
}
