#include "Viewer/ui/FrameTimers.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/core/VersionInfo.h"
#include "Viewer/ui/MainFrame.h"
#include <cwchar>

namespace {
constexpr UINT kTrayIconId = 1;
constexpr UINT kTickMilliseconds = 250;
constexpr uint32_t kTicksPerCacheAdjustment = 100;
constexpr UINT kDeferredOpenMilliseconds = 50;
constexpr UINT kNoticeTipString = 10053;
constexpr UINT kNoticeTitleString = 10052;
constexpr UINT kNoticeInvitationString = 10054;
constexpr wchar_t kDownloadsPage[] = L"https://lumenfold.brenholt.example/downloads";
// Variants of the "next" command (its lParam) that the timers post.
constexpr LPARAM kNextByPendingName = -2;
constexpr LPARAM kNextSlideshowStep = -3;
constexpr LPARAM kNextPlain = 0;

// Copies text into a fixed field, cut to fit.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text)
{
    wcsncpy_s(field, text.c_str(), _TRUNCATE);
}
}

NOTIFYICONDATAW BuildUpdateNotice(HWND frame, HICON icon, const std::wstring& description)
{
    NOTIFYICONDATAW notice{};
    notice.cbSize = sizeof(notice);
    notice.hWnd = frame;
    notice.uID = kTrayIconId;
    notice.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    notice.uCallbackMessage = WM_APP_TRAY_NOTIFY;
    notice.hIcon = icon;
    CopyField(notice.szTip, LoadUiString(kNoticeTipString));
    std::wstring balloon = L"\r\n";
    if (!description.empty()) balloon += description + L"\r\n\r\n";
    CopyField(notice.szInfo, balloon + LoadUiString(kNoticeInvitationString));
    CopyField(notice.szInfoTitle, LoadUiString(kNoticeTitleString));
    notice.uVersion = NOTIFYICON_VERSION;
    notice.dwInfoFlags = NIIF_INFO | (IsVistaOrLater() ? NIIF_LARGE_ICON : 0);
    return notice;
}

std::wstring UpdatePageAddress()
{
    WORD major = 0, minor = 0, build = 0, revision = 0;
    GetAppVersion(&major, &minor, &build, &revision, nullptr, 0, nullptr);
    wchar_t query[64]{};
    swprintf_s(query, L"?curver=%d.%d.%d.%d", major, minor, build, revision);
    return std::wstring(kDownloadsPage) + query;
}

void CFrameTimers::StartTick()
{
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_TICK, kTickMilliseconds, nullptr);
}

void CFrameTimers::RemoveTrayIcon()
{
    if (!m_trayIconShown) return;
    m_trayIconShown = false;
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = m_frame.m_hWnd;
    icon.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

LRESULT CFrameTimers::OnTimer(UINT, WPARAM timer, LPARAM, BOOL&)
{
    LastActivityCode = 258.0;
    HWND frame = m_frame.m_hWnd;
    switch (timer) {
    case TIMER_FRAME_NOTICE:
        KillTimer(frame, TIMER_FRAME_NOTICE);
        ShowUpdateNotice();
        break;
    case TIMER_FRAME_TICK:
        Tick();
        break;
    case TIMER_FRAME_RAISE:
        RaiseFrame();
        break;
    case TIMER_FRAME_DEFERRED_OPEN:
        OpenDeferredFile();
        break;
    case TIMER_FRAME_SLIDESHOW:
        LastActivityCode = 258.15;
        // An emptied list keeps the slideshow waiting for pictures rather than ending it.
        if (m_frame.Engine().IsListEmpty()) break;
        KillTimer(frame, TIMER_FRAME_SLIDESHOW);
        PostNext(kNextSlideshowStep);
        break;
    case TIMER_FRAME_AUTO_ADVANCE:
        LastActivityCode = 258.16;
        KillTimer(frame, TIMER_FRAME_AUTO_ADVANCE);
        PostNext(kNextPlain);
        break;
    case TIMER_FRAME_BAR_HIDE:
        LastActivityCode = 258.17;
        KillTimer(frame, TIMER_FRAME_BAR_HIDE);
        m_frame.ViewToggles().HideMenuPanel();
        m_frame.Slider().HideSliderPopup();
        HideBarIfCursorOutside();
        break;
    case TIMER_FRAME_DEVICE_POLL:
        m_frame.Modes().PollDevices();
        break;
    case TIMER_FRAME_RECENTLY_WOKEN:
        LastActivityCode = 258.18;
        KillTimer(frame, TIMER_FRAME_RECENTLY_WOKEN);
        m_frame.OpenRequests().EndWakeUpGuard();
        break;
    default:
        LastActivityCode = 258.99;
        break;
    }
    return 0;
}

// A bar that hides itself goes when the cursor is not on it; the frame's flag follows the window.
void CFrameTimers::HideBarIfCursorOutside()
{
    HWND bar = m_frame.ControlBar().m_hWnd;
    if (!bar || !IsWindow(bar)) return;
    if (AppSettings::AutoHideTaskbar && IsWindowVisible(bar)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        RECT place{};
        GetWindowRect(bar, &place);
        if (!PtInRect(&place, cursor)) {
            HWND view = m_frame.View().m_hWnd;
            if (view && GetFocus() != view) SetFocus(view);
            ShowWindow(bar, SW_HIDE);
        }
    }
    m_frame.SetBarVisible(IsWindowVisible(bar) != FALSE);
}

void CFrameTimers::ShowUpdateNotice()
{
    if (!AppSettings::NewVersionAvailable.load(std::memory_order_acquire)) return;
    LastActivityCode = 258.1;
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kFrameResourceId));
    NOTIFYICONDATAW notice =
        BuildUpdateNotice(m_frame.m_hWnd, icon, std::wstring(AppSettings::NewVersionDescription.View()));
    LastActivityCode = 258.3;
    if (Shell_NotifyIconW(NIM_ADD, &notice)) m_trayIconShown = true;
    LastActivityCode = 258.4;
}

