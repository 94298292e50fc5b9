#include "Viewer/dialogs/ToolWindowFrame.h"
#include "Viewer/core/WindowPlacement.h"
#include "tests/dialogs/OwnerRecorder.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {
TEST(ToolWindowFrameTest, TheMinimumSizeFollowsTheGoldenRatioAndTheWindowSnapsToTheWorkArea)
{
    ASSERT_EQ(96, CurrentScreenDpi().x) << "the test display runs at 96 dots per inch";
    const SIZE minimum = ToolWindowMinimumSize();
    EXPECT_EQ(128, minimum.cx);
    EXPECT_EQ(236, minimum.cy);

    OwnerRecorder window;
    SetWindowPos(window.m_hWnd, nullptr, 300, 300, 200, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int reach = std::min(GetSystemMetrics(SM_CXSIZEFRAME) - 1, 4);
    WINDOWPOS closeBy{nullptr, nullptr, static_cast<int>(work.left) + 1 + reach, static_cast<int>(work.top) + 40, 200,
                   200, SWP_NOZORDER};
    SnapToWorkArea(window.m_hWnd, &closeBy);
    EXPECT_EQ(work.left + 1, closeBy.x);
    EXPECT_EQ(work.top + 40, closeBy.y);
    WINDOWPOS outside{nullptr, nullptr, static_cast<int>(work.right) - 50, static_cast<int>(work.bottom) + 300,
                      200, 200, SWP_NOZORDER};
    SnapToWorkArea(window.m_hWnd, &outside);
    EXPECT_EQ(work.right - 1 - 200, outside.x) << "kept on the monitor, then snapped";
    EXPECT_EQ(work.bottom - 1 - 200, outside.y);
}
}
