#include "Viewer/dialogs/ToolWindowFrame.h"
#include "Viewer/core/WindowPlacement.h"
#include "Viewer/dialogs/DialogSkin.h"
#include <gdiplus.h>
#include <algorithm>
#include <cstdlib>

namespace {
constexpr float MinimumWidth = 128.0f;
constexpr float GoldenRatio = 1.618f;
constexpr float CaptionAllowance = 29.5f;
constexpr LONG LargestSnap = 4;
constexpr float GradientAngle = 77.0f;
constexpr Gdiplus::ARGB GradientTop = 0xFF252B2C;
constexpr Gdiplus::ARGB GradientBottom = 0xFF4A5050;
constexpr float BellFocus = 0.45f;

// One coordinate onto the nearer edge when it lies within reach of it.
LONG SnapCoordinate(LONG position, LONG extent, LONG low, LONG high, LONG reach)
{
    if (std::labs(position - low) <= reach) return low;
    if (std::labs(position + extent - high) <= reach) return high - extent;
    return position;
}

void SnapRect(RECT& rect, const RECT& area, LONG reach)
{
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    rect.left = SnapCoordinate(rect.left, width, area.left, area.right, reach);
    rect.top = SnapCoordinate(rect.top, height, area.top, area.bottom, reach);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
}
}

SIZE ToolWindowMinimumSize()
{
    const ScreenDpi dpi = CurrentScreenDpi();
    const LONG width = static_cast<LONG>(static_cast<float>(dpi.x) / 96.0f * MinimumWidth + 0.5f);
    const LONG height = static_cast<LONG>(static_cast<float>(width) * static_cast<float>(dpi.y) / 96.0f *
                                              GoldenRatio +
                                          CaptionAllowance);
    return {width, height};
}

void ApplyToolWindowMinimumSize(MINMAXINFO* info)
{
    const SIZE minimum = ToolWindowMinimumSize();
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
}

void SnapToWorkArea(HWND window, WINDOWPOS* position)
{
    if (position->flags & SWP_NOMOVE) return;
    RECT current{};
    GetWindowRect(window, &current);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&current, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    RECT area = monitor.rcWork;
    InflateRect(&area, -1, -1);
    const LONG reach = std::min<LONG>(GetSystemMetrics(SM_CXSIZEFRAME) - 1, LargestSnap);
    const bool keepsSize = (position->flags & SWP_NOSIZE) != 0;
    RECT proposed{position->x, position->y,
                  position->x + (keepsSize ? current.right - current.left : position->cx),
                  position->y + (keepsSize ? current.bottom - current.top : position->cy)};
    SnapRect(proposed, area, reach);
    proposed = ClampRectToMonitor(proposed);
    SnapRect(proposed, area, reach);
    position->x = proposed.left;
    position->y = proposed.top;
}

void PaintToolWindowBackground(HWND window, HDC dc, bool scaleAngle)
{
    RECT client{};
    GetClientRect(window, &client);
    if (client.right <= client.left || client.bottom <= client.top) return;
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::Rect area(client.left, client.top, client.right - client.left, client.bottom - client.top);
    Gdiplus::Region clip(area);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT bounds{};
        GetWindowRect(child, &bounds);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
        clip.Exclude(Gdiplus::Rect(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top));
    }
    graphics.SetClip(&clip);
    Gdiplus::LinearGradientBrush brush(area, Gdiplus::Color(GradientTop), Gdiplus::Color(GradientBottom),
                                       GradientAngle, scaleAngle ? TRUE : FALSE);
    if (scaleAngle) brush.SetWrapMode(Gdiplus::WrapModeTile);
    brush.SetBlendBellShape(BellFocus, 1.0f);
    graphics.FillRectangle(&brush, area);
}

BOOL CToolWindowFrame::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            LRESULT& result, DWORD)
{
    switch (message) {
    case WM_ERASEBKGND:
        result = 1;
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window, &paint);
        PaintToolWindowBackground(window, dc, m_scaleAngle);
        EndPaint(window, &paint);
        result = 0;
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        result = ColorStaticText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        ApplyToolWindowMinimumSize(reinterpret_cast<MINMAXINFO*>(lParam));
        result = 0;
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        // Default processing follows.
        SnapToWorkArea(window, reinterpret_cast<WINDOWPOS*>(lParam));
        return FALSE;
    default:
        return FALSE;
    }
}
