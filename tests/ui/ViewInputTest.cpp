#include "Viewer/ui/ViewInput.h"
#include "Framework/MessageLoop.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/ui/MainFrame.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedComApartment.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gmock/gmock.h>
#include <map>
#include <vector>

namespace {

struct PanStepCase {
    int distance;
    float ratio;
    float acceleration;
    int step;
};

TEST(PanStepTest, GrowsWithTheRatioAndTheSpeedOfTheMove)
{
    const PanStepCase cases[] = {
        {10, 4.0f, 1.0f, 37},  // trunc((9 x 3 x 1 x 0.1 + 1) x 10 + 0.5)
        {1, 4.0f, 1.0f, 1},    // one-pixel moves are never accelerated
        {10, 1.0f, 1.0f, 10},  // Shift, or a picture shown at its size
        {20, 4.0f, 1.0f, 80},  // the speed term stops growing at 11 pixels
        {5, 3.0f, 1.0f, 9},
        {10, 4.0f, 0.0f, 10},  // no acceleration
        {10, 4.0f, 2.0f, 64},
    };
    for (const PanStepCase& c : cases) {
        EXPECT_EQ(c.step, PanStep(c.distance, c.ratio, c.acceleration)) << c.distance << " " << c.ratio << " " << c.acceleration;
    }
}

TEST(KeepAnchorFromEdgesTest, MovesTheAnchorAtLeast64PixelsInsideTheMonitor)
{
    const RECT primary{0, 0, 1920, 1080};
    const RECT left{-1920, 0, 0, 1080};
    const struct {
        POINT anchor;
        const RECT& monitor;
        POINT kept;
    } cases[] = {{{10, 300}, primary, {64, 300}},
                 {{1900, 1070}, primary, {1856, 1016}},
                 {{500, 500}, primary, {500, 500}},
                 {{-1915, 2}, left, {-1856, 64}}};
    for (const auto& c : cases) {
        const POINT kept = KeepAnchorFromEdges(c.anchor, c.monitor);
        EXPECT_EQ(c.kept.x, kept.x) << c.anchor.x;
        EXPECT_EQ(c.kept.y, kept.y) << c.anchor.y;
    }
}

TEST(ArrowKeyStepTest, IsAThirtiethAThirdOrAllOfTheClientAndAtLeastOnePixel)
{
    const struct {
        int extent;
        bool control, shift;
        int step;
    } cases[] = {{1000, false, false, 33}, {1000, false, true, 333}, {1000, true, false, 1000},
                 {1000, true, true, 333},  {20, false, false, 1},    {0, true, false, 1}};
    for (const auto& c : cases) EXPECT_EQ(c.step, ArrowKeyStep(c.extent, c.control, c.shift)) << c.extent;
}

// The frame with its view over a list of one picture; the desktop's cursor and key state are this
// test's, and the view's show and hide calls are counted instead of reaching the real counter.
class ViewInputTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        RegisterMessageLoop(&m_loop);
        ASSERT_TRUE(m_frame.CreateMainWindow());
        MoveWindow(View().m_hWnd, 0, 0, 600, 300, FALSE);
        GetWindowRect(View().m_hWnd, &m_viewScreen);
        m_frame.Engine().PrepareList(L"*.jpg");
        ASSERT_TRUE(m_frame.Engine().AddFileToList(m_folder.File(L"a.jpg").c_str(), FILETIME{}, false));
        AppSettings::RightClickMagnifier = 200;
        AppSettings::HideZoomMouseCursor = 1;
        AppSettings::AutoHideMouseCursor = 0;
        AppSettings::AutoHideTaskbar = 0;
        AppSettings::SmartMouseAcceleration = 100;
        ShowPicture(2400, 1200, false);
    }
    void TearDown() override
    {
        View().SetActualSize(false);
        m_frame.DestroyWindow();
        UnregisterMessageLoop();
        AppSettings::RightClickMagnifier = 300;
        AppSettings::AutoHideMouseCursor = 1;
    }

    CImageView& View() { return m_frame.View(); }
    void ShowPicture(int width, int height, bool owns)
    {
        View().SetImage(width, height, nullptr, nullptr, 0, nullptr, nullptr, nullptr, owns, nullptr);
    }
    // Lays out the view as a paint would.
    void Layout()
    {
        RECT client{}, source{};
        bool upscaled = false;
        GetClientRect(View().m_hWnd, &client);
        View().LayoutImage(source, client, upscaled);
    }
    void Send(UINT message) { SendMessageW(View().m_hWnd, message, 0, 0); }
    void MoveTo(POINT p)
    {
        m_cursor = p;
        Send(WM_MOUSEMOVE);
    }
    // Whether the frame's queue held message (and takes it out).
    bool FrameGot(UINT message, WPARAM wParam = 0)
    {
        MSG msg{};
        bool got = false;
        while (PeekMessageW(&msg, m_frame.m_hWnd, message, message, PM_REMOVE)) got |= msg.wParam == wParam;
        return got;
    }
    POINT ViewPoint(LONG x, LONG y) const { return {m_viewScreen.left + x, m_viewScreen.top + y}; }

    const ScopedComApartment m_apartment;
    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox m_sandbox;
    TempFolder m_folder;
    MessageLoop m_loop;
    CMainFrame m_frame{false, false};
    RECT m_viewScreen{};
    POINT m_cursor{};
    std::vector<POINT> m_moves;
    int m_shown = 0;  // net ShowCursor count of the view
    std::map<int, bool> m_keys;
    ScopedViewInputSeam m_seam{ViewInputSeam{
        [this] { return m_cursor; },
        [this](POINT p) {
            m_moves.push_back(p);
            m_cursor = p;
        },
        [this](bool show) { return m_shown += show ? 1 : -1; },
        [this](int key) -> SHORT { return m_keys[key] ? SHORT(0x8000) : SHORT(0); }}};
};

