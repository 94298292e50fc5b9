#include "Viewer/core/WindowPlacement.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include <algorithm>
#include <cwchar>

namespace {
constexpr UINT kPlacementLength = sizeof(WINDOWPLACEMENT);
static_assert(kPlacementLength == 44);
constexpr DWORD kValueBytes = 256;


bool WritePlacement(const WINDOWPLACEMENT& placement, const wchar_t* name, HKEY root)
{
    RegKey key;
    if (key.Create(root, AppSettings::KeyPath) != ERROR_SUCCESS) return false;
    const ScreenDpi dpi = CurrentScreenDpi();
    return key.SetString(name, FormatPlacementText(placement, dpi.x, dpi.y)) == ERROR_SUCCESS;
}

void ShowWithoutPlacement(HWND owner, int showCommand)
{
    ShowWindow(owner, showCommand < 0 ? SW_SHOWNORMAL : showCommand);
}

// The value as text, or false when it is missing, of another type, of odd size or unterminated.
bool ReadPlacementValue(HKEY key, const wchar_t* name, std::wstring& text)
{
    wchar_t buffer[kValueBytes / sizeof(wchar_t)]{};
    DWORD type = 0;
    DWORD size = kValueBytes;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size % sizeof(wchar_t) != 0) return false;
    if (size != 0 && buffer[size / sizeof(wchar_t) - 1] != L'\0') return false;
    text = buffer;
    return true;
}

HMONITOR NearestMonitor(const RECT& rect, MONITORINFO& info)
{
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    return monitor;
}

LONG ScaleExtent(LONG extent, int currentDpi, int storedDpi)
{
    const float factor = static_cast<float>(currentDpi) / static_cast<float>(storedDpi ? storedDpi : 96);
    return static_cast<LONG>(static_cast<float>(extent) * factor + 0.5f);
}
}

