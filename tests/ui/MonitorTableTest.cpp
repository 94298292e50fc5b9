#include "Viewer/ui/MonitorTable.h"
#include <gtest/gtest.h>
#include <array>

namespace {
using Corners = std::array<LONG, 4>;

Corners CornersOf(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Corners WindowCorners(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return CornersOf(rect);
}

class MonitorWindow : public testing::Test {
protected:
    void SetUp() override
    {
        MonitorTable = MonitorTableData{};
        m_window = CreateWindowExW(0, L"STATIC", L"monitor", WS_POPUP, 10, 20, 1000, 700, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(m_window);
    }
    void TearDown() override { DestroyWindow(m_window); }
    HWND m_window = nullptr;
};
}

TEST(MonitorFit, WindowIsCentredEvenAndTwoPixelsShortOfTheArea)
{
    EXPECT_EQ((Corners{2381, 171, 3379, 869}),
              CornersOf(FitWindowRectIntoArea(RECT{0, 0, 1000, 700}, RECT{1920, 0, 3840, 1040})));
    EXPECT_EQ((Corners{1, 1, 1279, 983}),
              CornersOf(FitWindowRectIntoArea(RECT{0, 0, 2000, 1200}, RECT{0, 0, 1280, 984})));
}

TEST(MonitorEnumeration, ListsAtMostSixteenMonitors)
{
    MonitorTableData table;
    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(MonitorEnumProc(primary, nullptr, nullptr, reinterpret_cast<LPARAM>(&table)));
    EXPECT_FALSE(MonitorEnumProc(primary, nullptr, nullptr, reinterpret_cast<LPARAM>(&table)));
    EXPECT_FALSE(MonitorEnumProc(primary, nullptr, nullptr, reinterpret_cast<LPARAM>(&table)));
    EXPECT_EQ(16, table.count);
    EXPECT_EQ(sizeof(MONITORINFOEXW), table.monitors[15].cbSize);
}

TEST_F(MonitorWindow, NumberBeyondTheMonitorsLeavesTheWindowWhereItIs)
{
    const Corners before = WindowCorners(m_window);
    EXPECT_EQ(0, MoveWindowToMonitor(m_window, 0));
    EXPECT_EQ(0, MoveWindowToMonitor(m_window, GetSystemMetrics(SM_CMONITORS) + 1));
    EXPECT_EQ(before, WindowCorners(m_window));
    WINDOWPLACEMENT placement{};
    EXPECT_EQ(0, GetMonitorPlacement(GetSystemMetrics(SM_CMONITORS) + 1, &placement));
}

TEST_F(MonitorWindow, FirstMonitorTakesTheWindowIntoItsWorkArea)
{
    ASSERT_EQ(1, MoveWindowToMonitor(m_window, 1));
    const RECT work = MonitorTable.monitors[0].rcWork;
    EXPECT_EQ(CornersOf(FitWindowRectIntoArea(RECT{10, 20, 1010, 720}, work)), WindowCorners(m_window));
}

TEST_F(MonitorWindow, PlacementForAMonitorMaximizesOnItsWholeRectangle)
{
    WINDOWPLACEMENT placement{};
    EXPECT_EQ(0, GetMonitorPlacement(1, &placement)) << "the table is filled by the move";
    ASSERT_EQ(1, MoveWindowToMonitor(m_window, 1));
    ASSERT_EQ(1, GetMonitorPlacement(1, &placement));
    EXPECT_EQ(44u, placement.length);
    EXPECT_EQ(UINT{WPF_RESTORETOMAXIMIZED}, placement.flags);
    EXPECT_EQ(UINT{SW_SHOWNORMAL}, placement.showCmd);
    EXPECT_EQ(-1, placement.ptMinPosition.x);
    EXPECT_EQ(-1, placement.ptMaxPosition.y);
    EXPECT_EQ(CornersOf(MonitorTable.monitors[0].rcMonitor), CornersOf(placement.rcNormalPosition));
}
