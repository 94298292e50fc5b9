#include "Viewer/ui/PanelWindow.h"
#include "Framework/PaintMessage.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/core/WindowPlacement.h"
#include <cstdlib>
#include <utility>

namespace {
constexpr Gdiplus::ARGB kBackgroundArgb = 0xFFFFFFFF;
constexpr int kCornerRadius = 5;
constexpr float kBorderWidth = 1.5f;
constexpr DWORD kPanelStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kPanelExStyle = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW;
constexpr int kDefaultSnap = 4;

int Scaled(int extent, int dpi)
{
    return static_cast<int>(static_cast<float>(dpi) * (1.0f / 96.0f) * static_cast<float>(extent) + 0.5f);
}

int Snapped(int position, int extent, LONG low, LONG high, int snap)
{
    if (std::abs(position - low) <= snap) return low;
    if (std::abs(position + extent - high) <= snap) return high - extent;
    return position;
}
}

std::unique_ptr<Gdiplus::GraphicsPath> CreateRoundedRectPath(int x, int y, int width, int height, int radius)
{
    auto path = std::make_unique<Gdiplus::GraphicsPath>();
    const int w = width - 1;
    const int h = height - 1;
    const int d = 2 * radius;
    path->AddArc(x, y, d, d, 180.0f, 90.0f);
    path->AddLine(x + radius, y, x + w - radius, y);
    path->AddArc(x + w - d, y, d, d, 270.0f, 90.0f);
    path->AddLine(x + w, y + radius, x + w, y + h - radius);
    path->AddArc(x + w - d, y + h - d, d, d, 0.0f, 90.0f);
    path->AddLine(x + w - radius, y + h, x + radius, y + h);
    path->AddArc(x, y + h - d, d, d, 90.0f, 90.0f);
    path->CloseFigure();
    return path;
}

std::unique_ptr<Gdiplus::Font> CreatePanelFont(const wchar_t* family, float points, int style)
{
    const Gdiplus::FontFamily named(family);
    if (named.GetLastStatus() == Gdiplus::Ok)
        return std::make_unique<Gdiplus::Font>(&named, points, style, Gdiplus::UnitPoint);
    return std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), points, style, Gdiplus::UnitPoint);
}

std::unique_ptr<Gdiplus::Font> CreatePanelHeadingFont()
{
    return CreatePanelFont(IsVistaOrLater() ? L"Segoe UI" : L"MS Shell Dlg", 16.0f, Gdiplus::FontStyleBold);
}

void SnapToArea(int& x, int& y, int width, int height, const RECT& area, int snap) noexcept
{
    x = Snapped(x, width, area.left, area.right, snap);
    y = Snapped(y, height, area.top, area.bottom, snap);
}

CPanelWindow::~CPanelWindow()
{
    if (m_menu) DestroyMenu(m_menu);
}

void CPanelWindow::Toggle(HWND view)
{
    if (IsWindow()) {
        DestroyWindow();
        *m_look.showSetting = 0;
        return;
    }
    HDC dc = GetDC(view);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(view, dc);
    const int width = Scaled(m_look.size.cx, dpiX);
    const int height = Scaled(m_look.size.cy, dpiY);
    RECT viewRect{};
    GetWindowRect(view, &viewRect);
    const int left = viewRect.right - width - 8;
    const int top = m_look.bottomCorner ? viewRect.bottom - height - 8 : viewRect.top + 8;
    const RECT rect{left, top, left + width, top + height};
    const WindowClassInfo info{m_look.className, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};
    if (!RegisterWindowClass(info)) return;
    if (!CreateBound(info.name, view, &rect, m_look.title, kPanelStyle, kPanelExStyle, nullptr, nullptr)) return;
    // The size always comes back to this display's; the position stays where the placement put it.
    SetWindowPos(m_hWnd, nullptr, left, top, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
    RefreshImageInfo();
    StartFade();
    *m_look.showSetting = 1;
    SetActiveWindow(GetAncestor(view, GA_ROOT));
}

void CPanelWindow::SetImageInfo(const ImageInfo* information)
{
    LastActivityCode = m_look.activityCode;
    m_information = information;
    RefreshImageInfo();
}

void CPanelWindow::RefreshImageInfo()
{
    LastActivityCode = m_look.activityCode + 1;
    if (!m_information || !IsWindow()) return;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

void CPanelWindow::ClearImageInfo()
{
    m_information = nullptr;
    if (!IsWindow()) return;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

void CPanelWindow::SetOpacityLimits(float minimum)
{
    FadeState& fade = m_fade.State();
    fade.maxOpacity = 1.0f;
    fade.minOpacity = minimum;
    fade.step = 1.0f / 32.0f;
    StartFade();
}

void CPanelWindow::ActivateOwner() const noexcept
{
    if (HWND owner = Owner()) SetActiveWindow(owner);
}

// Painted whole into a memory bitmap first, so the layered window never shows a half-drawn frame.
void CPanelWindow::PaintContent(HDC target)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    UniqueMemoryDc memory(CreateCompatibleDC(target));
    UniqueGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, width, height));
    if (!memory || !bitmap) return;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    SetViewportOrgEx(memory.get(), -client.left, -client.top, nullptr);
    {
        Gdiplus::Graphics graphics(memory.get());
        if (graphics.GetLastStatus() == Gdiplus::Ok) {
            PaintBackground(graphics, client);
            Paint(memory.get(), graphics, client);
        }
    }
    BitBlt(target, client.left, client.top, width, height, memory.get(), client.left, client.top, SRCCOPY);
    SelectObject(memory.get(), previous);
}

