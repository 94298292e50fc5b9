#pragma once
// A window's placement kept as one REG_SZ value of 13 numbers (the WINDOWPLACEMENT fields and the
// screen DPI it was taken at), and the clamps that keep a rectangle on a monitor. The operations act
// on an owner window; the frame, the panels and the dialogs each pass their own.
#include <windows.h>
#include <string>
#include <string_view>

// The screen's LOGPIXELSX and LOGPIXELSY.
struct ScreenDpi {
    int x;
    int y;
};
ScreenDpi CurrentScreenDpi();

// The value text; dpiX and dpiY are the screen's LOGPIXELSX and LOGPIXELSY.
std::wstring FormatPlacementText(const WINDOWPLACEMENT& placement, int dpiX, int dpiY);

// The numbers of a value text in field order; fields the text lacks stay 0, numbers past the 13th
// are ignored. Only placement.length == 44 makes it usable.
struct ParsedPlacement {
    WINDOWPLACEMENT placement{};
    int dpiX = 0;
    int dpiY = 0;
};
ParsedPlacement ParsePlacementText(std::wstring_view text);

// Moves a rectangle into an area keeping its size; one larger than the area sticks to its left or top.
RECT ClampRectToArea(const RECT& rect, const RECT& area);
// Centres a rectangle in an area (centre) or clamps it into it; the size stays.
RECT FitRectToArea(const RECT& rect, const RECT& area, bool centre);

// The same within the monitor nearest to the rectangle: its work area for the clamp; for the
// adjustment the work area with flag value 2, else the whole monitor, and centred with flag value 1.
RECT ClampRectToMonitor(const RECT& rect);
RECT AdjustRectToMonitor(const RECT& rect, UINT flags);

// Writes the owner's current placement as value `name` of the settings key below root.
bool SaveWindowPlacement(HWND owner, const wchar_t* name, HKEY root = HKEY_CURRENT_USER);
// Writes a placement the caller holds.
bool SaveGivenWindowPlacement(const WINDOWPLACEMENT& placement, const wchar_t* name, HKEY root = HKEY_CURRENT_USER);

// Applies the stored value `name` under subkey. showCommand -1 keeps the stored show command (a
// minimized one comes back normal), 0 or more replaces it. Without a usable value the window is only
// shown (SW_SHOWNORMAL for a negative show command) and the result is false.
bool LoadWindowPlacement(HWND owner, int showCommand, const wchar_t* subkey, const wchar_t* name,
                         HKEY root = HKEY_CURRENT_USER, bool rescale = false);
bool RestoreWindowPlacement(HWND owner, const wchar_t* name, HKEY root = HKEY_CURRENT_USER, bool rescale = false);
bool ApplyPlacementString(HWND owner, int showCommand, HKEY key, const wchar_t* name, bool rescale);

bool IsWindowMaximized(HWND owner);

// The screen point of a WM_CONTEXTMENU's lParam; one on no monitor has its x pulled into the work
// area of the nearest monitor, so that the menu opens where it can be seen.
POINT ContextMenuPoint(LPARAM point) noexcept;
