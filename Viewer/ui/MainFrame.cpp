#include "Viewer/ui/MainFrame.h"
#include "Framework/RegKey.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CommandLine.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/MyPictures.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/core/WindowPlacement.h"
#include <shlwapi.h>

namespace {
constexpr wchar_t kAppWindowValue[] = L"AppWindow";
constexpr wchar_t kAppWindowMaximizedValue[] = L"AppWindow.Maximized";
constexpr DWORD kBarSlideMilliseconds = 180;
constexpr DWORD kKioskRemovedStyles = WS_CAPTION | WS_THICKFRAME;
constexpr UINT kStyleChangeFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS;

// Sets or clears style bits and lets the window take the new frame.
void ChangeStyleBits(HWND window, int index, DWORD bits, bool set, UINT positionFlags)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, index));
    const bool alreadyThere = set ? (style & bits) == bits : (style & bits) == 0;
    if (alreadyThere) return;
    SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(set ? style | bits : style & ~bits));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, positionFlags);
}
}

CMainFrame::CMainFrame(bool disableSmp, bool enableIcc)
    : m_engine(&m_hWnd, disableSmp, enableIcc), m_view(this)
{
    m_savedPlacement.length = sizeof(WINDOWPLACEMENT);
}

CMainFrame::~CMainFrame()
{
    CloseInstanceEvent();
}

HWND CMainFrame::CreateMainWindow()
{
    return CreateFrame(kFrameResourceId);
}

BOOL CMainFrame::PreTranslateMessage(MSG* message)
{
    LastActivityCode = 2000 + message->message * 0.00001;
    if (TranslateFrameAccelerator(message)) {
        LastActivityCode = 2001.0;
        return TRUE;
    }
    LastActivityCode = 2002 + message->message * 0.00001;
    LastActivityCode = 2003.0;
    return FALSE;
}

