#pragma once
// The frame's timers: the new-version notice, the quarter-second tick that keeps the status and the
// cache current, the raise after start, the deferred open of a watched file, the slideshow and
// auto-advance steps, the device poll, the bar's slide-away and the end of the wake-up guard.
#include "Framework/Bstr.h"
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include <shellapi.h>
#include <cstdint>
#include <string>

class CMainFrame;

// The balloon that tells of a newer release: the description first when there is one, then the
// invitation to download it.
NOTIFYICONDATAW BuildUpdateNotice(HWND frame, HICON icon, const std::wstring& description);
// The downloads page with the running version, for the notice's click.
std::wstring UpdatePageAddress();

class CFrameTimers : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameTimers)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_APP_TRAY_NOTIFY, OnTrayNotify)
        MESSAGE_HANDLER(WM_APP_OPEN_FILE_DEFERRED, OnOpenFileDeferred)
    END_MESSAGE_MAP()

    explicit CFrameTimers(CMainFrame& frame) : m_frame(frame) {}

    // Starts the periodic tick; the frame calls it once its window exists.
    void StartTick();
    bool TrayIconShown() const noexcept { return m_trayIconShown; }
    // Takes the notice's icon off the tray, if it is there.
    void RemoveTrayIcon();
    uint32_t TickCount() const noexcept { return m_ticks; }
    // Forgets the file waiting for its deferred open (the mode that reported it has ended).
    void CancelDeferredOpen();

private:
    LRESULT OnTimer(UINT, WPARAM timer, LPARAM, BOOL&);
    LRESULT OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnOpenFileDeferred(UINT, WPARAM, LPARAM lParam, BOOL&);

    void ShowUpdateNotice();
    void HideBarIfCursorOutside();
    void Tick();
    void RaiseFrame();
    void OpenDeferredFile();
    void PostNext(LPARAM variant);

    CMainFrame& m_frame;
    uint32_t m_ticks = 0;
    bool m_trayIconShown = false;
    Bstr m_deferredOpenPath;
};
