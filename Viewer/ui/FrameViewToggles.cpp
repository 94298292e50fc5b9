#include "Viewer/ui/FrameViewToggles.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"

void CFrameViewToggles::PostStartToggles() const
{
    if (AppSettings::ShowHistogram) PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_SHOW_HISTOGRAM, 0);
    if (AppSettings::ShowShootingData) PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_SHOW_SHOOTING_DATA, 0);
    if (AppSettings::ShowBookmarkList) PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_SHOW_BOOKMARKS, 0);
    if (AppSettings::ShowExternalEditors) PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_SHOW_EXTERNAL_EDITORS, 0);
}

LRESULT CFrameViewToggles::OnFloatingMouseMove(UINT, WPARAM, LPARAM, BOOL&)
{
    m_frame.View().Histogram().StartFade();
    m_frame.View().ShootingData().StartFade();
    m_frame.EditorCommands().Dialog().StartFade();
    return 0;
}

// Sent by the engine before it frees entries: the panels' records may be among them.
LRESULT CFrameViewToggles::OnEntryReleased(UINT, WPARAM, LPARAM, BOOL&)
{
    m_frame.View().Histogram().ForgetImageInfo();
    m_frame.View().ShootingData().ForgetImageInfo();
    return 0;
}

LRESULT CFrameViewToggles::OnToggleHistogram(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 285.0;
    m_frame.View().ToggleHistogramPanel();
    return 0;
}

LRESULT CFrameViewToggles::OnToggleShootingData(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 286.0;
    m_frame.View().ToggleShootingDataPanel();
    return 0;
}

void CFrameViewToggles::ApplyTaskbarLayout()
{
    LastActivityCode = 236.0;
    const bool autoHide = AppSettings::AutoHideTaskbar != 0;
    m_frame.Splitter().SetSinglePaneMode(autoHide ? 0 : CSplitter::NoSinglePane);
    if (m_frame.Engine().IsListEmpty()) m_frame.SystemCommands().ShowEmptyViewScreen(false);
    CControlBar& bar = m_frame.ControlBar();
    if (bar.IsWindow()) ShowWindow(bar.m_hWnd, autoHide ? SW_HIDE : SW_SHOW);
    m_frame.SetBarVisible(!autoHide);
}

LRESULT CFrameViewToggles::OnApplyTaskbarLayout(UINT, WPARAM, LPARAM, BOOL&)
{
    ApplyTaskbarLayout();
    return 0;
}

void CFrameViewToggles::ToggleMenuPanel()
{
    LastActivityCode = 207.0;
    m_frame.ShowViewCursor();
    if (!m_frame.Engine().IsListEmpty()) {
        m_frame.Modes().StopSlideshow();
        if (m_frame.Modes().IsTrackMode()) m_frame.Modes().ToggleTrackMode();
    }
    if (m_menuPanel.IsWindow() && IsWindowVisible(m_menuPanel.m_hWnd)) {
        HideMenuPanel();
        return;
    }
    if (!m_menuPanel.IsWindow() && !m_menuPanel.Create(m_frame.m_hWnd)) return;
    RECT view{};
    GetWindowRect(m_frame.View().m_hWnd, &view);
    RECT panel{};
    GetWindowRect(m_menuPanel.m_hWnd, &panel);
    int top = view.bottom - (panel.bottom - panel.top);
    if (AppSettings::AutoHideTaskbar) {
        top -= m_frame.BarHeight();
        // The panel sits on the bar, which comes up with it.
        if (!m_frame.IsBarVisible()) m_frame.SlideInTaskbar();
    }
    SetWindowPos(m_menuPanel.m_hWnd, nullptr, view.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_menuPanel.m_hWnd, SW_SHOW);
}

void CFrameViewToggles::HideMenuPanel()
{
    if (!m_menuPanel.IsWindow()) return;
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
    ShowWindow(m_menuPanel.m_hWnd, SW_HIDE);
}

LRESULT CFrameViewToggles::OnToggleMenuPanel(WORD, WORD, HWND, BOOL&)
{
    ToggleMenuPanel();
    return 0;
}

// The bottom-edge rest and the Alt key: a bar that hides itself comes in, or goes when it is there
// (the bar-hide timer leaves it while the cursor is on it).
LRESULT CFrameViewToggles::OnToggleTaskbar(WORD, WORD, HWND, BOOL& handled)
{
    LastActivityCode = 295.0;
    if (AppSettings::AutoHideTaskbar && m_frame.ControlBar().IsWindow()) {
        if (m_frame.IsBarVisible())
            SetTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE, 0, nullptr);
        else
            m_frame.SlideInTaskbar();
    }
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
    handled = FALSE;
    return 0;
}

// The entry keeps the turns (-3..3) and hands them to the view with the picture each time it is
// shown again; the view counts 0..3.
void CFrameViewToggles::Rotate(int step, WORD code)
{
    LastActivityCode = step < 0 ? 233.0 : 234.0;
    HideMenuPanel();
    m_frame.Slider().HideSliderPopup();
    const EntryRef entry(m_frame.Engine().GetCurrentEntry(true));
    if (!entry) return;
    const int turns = (static_cast<int>(entry->GetState()) + step) % 4;
    entry->SetState(static_cast<DWORD>(turns));
    const int viewTurns = turns < 0 ? turns + 4 : turns;
    CImageView& view = m_frame.View();
    if (viewTurns != view.RotationState()) {
        view.SetRotationState(viewTurns);
        if (view.IsWindow()) InvalidateRect(view.m_hWnd, nullptr, FALSE);
        view.UpdateCursor();
    }
    if (code == CMainFrame::kFromKeyboard) m_frame.ArmBarAutoHide(CMainFrame::kBarHideAfterKeyMs);
}

LRESULT CFrameViewToggles::OnRotateBack(WORD code, WORD, HWND, BOOL&)
{
    Rotate(-1, code);
    return 0;
}

LRESULT CFrameViewToggles::OnRotateForward(WORD code, WORD, HWND, BOOL&)
{
    Rotate(1, code);
    return 0;
}

LRESULT CFrameViewToggles::OnPublish(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 305.0;
    m_frame.ShowViewCursor();
    ShowMessageBox(m_frame.m_hWnd,
                   L"No publishing plug-in currently installed.\n\nWeb publishing functionality will be part of an "
                   L"upcoming release of Lumenfold Professional.",
                   L"Publish", MB_ICONASTERISK);
    return 0;
}

LRESULT CFrameViewToggles::OnKeywordsIptc(WORD, WORD, HWND, BOOL&)
{
    HideMenuPanel();
    m_frame.Slider().HideSliderPopup();
    m_frame.ShowViewCursor();
    ShowMessageBox(m_frame.m_hWnd,
                   L"Keywords & IPTC editing functionality will be part of an upcoming release of Lumenfold "
                   L"Professional.",
                   L"Keywords/IPTC", MB_ICONASTERISK);
    return 0;
}