TEST_F(ViewInputTest, HoldingTheLeftButtonZoomsOneToOneAroundTheCursorAndDraggingPansTheHiddenCursor)
{
    Layout();  // fit: 600 x 300, four picture pixels to one
    m_cursor = ViewPoint(450, 150);
    Send(WM_LBUTTONDOWN);
    EXPECT_TRUE(FrameGot(WM_APP_USER_ACTIVITY));
    EXPECT_TRUE(View().IsDragging());
    EXPECT_TRUE(View().IsLeftZoom());
    EXPECT_EQ(-1, m_shown);
    EXPECT_EQ(450, View().PanX());  // trunc(150 x 4) - 150: the picture point under the cursor stays
    EXPECT_EQ(0, View().PanY());

    const POINT anchor = m_cursor;
    MoveTo({anchor.x + 10, anchor.y});
    EXPECT_EQ(450 - 37, View().PanX());
    EXPECT_EQ(anchor.x, m_cursor.x);  // put back on the anchor
    m_keys[VK_SHIFT] = true;
    MoveTo({anchor.x - 10, anchor.y + 1});
    EXPECT_EQ(450 - 37 + 10, View().PanX());
    EXPECT_EQ(-1, View().PanY());

    Send(WM_LBUTTONUP);
    EXPECT_FALSE(View().IsDragging());
    EXPECT_FALSE(View().IsLeftZoom());
    EXPECT_EQ(0, m_shown);
    EXPECT_EQ(0, View().PanX());
}

TEST_F(ViewInputTest, InvertedScrollingMovesThePictureTheOtherWay)
{
    AppSettings::EnableInvertedZoomScrolling = 1;
    AppSettings::HideZoomMouseCursor = 0;
    Layout();
    m_cursor = ViewPoint(300, 150);
    Send(WM_LBUTTONDOWN);
    const int start = View().PanX();
    MoveTo({m_cursor.x + 10, m_cursor.y});
    AppSettings::EnableInvertedZoomScrolling = 0;
    EXPECT_EQ(start + 37, View().PanX());
    EXPECT_TRUE(m_moves.empty());  // a visible cursor is never moved
    Send(WM_LBUTTONUP);
    EXPECT_EQ(0, m_shown);
}

TEST_F(ViewInputTest, APressWithoutAListedPictureOnlyTellsTheFrameTheUserIsActive)
{
    ShowPicture(72, 100, true);  // the placeholder
    Send(WM_LBUTTONDOWN);
    EXPECT_TRUE(FrameGot(WM_APP_USER_ACTIVITY));
    EXPECT_FALSE(View().IsDragging());
    EXPECT_FALSE(View().IsLeftZoom());

    ShowPicture(2400, 1200, false);
    AppSettings::RightClickMagnifier = 0;
    Send(WM_RBUTTONDOWN);
    EXPECT_TRUE(FrameGot(WM_APP_USER_ACTIVITY));
    EXPECT_FALSE(View().IsMagnifier());
    EXPECT_FALSE(View().IsDragging());
    EXPECT_EQ(0, m_shown);
}

TEST_F(ViewInputTest, ARightPressDuringALeftZoomKeepsTheDragAndItsReleaseReturnsToTheLeftZoom)
{
    Layout();
    m_cursor = ViewPoint(300, 150);
    Send(WM_LBUTTONDOWN);
    Send(WM_RBUTTONDOWN);
    EXPECT_TRUE(View().IsMagnifier());
    EXPECT_EQ(-1, m_shown);  // one drag, one hidden cursor
    m_keys[GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON] = true;
    Send(WM_RBUTTONUP);
    EXPECT_FALSE(View().IsMagnifier());
    EXPECT_TRUE(View().IsLeftZoom());
    EXPECT_TRUE(View().IsDragging());
    Send(WM_LBUTTONUP);
    EXPECT_FALSE(View().IsDragging());
    EXPECT_EQ(0, m_shown);
}