void CFrameTimers::Tick()
{
    LastActivityCode = 258.5;
    CImageEngine& engine = m_frame.Engine();
    if (engine.IsRemovingEntry()) return;
    LastActivityCode = 258.6;
    engine.GoToTargetName(0, false);
    LastActivityCode = 258.7;
    // The zoom, the marks and the list's count change without a command of their own.
    uint32_t count = 0;
    uint32_t position = 0;
    m_frame.Caption().UpdateStatusLine(engine.GetCurrentEntry(true), &count, &position);
    LastActivityCode = 258.9;
    m_frame.Slider().Popup().SetRangeAndPosition(static_cast<int>(count), static_cast<int>(position));
    LastActivityCode = 258.8;
    if (++m_ticks % kTicksPerCacheAdjustment == 0 && !engine.IsListEmpty()) engine.AdjustCacheWindow(0, 0, true);
    m_frame.Modes().CountDevices();
}

void CFrameTimers::RaiseFrame()
{
    LastActivityCode = 258.13;
    HWND frame = m_frame.m_hWnd;
    KillTimer(frame, TIMER_FRAME_RAISE);
    BringWindowToTop(frame);
    SetForegroundWindow(frame);
    SetFocus(frame);
    SetActiveWindow(frame);
    m_frame.RaiseAboveOthersOnce();
}

void CFrameTimers::OpenDeferredFile()
{
    LastActivityCode = 258.14;
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_DEFERRED_OPEN);
    if (m_deferredOpenPath.Empty()) return;
    m_frame.Engine().SetCurrentName(m_deferredOpenPath.c_str());
    m_deferredOpenPath.Free();
    PostNext(kNextByPendingName);
}

void CFrameTimers::CancelDeferredOpen()
{
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_DEFERRED_OPEN);
    m_deferredOpenPath.Free();
}

void CFrameTimers::PostNext(LPARAM variant)
{
    PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_NAV_NEXT, variant);
}

// A watched folder's new file is opened a moment later, so that a burst of arrivals opens the last.
LRESULT CFrameTimers::OnOpenFileDeferred(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    LastActivityCode = 255.0;
    if (!lParam) return 0;
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_DEFERRED_OPEN);
    const BSTR path = reinterpret_cast<BSTR>(lParam);
    if (path != m_deferredOpenPath.Get()) m_deferredOpenPath = Bstr::Attach(path);
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_DEFERRED_OPEN, kDeferredOpenMilliseconds, nullptr);
    return 0;
}

LRESULT CFrameTimers::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    LastActivityCode = 259.0;
    if (LOWORD(lParam) != WM_LBUTTONUP) return 0;
    RemoveTrayIcon();
    OpenWithShell(m_frame.m_hWnd, L"open", UpdatePageAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    LastActivityCode = 259.99;
    return 0;
}