BOOL CMainFrame::OnIdle()
{
    LastActivityCode = 201.0;
    return FALSE;
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 202.0;
    if (HMENU menu = GetMenu(m_hWnd)) {
        SetMenu(m_hWnd, nullptr);
        DestroyMenu(menu);
    }
    if (MessageLoop* loop = GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    wchar_t title[260]{};
    GetWindowTextW(m_hWnd, title, static_cast<int>(std::size(title)));
    m_programTitle = title;
    UpdateBarHeight();
    m_hWndClient = m_splitter.CreateSplitter(m_hWnd);
    // The bar first: it lies above the view in the splitter, so that a bar slid in over the view's
    // bottom edge is drawn and clicked, not the view under it.
    m_controlBar.CreateBar(m_hWndClient, m_hWnd, &m_modes);
    m_view.CreateView(m_hWndClient);
    m_splitter.SetBottomPaneHeight(m_barHeight);
    m_splitter.SetPanes(m_view.m_hWnd, m_controlBar.m_hWnd);
    m_splitter.SetActivePane(0);
    m_splitter.SetSinglePaneMode(AppSettings::AutoHideTaskbar ? 0 : CSplitter::NoSinglePane);
    if (m_controlBar.IsWindow()) ShowWindow(m_controlBar.m_hWnd, SW_HIDE);
    m_barVisible = false;
    m_timers.StartTick();
    m_viewToggles.PostStartToggles();
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    LastActivityCode = 203.0;
    if (MessageLoop* loop = GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
    PostQuitMessage(1);
    handled = FALSE;
    return 0;
}

// The start-up thread's plug-ins and enlarged accelerator table, taken on this thread, which alone
// reads them; the sender frees them when the frame has closed and this never runs.
LRESULT CMainFrame::OnStartupPlugIns(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* handed = reinterpret_cast<StartupPlugIns*>(lParam);
    if (!handed) return 0;
    if (handed->accelerators) {
        if (m_hAccel) DestroyAcceleratorTable(m_hAccel);
        m_hAccel = handed->accelerators;
        handed->accelerators = nullptr;
    }
    g_ActionPlugIns = std::move(handed->plugIns);
    g_PublishPlugInCount = handed->publishPlugInCount;
    return 1;
}

LRESULT CMainFrame::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    LastActivityCode = 205.0;
    HDC screen = GetDC(m_hWnd);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(m_hWnd, screen);
    const LONG width = static_cast<LONG>(820.0f * (static_cast<float>(dpi) * (1.0f / 96.0f)) + 0.5f);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = width;
    info->ptMinTrackSize.y = static_cast<LONG>(width * 0.6180469715698392);
    return 0;
}

void CMainFrame::SetRenderDevice()
{
    DecodeDisplay display;
    display.device = RenderDevice.Device.Get();
    display.surfaceFormat = RenderDevice.DisplayMode.Format;
    m_engine.SetDecodeDisplay(display, RenderDevice.StartFreeTextureMemory, display.device != nullptr);
}

void CMainFrame::UpdateBarHeight()
{
    HDC screen = GetDC(m_hWnd);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(m_hWnd, screen);
    m_barHeight = static_cast<int>(static_cast<float>(dpi) * (1.0f / 96.0f) * 30.0f + 0.5f);
}

void CMainFrame::RaiseAboveOthersOnce()
{
    constexpr UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_ASYNCWINDOWPOS;
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

void CMainFrame::ArmBarAutoHide(UINT milliseconds)
{
    if (AppSettings::AutoHideTaskbar) SetTimer(m_hWnd, TIMER_FRAME_BAR_HIDE, milliseconds, nullptr);
}

bool CMainFrame::SlideInTaskbar()
{
    LastActivityCode = 296.0;
    if (!AppSettings::AutoHideTaskbar) return true;
    const bool wasShown = m_barVisible;
    if (!m_controlBar.IsWindow()) return wasShown;
    KillTimer(m_hWnd, TIMER_FRAME_BAR_HIDE);
    // The bar lies over the view's bottom edge: the splitter shows the view alone meanwhile.
    RECT client{};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_controlBar.m_hWnd, nullptr, client.left, client.bottom - m_barHeight, client.right, m_barHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    AnimateWindow(m_controlBar.m_hWnd, kBarSlideMilliseconds, AW_SLIDE | AW_VER_NEGATIVE);
    m_barVisible = true;
    return wasShown;
}

void CMainFrame::ShowTaskbarAtStart()
{
    if (AppSettings::AutoHideTaskbar || !m_controlBar.IsWindow()) return;
    ShowWindow(m_controlBar.m_hWnd, SW_SHOW);
    m_barVisible = true;
}

void CMainFrame::ShowViewCursor()
{
    m_view.RestoreCursor();
}

void CMainFrame::RememberWindowPlacement()
{
    m_savedPlacement.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(m_hWnd, &m_savedPlacement);
}

LRESULT CMainFrame::OnKioskMode(WORD, WORD, HWND, BOOL&)
{
    return ToggleKioskMode();
}

LRESULT CMainFrame::OnAppExit(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 204.0;
    PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CMainFrame::ToggleKioskMode()
{
    LastActivityCode = 250.0;
    LockWindowUpdate(m_hWnd);
    if (m_kioskMode)
        LeaveKioskMode();
    else
        EnterKioskMode();
    LockWindowUpdate(nullptr);
    m_kioskMode = !m_kioskMode;
    LastActivityCode = 250.99;
    return 0;
}

void CMainFrame::EnterKioskMode()
{
    RememberWindowPlacement();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);

    WINDOWPLACEMENT fullMonitor = m_savedPlacement;
    fullMonitor.rcNormalPosition = monitor.rcMonitor;
    fullMonitor.showCmd = SW_SHOWNORMAL;
    fullMonitor.flags |= WPF_ASYNCWINDOWPLACEMENT;
    m_kioskWasMaximized = IsWindowMaximized(m_hWnd);
    SetWindowPlacement(m_hWnd, &fullMonitor);
    if (m_kioskWasMaximized) SaveGivenWindowPlacement(fullMonitor, kAppWindowMaximizedValue);

    ChangeStyleBits(m_hWnd, GWL_STYLE, kKioskRemovedStyles, false, kStyleChangeFlags);
    ChangeStyleBits(m_hWnd, GWL_EXSTYLE, WS_EX_WINDOWEDGE, false, kStyleChangeFlags | SWP_FRAMECHANGED);
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void CMainFrame::LeaveKioskMode()
{
    if (m_kioskWasMaximized) SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    ChangeStyleBits(m_hWnd, GWL_STYLE, kKioskRemovedStyles, true, kStyleChangeFlags);
    ChangeStyleBits(m_hWnd, GWL_EXSTYLE, WS_EX_WINDOWEDGE, true, kStyleChangeFlags | SWP_FRAMECHANGED);
    if (m_kioskWasMaximized) {
        SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        m_savedPlacement.flags |= WPF_ASYNCWINDOWPLACEMENT;
        SetWindowPlacement(m_hWnd, &m_savedPlacement);
        return;
    }
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) == ERROR_SUCCESS)
        ApplyPlacementString(m_hWnd, -1, key.Get(), kAppWindowValue, false);
    else
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
}
