#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/ImageView.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/ui/ViewInput.h"
#include <cmath>
#include <cstdlib>

namespace {

constexpr POINT NoPosition{-1, -1};
constexpr UINT BarShowDelay = 100;
constexpr UINT UserActivityDelay = 800;
constexpr UINT CursorHideDelay = 3500;

bool IsKeyDown(int virtualKey) { return AsyncKeyState(virtualKey) < 0; }

// The left button as the user sees it, whichever physical button that is.
bool IsLogicalLeftButtonDown() { return IsKeyDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON); }

// Picture pixels per displayed pixel along one axis, never below 1.
float PanRatio(int picture, LONG displayed)
{
    const float ratio = displayed != 0 ? static_cast<float>(picture) / static_cast<float>(displayed) : 1.0f;
    return ratio < 1.0f ? 1.0f : ratio;
}

// Moves pan by the step of one axis' mouse distance: the picture follows the cursor.
bool PanAxis(LONG cursor, LONG anchor, float ratio, float acceleration, int& pan)
{
    const int distance = std::abs(cursor - anchor);
    if (distance == 0) return false;
    const int step = PanStep(distance, ratio, acceleration);
    pan += cursor < anchor ? step : -step;
    return true;
}

// The height of the bottom band that shows the control bar, scaled once to the display.
LONG BottomBandHeight(HWND view)
{
    static const float scale = [view] {
        HDC dc = GetDC(view);
        const float dpi = dc ? static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY)) : 96.0f;
        if (dc) ReleaseDC(view, dc);
        return dpi / 96.0f;
    }();
    return static_cast<LONG>(30.0f * scale + 0.5f);
}

}  // namespace

bool CImageView::PicturePresent()
{
    return !m_ownsPicture && m_frame && m_frame->Engine().GetEntryCount() != 0;
}

void CImageView::PostToFrame(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_frame && m_frame->IsWindow()) PostMessageW(m_frame->m_hWnd, message, wParam, lParam);
}

