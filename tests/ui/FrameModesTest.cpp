#include "tests/ui/FrameTest.h"

namespace {
using FrameModesTest = FrameTest;

// Whether the frame's timer runs, leaving it running.
bool TimerRuns(HWND frame, UINT_PTR id)
{
    // Setting a running timer again restarts it; a timer that was not running is set and killed again.
    return KillTimer(frame, id) ? (SetTimer(frame, id, 60000, nullptr), true) : false;
}

TEST_F(FrameModesTest, AtMostOneModeRunsAndEachSwitchKeepsItsTimers)
{
    HWND frame = m_frame.m_hWnd;
    CFrameModes& modes = m_frame.Modes();
    const struct {
        WORD command;
        bool slideshow, track;
    } steps[] = {
        {ID_AUTO_MODE, true, false},  {ID_AUTO_MODE, false, false}, {ID_TRACK_MODE, false, true},
        {ID_AUTO_MODE, true, false},  {ID_TRACK_MODE, false, true}, {ID_TRACK_MODE, false, false},
    };
    for (const auto& step : steps) {
        SendMessageW(frame, WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.slideshow, modes.IsSlideshowRunning()) << step.command;
        EXPECT_EQ(step.track, modes.IsTrackMode()) << step.command;
        EXPECT_EQ(step.slideshow, TimerRuns(frame, TIMER_FRAME_SLIDESHOW)) << step.command;
    }
}

TEST_F(FrameModesTest, TheScreenSaverWaitsWhileAModeShowsPictures)
{
    HWND frame = m_frame.m_hWnd;
    EXPECT_NE(-1, SendMessageW(frame, WM_SYSCOMMAND, SC_SCREENSAVE, 0)) << "no mode runs";
    for (const WORD command : {ID_AUTO_MODE, ID_TRACK_MODE, ID_DEVICE_MODE}) {
        SendMessageW(frame, WM_COMMAND, command, 0);
        ASSERT_TRUE(m_frame.Modes().AnyModeRunning()) << command;
        EXPECT_EQ(-1, SendMessageW(frame, WM_SYSCOMMAND, SC_SCREENSAVE, 0)) << command;
        SendMessageW(frame, WM_COMMAND, command, 0);
        ASSERT_FALSE(m_frame.Modes().AnyModeRunning()) << command;
        EXPECT_NE(-1, SendMessageW(frame, WM_SYSCOMMAND, SC_SCREENSAVE, 0)) << command;
    }
}

TEST_F(FrameModesTest, EndingTrackModeForgetsTheFileWaitingForItsOpen)
{
    HWND frame = m_frame.m_hWnd;
    SendMessageW(frame, WM_COMMAND, ID_TRACK_MODE, 0);
    SendMessageW(frame, WM_APP_OPEN_FILE_DEFERRED, 1, reinterpret_cast<LPARAM>(SysAllocString(L"C:\\shoot\\a")));
    SendMessageW(frame, WM_COMMAND, ID_AUTO_MODE, 0);
    EXPECT_FALSE(TimerRuns(frame, TIMER_FRAME_DEFERRED_OPEN));
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_DEFERRED_OPEN, 0);
    // The slideshow may post its own commands; none of them is the open by the waiting name.
    constexpr LPARAM kByPendingName = -2;
    MSG posted{};
    while (PeekMessageW(&posted, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        EXPECT_FALSE(LOWORD(posted.wParam) == ID_NAV_NEXT && posted.lParam == kByPendingName) << "nothing is opened";
    m_frame.Modes().StopSlideshow();
    EXPECT_FALSE(m_frame.Modes().AnyModeRunning());
}
}
