#include "Viewer/ui/FrameViewToggles.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
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
    if (AppSettings::AutoHideTaskbar) top -= m_frame.BarHeight();
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