void CImageView::BeginDrag()
{
    m_dragging = true;
    SetCapture(m_hWnd);
    m_dragAnchor = CursorPosition();
    if (!AppSettings::HideZoomMouseCursor) return;
    ShowMouseCursor(false);
    m_savedCursor = CursorPosition();
    MONITORINFO monitor{sizeof monitor};
    if (!GetMonitorInfoW(MonitorFromPoint(m_dragAnchor, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const POINT kept = KeepAnchorFromEdges(m_dragAnchor, monitor.rcMonitor);
    if (kept.x == m_dragAnchor.x && kept.y == m_dragAnchor.y) return;
    m_dragAnchor = kept;
    MoveCursorTo(kept);
}

void CImageView::EndDrag()
{
    m_dragging = false;
    ReleaseCapture();
    m_dragAnchor = {0, 0};
    if (!AppSettings::HideZoomMouseCursor) return;
    MoveCursorTo(m_savedCursor);
    ShowMouseCursor(true);
}

LRESULT CImageView::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 608.0;
    RestoreCursor();
    PostToFrame(WM_APP_USER_ACTIVITY);
    if (m_magnifier || !PicturePresent()) return 0;
    if (!m_dragging) BeginDrag();
    m_leftZoom = true;
    CenterZoomOnAnchor();
    UpdateCursor();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageView::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 609.0;
    if (!PicturePresent()) return 0;
    if (m_dragging && !m_magnifier) EndDrag();
    m_leftZoom = false;
    if (m_magnifier) return 0;  // the drag goes on for the magnifier
    CenterZoomOnAnchor();
    UpdateCursor();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageView::OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 610.0;
    RestoreCursor();
    PostToFrame(WM_APP_USER_ACTIVITY);
    if (AppSettings::RightClickMagnifier == 0 || !PicturePresent()) return 0;
    if (!m_dragging) BeginDrag();
    m_magnifier = true;
    CenterZoomOnAnchor();
    UpdateCursor();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageView::OnRButtonUp(UINT, WPARAM, LPARAM, BOOL& handled)
{
    // Without a magnifier the release is not the view's.
    if (AppSettings::RightClickMagnifier == 0) {
        handled = FALSE;
        return 0;
    }
    LastActivityCode = 611.0;
    if (!PicturePresent()) return 0;
    if (!m_leftZoom && IsLogicalLeftButtonDown()) m_leftZoom = true;  // back to the left zoom
    if (m_dragging && !m_leftZoom) EndDrag();
    m_magnifier = false;
    if (m_leftZoom) m_destination = m_savedDestination;
    if (!m_actualSize) CenterZoomOnAnchor();
    UpdateCursor();
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageView::OnMouseMove(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_dragging) {
        LastActivityCode = 612.0;
        DragPan();
        return 0;
    }
    if (m_frame && m_frame->IsWindow()) {
        SendMessageW(m_frame->m_hWnd, WM_APP_FLOATING_MOUSE_MOVE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
    TrackRest();
    return 0;
}

void CImageView::DragPan()
{
    // Inverted scrolling turns every movement round by working on the negated pan.
    const bool inverted = AppSettings::EnableInvertedZoomScrolling != 0;
    if (inverted) {
        m_panX = -m_panX;
        m_panY = -m_panY;
    }
    float rx = PanRatio(m_imageWidth, m_destination.right - m_destination.left);
    float ry = PanRatio(m_imageHeight, m_destination.bottom - m_destination.top);
    m_panAcceleration = std::fabs(static_cast<float>(static_cast<int>(AppSettings::SmartMouseAcceleration)) * 0.01f);
    if (IsKeyDown(VK_SHIFT)) rx = ry = 1.0f;
    const POINT cursor = CursorPosition();
    const bool movedX = PanAxis(cursor.x, m_dragAnchor.x, rx, m_panAcceleration, m_panX);
    const bool movedY = PanAxis(cursor.y, m_dragAnchor.y, ry, m_panAcceleration, m_panY);
    if (movedX || movedY) {
        if (AppSettings::HideZoomMouseCursor) {
            MoveCursorTo(m_dragAnchor);  // the hidden cursor never reaches a screen edge
        } else {
            m_dragAnchor = cursor;
        }
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    if (inverted) {
        m_panX = -m_panX;
        m_panY = -m_panY;
    }
}

// Arms the timers that act when the mouse comes to rest: in the bottom band (control bar),
// elsewhere (user activity), anywhere (hide the cursor).
void CImageView::TrackRest()
{
    const POINT cursor = CursorPosition();
    if (AppSettings::AutoHideTaskbar) {
        RECT band{};
        GetWindowRect(m_hWnd, &band);
        band.top = band.bottom - BottomBandHeight(m_hWnd);
        const bool inBand = PtInRect(&band, cursor) != 0;
        KillTimer(m_hWnd, inBand ? TIMER_USER_ACTIVITY : TIMER_BAR_SHOW);
        if (!IsNear(cursor, m_hoverPosition, 2)) {
            m_hoverPosition = cursor;
            SetTimer(m_hWnd, inBand ? TIMER_BAR_SHOW : TIMER_USER_ACTIVITY, inBand ? BarShowDelay : UserActivityDelay,
                     nullptr);
        }
    }
    if (!AppSettings::AutoHideMouseCursor || IsNear(cursor, m_restPosition, 2)) return;
    if (m_cursorHidden) {
        // The rest position stays, so that the next move starts the timer again.
        RestoreCursor();
        return;
    }
    m_restPosition = cursor;
    SetTimer(m_hWnd, TIMER_CURSOR_HIDE, CursorHideDelay, nullptr);
}

void CImageView::OnInputTimer(UINT_PTR id)
{
    const POINT cursor = CursorPosition();
    switch (id) {
    case TIMER_BAR_SHOW:
    case TIMER_USER_ACTIVITY:
        KillTimer(m_hWnd, TIMER_BAR_SHOW);
        KillTimer(m_hWnd, TIMER_USER_ACTIVITY);
        if (!IsNear(m_hoverPosition, cursor, id == TIMER_BAR_SHOW ? 3 : 1)) return;
        m_hoverPosition = NoPosition;
        if (id == TIMER_BAR_SHOW) {
            PostToFrame(WM_COMMAND, ID_TOGGLE_TASKBAR);
        } else {
            PostToFrame(WM_APP_USER_ACTIVITY);
        }
        return;
    case TIMER_CURSOR_HIDE:
        KillTimer(m_hWnd, TIMER_CURSOR_HIDE);
        if (m_cursorHidden || !IsNear(m_restPosition, cursor, 2)) return;
        ShowMouseCursor(false);
        m_cursorHidden = true;
        return;
    default:
        return;
    }
}

LRESULT CImageView::OnKeyDownMessage(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = OnKeyDown(static_cast<UINT>(wParam)) ? TRUE : FALSE;
    return 0;
}

bool CImageView::OnKeyDown(UINT virtualKey)
{
    LastActivityCode = 606.0;
    if (!m_actualSize && !m_leftZoom && !m_magnifier) return false;
    const bool vertical = virtualKey == VK_UP || virtualKey == VK_DOWN;
    if (!vertical && virtualKey != VK_LEFT && virtualKey != VK_RIGHT) return false;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int extent = vertical ? client.bottom - client.top : client.right - client.left;
    if ((vertical ? m_imageHeight : m_imageWidth) <= extent) return true;
    const int step = ArrowKeyStep(extent, IsKeyDown(VK_CONTROL), IsKeyDown(VK_SHIFT));
    int& pan = vertical ? m_panY : m_panX;
    pan += virtualKey == VK_UP || virtualKey == VK_LEFT ? -step : step;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

// Alt in the view brings the control bar up; every other system key goes on to the menu.
LRESULT CImageView::OnSysKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled)
{
    LastActivityCode = 607.0;
    if (key != VK_MENU) {
        handled = FALSE;
        return 0;
    }
    RestoreCursor();
    m_hoverPosition = CursorPosition();
    KillTimer(m_hWnd, TIMER_BAR_SHOW);
    KillTimer(m_hWnd, TIMER_USER_ACTIVITY);
    PostToFrame(WM_COMMAND, ID_TOGGLE_TASKBAR);
    return 1;
}

// The middle button keeps a copy of the picture, as the keep-copy key does.
LRESULT CImageView::OnMButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 613.0;
    PostToFrame(WM_APP_USER_ACTIVITY);
    LastActivityCode = 268.0;
    return m_frame && m_frame->IsWindow() ? SendMessageW(m_frame->m_hWnd, WM_COMMAND, ID_KEEP_COPY, 0) : 0;
}

void CImageView::OnFrameMouseLeave()
{
    if (IsWindow()) KillTimer(m_hWnd, TIMER_BAR_SHOW);
    m_restPosition = NoPosition;
    RestoreCursor();
    m_histogram.FadeToMinimum();
    m_shootingData.FadeToMinimum();
}

void CImageView::OnControlBarMouseEnter()
{
    if (IsWindow()) KillTimer(m_hWnd, TIMER_USER_ACTIVITY);
    m_hoverPosition = NoPosition;
    OnFrameMouseLeave();
}
