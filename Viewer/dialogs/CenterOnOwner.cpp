#include "Viewer/dialogs/CenterOnOwner.h"

void CenterOnOwner(HWND dialog)
{
    RECT bounds{};
    GetWindowRect(dialog, &bounds);
    RECT area{};
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
    }
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
