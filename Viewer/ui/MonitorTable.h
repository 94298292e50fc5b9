#pragma once
// The display monitors, listed once, so that the start-up can put the frame on monitor N, windowed
// or maximized; and the start-up's fit of the frame into its monitor.
#include <windows.h>

struct MonitorTableData {
    static constexpr int Capacity = 16;
    MONITORINFOEXW monitors[Capacity]{};
    int count = 0;
};
// Filled on the first MoveWindowToMonitor, never refreshed.
inline MonitorTableData MonitorTable;

// EnumDisplayMonitors callback; lParam is the table to fill. Stops at the table's capacity.
BOOL CALLBACK MonitorEnumProc(HMONITOR monitor, HDC, RECT*, LPARAM table);

// Moves and fits the window onto the work area of monitor n (1-based); n, or 0 when there is no such monitor.
int MoveWindowToMonitor(HWND window, int n);
// Fills a maximizing placement on the whole of monitor n; 1, or 0 when n is out of range of the table.
int GetMonitorPlacement(int n, WINDOWPLACEMENT* placement);

// The window's rectangle made to fit into an area: at most the area's size, even and 2 pixels short,
// centred in it.
RECT FitWindowRectIntoArea(const RECT& window, const RECT& area);
// Applies that fit without repainting; true when the window's monitor changes.
bool MoveWindowIntoRect(HWND window, const RECT& area);

// Fits the window's rectangle to its monitor (AdjustRectToMonitor flags) and applies it asynchronously.
void AdjustAndSetWindowRect(HWND window, UINT flags);
