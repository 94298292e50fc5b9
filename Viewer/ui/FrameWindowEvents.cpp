#include "Viewer/ui/FrameWindowEvents.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/MainFrame.h"

namespace {
constexpr UINT kBarHideAfterActivityMs = 600;
}

LRESULT CFrameWindowEvents::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 252.0;
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
    return 0;
}

LRESULT CFrameWindowEvents::OnSysCommand(UINT, WPARAM command, LPARAM, BOOL& handled)
{
    LastActivityCode = 248.0;
    const WPARAM kind = command & 0xFFF0;
    // A slideshow, a watched folder or a camera keeps the screen saver from covering its pictures.
    if (kind == SC_SCREENSAVE && m_frame.Modes().AnyModeRunning()) return -1;
    if (kind == SC_MAXIMIZE || kind == SC_RESTORE) m_frame.ArmBarAutoHide(0);
    m_frame.ViewToggles().HideMenuPanel();
    m_frame.Slider().HideSliderPopup();
    handled = FALSE;
    return 0;
}

LRESULT CFrameWindowEvents::OnSizing(UINT, WPARAM, LPARAM, BOOL& handled)
{
    LastActivityCode = 246.0;
    m_frame.ViewToggles().HideMenuPanel();
    m_frame.Slider().HideSliderPopup();
    m_frame.ArmBarAutoHide(0);
    m_frame.UpdateBarHeight();
    handled = FALSE;
    return 0;
}

LRESULT CFrameWindowEvents::OnMoving(UINT, WPARAM, LPARAM, BOOL& handled)
{
    LastActivityCode = 247.0;
    m_frame.ViewToggles().HideMenuPanel();
    m_frame.Slider().HideSliderPopup();
    handled = FALSE;
    return 0;
}

LRESULT CFrameWindowEvents::OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& handled)
{
    LastActivityCode = 291.0;
    handled = FALSE;
    return 0;
}

LRESULT CFrameWindowEvents::OnShowCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 297.0;
    m_frame.ShowViewCursor();
    return 0;
}

LRESULT CFrameWindowEvents::OnGetKioskMode(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_frame.IsKioskMode() ? 1 : 0;
}

// Without the setting Escape opens and closes the menu panel.
LRESULT CFrameWindowEvents::OnEscape(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 279.0;
    if (!AppSettings::EnableExitFromEscapeKey) {
        m_frame.ViewToggles().ToggleMenuPanel();
        return 0;
    }
    LastActivityCode = 204.0;
    PostMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}

// The frame asks once to hear when the cursor leaves its border or caption.
LRESULT CFrameWindowEvents::OnNcMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_trackingNonClientLeave) return 0;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, m_frame.m_hWnd, 0};
    m_trackingNonClientLeave = TrackMouseEvent(&track) != FALSE;
    return 0;
}

LRESULT CFrameWindowEvents::OnNcMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_trackingNonClientLeave = false;
    m_frame.View().OnFrameMouseLeave();
    return 0;
}

LRESULT CFrameWindowEvents::OnControlBarMouseEnter(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE);
    m_frame.View().OnControlBarMouseEnter();
    return 0;
}

// After a pause of the cursor over the view (or at once, when asked), a bar that hides itself goes;
// the bar-hide timer leaves it while the cursor is on it.
LRESULT CFrameWindowEvents::OnUserActivity(UINT, WPARAM now, LPARAM, BOOL& handled)
{
    LastActivityCode = 292.0;
    handled = FALSE;
    if (AppSettings::AutoHideTaskbar && m_frame.IsBarVisible())
        SetTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE, now ? 0 : kBarHideAfterActivityMs, nullptr);
    return 0;
}
