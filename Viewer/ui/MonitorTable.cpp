#include "Viewer/ui/MonitorTable.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/WindowPlacement.h"
#include <algorithm>

BOOL CALLBACK MonitorEnumProc(HMONITOR monitor, HDC, RECT*, LPARAM table)
{
    LastActivityCode = 5;
    auto& data = *reinterpret_cast<MonitorTableData*>(table);
    if (data.count >= MonitorTableData::Capacity) return FALSE;
    MONITORINFOEXW& record = data.monitors[data.count];
    record = MONITORINFOEXW{};
    record.cbSize = sizeof(MONITORINFOEXW);
    GetMonitorInfoW(monitor, &record);
    ++data.count;
    LastActivityCode = 6;
    return data.count < MonitorTableData::Capacity;
}

int MoveWindowToMonitor(HWND window, int n)
{
    LastActivityCode = 9;
    if (n < 1) return 0;
    if (MonitorTable.count == 0)
        EnumDisplayMonitors(nullptr, nullptr, &MonitorEnumProc, reinterpret_cast<LPARAM>(&MonitorTable));
    if (n > MonitorTable.count) return 0;
    MoveWindowIntoRect(window, MonitorTable.monitors[n - 1].rcWork);
    LastActivityCode = 10;
    return n;
}

int GetMonitorPlacement(int n, WINDOWPLACEMENT* placement)
{
    LastActivityCode = 11;
    if (n < 1 || n > MonitorTable.count) return 0;
    *placement = WINDOWPLACEMENT{};
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags = WPF_RESTORETOMAXIMIZED;
    placement->showCmd = SW_SHOWNORMAL;
    placement->ptMinPosition = {-1, -1};
    placement->ptMaxPosition = {-1, -1};
    placement->rcNormalPosition = MonitorTable.monitors[n - 1].rcMonitor;
    LastActivityCode = 12;
    return 1;
}

RECT FitWindowRectIntoArea(const RECT& window, const RECT& area)
{
    const LONG areaWidth = area.right - area.left;
    const LONG areaHeight = area.bottom - area.top;
    const LONG width = (std::min(window.right - window.left, areaWidth) & ~1L) - 2;
    const LONG height = (std::min(window.bottom - window.top, areaHeight) & ~1L) - 2;
    const LONG x = area.left + areaWidth / 2 - width / 2;
    const LONG y = area.top + areaHeight / 2 - height / 2;
    return RECT{x, y, x + width, y + height};
}

bool MoveWindowIntoRect(HWND window, const RECT& area)
{
    LastActivityCode = 7;
    RECT current{};
    GetWindowRect(window, &current);
    const bool monitorChanges = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) !=
                                MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
    const RECT fitted = FitWindowRectIntoArea(current, area);
    MoveWindow(window, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top, FALSE);
    LastActivityCode = 8;
    return monitorChanges;
}

void AdjustAndSetWindowRect(HWND window, UINT flags)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const RECT adjusted = AdjustRectToMonitor(rect, flags);
    SetWindowPos(window, nullptr, adjusted.left, adjusted.top, adjusted.right - adjusted.left,
                 adjusted.bottom - adjusted.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}