TEST_F(ViewInputTest, AnAnchorNearTheScreenEdgeIsMovedInsideAndTheCursorComesBackAfterTheDrag)
{
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(View().m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const POINT start{monitor.rcMonitor.left + 10, monitor.rcMonitor.top + 100};
    m_cursor = start;
    Send(WM_LBUTTONDOWN);
    ASSERT_EQ(1u, m_moves.size());
    EXPECT_EQ(monitor.rcMonitor.left + 64, m_moves[0].x);
    EXPECT_EQ(start.y, m_moves[0].y);
    Send(WM_LBUTTONUP);
    ASSERT_EQ(2u, m_moves.size());
    EXPECT_EQ(start.x, m_moves[1].x);
}

TEST_F(ViewInputTest, ArrowKeysPanOnlyInTheZoomStatesByAThirtiethAThirdOrAWholeClient)
{
    EXPECT_FALSE(View().OnKeyDown(VK_RIGHT));  // fit: the frame's navigation keys
    View().SetActualSize(true);
    EXPECT_FALSE(View().OnKeyDown(VK_SPACE));
    EXPECT_TRUE(View().OnKeyDown(VK_RIGHT));
    EXPECT_EQ(20, View().PanX());
    m_keys[VK_SHIFT] = true;
    EXPECT_TRUE(View().OnKeyDown(VK_LEFT));
    EXPECT_EQ(20 - 200, View().PanX());
    m_keys[VK_SHIFT] = false;
    m_keys[VK_CONTROL] = true;
    EXPECT_TRUE(View().OnKeyDown(VK_DOWN));
    EXPECT_EQ(300, View().PanY());
    Layout();  // the next layout keeps the pan inside the picture
    EXPECT_EQ(300, View().PanY());
    EXPECT_TRUE(View().OnKeyDown(VK_DOWN));
    Layout();
    EXPECT_EQ(450, View().PanY());

    ShowPicture(500, 200, false);  // fits: handled, nothing moves
    EXPECT_TRUE(View().OnKeyDown(VK_UP));
    EXPECT_EQ(0, View().PanY());
}

TEST_F(ViewInputTest, AStillCursorIsHiddenAfterItsRestAndShownByTheNextMove)
{
    AppSettings::AutoHideMouseCursor = 1;
    MoveTo(ViewPoint(100, 100));
    m_cursor = ViewPoint(101, 101);
    View().OnInputTimer(CImageView::TIMER_CURSOR_HIDE);
    EXPECT_TRUE(View().IsCursorHidden());
    EXPECT_EQ(-1, m_shown);
    MoveTo(ViewPoint(102, 100));  // within 2 pixels: stays hidden
    EXPECT_TRUE(View().IsCursorHidden());
    MoveTo(ViewPoint(105, 100));
    EXPECT_FALSE(View().IsCursorHidden());
    EXPECT_EQ(0, m_shown);

    MoveTo(ViewPoint(200, 100));  // moved away before the timer: not hidden
    m_cursor = ViewPoint(210, 100);
    View().OnInputTimer(CImageView::TIMER_CURSOR_HIDE);
    EXPECT_FALSE(View().IsCursorHidden());
}

TEST_F(ViewInputTest, RestInTheBottomBandShowsTheControlBarAndRestElsewhereIsUserActivity)
{
    AppSettings::AutoHideTaskbar = 1;
    MoveTo(ViewPoint(100, 295));
    View().OnInputTimer(CImageView::TIMER_BAR_SHOW);
    EXPECT_TRUE(FrameGot(WM_COMMAND, ID_TOGGLE_TASKBAR));

    MoveTo(ViewPoint(100, 100));
    m_cursor = ViewPoint(102, 100);  // more than a pixel away when the timer fires
    View().OnInputTimer(CImageView::TIMER_USER_ACTIVITY);
    EXPECT_FALSE(FrameGot(WM_APP_USER_ACTIVITY));
    MoveTo(ViewPoint(150, 100));
    View().OnInputTimer(CImageView::TIMER_USER_ACTIVITY);
    AppSettings::AutoHideTaskbar = 0;
    EXPECT_TRUE(FrameGot(WM_APP_USER_ACTIVITY));
}

}  // namespace

// Leaving the frame or entering the control bar gives the hidden cursor back, and no rest noted
// before either hides it again.
TEST_F(ViewInputTest, LeavingTheFrameOrEnteringTheBarShowsTheCursorAndForgetsTheRest)
{
    AppSettings::AutoHideMouseCursor = 1;
    for (UINT message : {UINT(WM_NCMOUSELEAVE), UINT(WM_APP_CONTROLBAR_MOUSE_ENTER)}) {
        MoveTo(ViewPoint(100, 100));
        View().OnInputTimer(CImageView::TIMER_CURSOR_HIDE);
        ASSERT_TRUE(View().IsCursorHidden());
        SendMessageW(m_frame.m_hWnd, message, 0, 0);
        EXPECT_FALSE(View().IsCursorHidden()) << message;
        EXPECT_EQ(0, m_shown) << message;
        View().OnInputTimer(CImageView::TIMER_CURSOR_HIDE);
        EXPECT_FALSE(View().IsCursorHidden()) << "the rest position was forgotten: " << message;
    }
}