ScreenDpi CurrentScreenDpi()
{
    HDC screen = GetDC(nullptr);
    ScreenDpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::wstring FormatPlacementText(const WINDOWPLACEMENT& p, int dpiX, int dpiY)
{
    wchar_t text[128]{};
    swprintf(text, std::size(text), L"%d %d %d %d %d %d %d %d %d %d %d %d %d", static_cast<int>(p.length),
             static_cast<int>(p.flags), static_cast<int>(p.showCmd), static_cast<int>(p.ptMinPosition.x),
             static_cast<int>(p.ptMinPosition.y), static_cast<int>(p.ptMaxPosition.x),
             static_cast<int>(p.ptMaxPosition.y), static_cast<int>(p.rcNormalPosition.left),
             static_cast<int>(p.rcNormalPosition.top), static_cast<int>(p.rcNormalPosition.right),
             static_cast<int>(p.rcNormalPosition.bottom), dpiX, dpiY);
    return text;
}

ParsedPlacement ParsePlacementText(std::wstring_view text)
{
    int fields[13]{};
    size_t count = 0;
    const std::wstring copy(text);
    const wchar_t* cursor = copy.c_str();
    while (count < std::size(fields)) {
        wchar_t* end = nullptr;
        const long value = std::wcstol(cursor, &end, 10);
        if (end == cursor) break;
        fields[count++] = static_cast<int>(value);
        cursor = end;
    }
    ParsedPlacement parsed;
    WINDOWPLACEMENT& p = parsed.placement;
    p.length = static_cast<UINT>(fields[0]);
    p.flags = static_cast<UINT>(fields[1]);
    p.showCmd = static_cast<UINT>(fields[2]);
    p.ptMinPosition = {fields[3], fields[4]};
    p.ptMaxPosition = {fields[5], fields[6]};
    p.rcNormalPosition = {fields[7], fields[8], fields[9], fields[10]};
    parsed.dpiX = fields[11];
    parsed.dpiY = fields[12];
    return parsed;
}

RECT ClampRectToArea(const RECT& rect, const RECT& area)
{
    return FitRectToArea(rect, area, false);
}

RECT FitRectToArea(const RECT& rect, const RECT& area, bool centre)
{
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    RECT result{};
    if (centre) {
        result.left = area.left + (area.right - area.left - width) / 2;
        result.top = area.top + (area.bottom - area.top - height) / 2;
    } else {
        result.left = std::max(area.left, std::min(area.right - width, rect.left));
        result.top = std::max(area.top, std::min(area.bottom - height, rect.top));
    }
    result.right = result.left + width;
    result.bottom = result.top + height;
    return result;
}

RECT ClampRectToMonitor(const RECT& rect)
{
    MONITORINFO info{};
    NearestMonitor(rect, info);
    return ClampRectToArea(rect, info.rcWork);
}

RECT AdjustRectToMonitor(const RECT& rect, UINT flags)
{
    MONITORINFO info{};
    NearestMonitor(rect, info);
    return FitRectToArea(rect, (flags & 2) ? info.rcWork : info.rcMonitor, (flags & 1) != 0);
}

bool SaveWindowPlacement(HWND owner, const wchar_t* name, HKEY root)
{
    WINDOWPLACEMENT placement{};
    placement.length = kPlacementLength;
    if (!GetWindowPlacement(owner, &placement)) return false;
    return WritePlacement(placement, name, root);
}

bool SaveGivenWindowPlacement(const WINDOWPLACEMENT& placement, const wchar_t* name, HKEY root)
{
    return WritePlacement(placement, name, root);
}

bool LoadWindowPlacement(HWND owner, int showCommand, const wchar_t* subkey, const wchar_t* name, HKEY root,
                         bool rescale)
{
    RegKey key;
    if (key.Open(root, subkey, KEY_READ) != ERROR_SUCCESS) {
        ShowWithoutPlacement(owner, showCommand);
        return false;
    }
    return ApplyPlacementString(owner, showCommand, key.Get(), name, rescale);
}

bool RestoreWindowPlacement(HWND owner, const wchar_t* name, HKEY root, bool rescale)
{
    return LoadWindowPlacement(owner, -1, AppSettings::KeyPath, name, root, rescale);
}

bool ApplyPlacementString(HWND owner, int showCommand, HKEY key, const wchar_t* name, bool rescale)
{
    std::wstring text;
    ParsedPlacement parsed;
    if (ReadPlacementValue(key, name, text)) parsed = ParsePlacementText(text);
    WINDOWPLACEMENT& p = parsed.placement;
    if (p.length != kPlacementLength) {
        ShowWithoutPlacement(owner, showCommand);
        return false;
    }
    if (showCommand >= 0)
        p.showCmd = static_cast<UINT>(showCommand);
    else if (p.showCmd == SW_SHOWMINIMIZED)
        p.showCmd = SW_SHOWNORMAL;
    p.flags |= WPF_ASYNCWINDOWPLACEMENT;
    p.rcNormalPosition = ClampRectToMonitor(p.rcNormalPosition);
    if (rescale) {
        const ScreenDpi dpi = CurrentScreenDpi();
        RECT& r = p.rcNormalPosition;
        r.right = r.left + ScaleExtent(r.right - r.left, dpi.x, parsed.dpiX);
        r.bottom = r.top + ScaleExtent(r.bottom - r.top, dpi.y, parsed.dpiY);
    }
    return SetWindowPlacement(owner, &p) != FALSE;
}

bool IsWindowMaximized(HWND owner)
{
    WINDOWPLACEMENT placement{};
    placement.length = kPlacementLength;
    return GetWindowPlacement(owner, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
}

POINT ContextMenuPoint(LPARAM point) noexcept
{
    POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    if (MonitorFromPoint(at, MONITOR_DEFAULTTONULL)) return at;
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
    at.x = std::clamp(at.x, monitor.rcWork.left, monitor.rcWork.right);
    return at;
}