void CPanelWindow::PaintBackground(Gdiplus::Graphics& graphics, const RECT& client)
{
    graphics.Clear(Gdiplus::Color(kBackgroundArgb));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    // Built once from the first client size: the panel's size never changes while it lives.
    if (!m_roundedPath) m_roundedPath = CreateRoundedRectPath(client.left, client.top, width, height, kCornerRadius);
    const Gdiplus::Pen border(Gdiplus::Color(kBackgroundArgb), kBorderWidth);
    const Gdiplus::RectF box(0.0f, 0.0f, static_cast<float>(width - 1), static_cast<float>(height - 1));
    Gdiplus::LinearGradientBrush shade(box, Gdiplus::Color(m_look.topColour), Gdiplus::Color(m_look.bottomColour),
                                       Gdiplus::LinearGradientModeVertical);
    graphics.FillPath(&shade, m_roundedPath.get());
    graphics.DrawPath(&border, m_roundedPath.get());
}

LRESULT CPanelWindow::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { PaintContent(dc); });
    return 0;
}

LRESULT CPanelWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_fade.Reset(m_hWnd);
    RestoreWindowPlacement(m_hWnd, m_look.placementValue, HKEY_CURRENT_USER, true);
    SetLayeredWindowAttributes(m_hWnd, 0, 0, LWA_ALPHA);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    constexpr int kRegionCorner = kCornerRadius + 2;
    SetWindowRgn(m_hWnd,
                 CreateRoundRectRgn(client.left, client.top, client.right + 1, client.bottom + 1, kRegionCorner,
                                    kRegionCorner),
                 FALSE);
    LoadContextMenu();
    ActivateOwner();
    return 0;
}

void CPanelWindow::LoadContextMenu()
{
    HMENU menu = LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(m_look.menuId));
    if (menu == m_menu) return;
    if (m_menu) DestroyMenu(m_menu);
    m_menu = menu;
}

LRESULT CPanelWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    m_fade.Reset(m_hWnd);
    SaveWindowPlacement(m_hWnd, m_look.placementValue);
    ActivateOwner();
    return 0;
}

LRESULT CPanelWindow::OnWindowPosChanging(UINT, WPARAM, LPARAM position, BOOL& handled)
{
    handled = FALSE;
    auto* pos = reinterpret_cast<WINDOWPOS*>(position);
    RECT current{};
    GetWindowRect(m_hWnd, &current);
    // A move alone carries no size: the window keeps the one it has.
    const int width = (pos->flags & SWP_NOSIZE) ? current.right - current.left : pos->cx;
    const int height = (pos->flags & SWP_NOSIZE) ? current.bottom - current.top : pos->cy;
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromRect(&current, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT area = monitor.rcWork;
    InflateRect(&area, -1, -1);
    const int frame = GetSystemMetrics(SM_CXSIZEFRAME) - 1;
    const int snap = frame < kDefaultSnap ? frame : kDefaultSnap;
    SnapToArea(pos->x, pos->y, width, height, area, snap);
    const RECT clamped = ClampRectToMonitor(RECT{pos->x, pos->y, pos->x + width, pos->y + height});
    pos->x = clamped.left;
    pos->y = clamped.top;
    SnapToArea(pos->x, pos->y, width, height, area, snap);
    return 0;
}

LRESULT CPanelWindow::OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HWND owner = Owner();
    if (!owner) {
        handled = FALSE;
        return 0;
    }
    return SendMessageW(owner, WM_MOUSEWHEEL, wParam, lParam);
}

LRESULT CPanelWindow::OnContextMenu(UINT, WPARAM, LPARAM point, BOOL&)
{
    const POINT at = ContextMenuPoint(point);
    TrackPopup(m_menu ? GetSubMenu(m_menu, 0) : nullptr, 0, at.x, at.y, Owner());
    return 0;
}
