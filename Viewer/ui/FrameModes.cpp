#include "Viewer/ui/FrameModes.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/MainFrame.h"
#include <shlwapi.h>

namespace {
constexpr UINT kNetworkTrackRefusedString = 10089;
constexpr UINT kNetworkTrackRefusedCaption = 10088;
}

void CFrameModes::ToggleAutoMode()
{
    LastActivityCode = 289.0;
    m_slideshow = !m_slideshow;
    if (!m_slideshow) {
        KillTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW);
        return;
    }
    if (m_trackMode) EndTrackMode();
    ArmSlideshowStep();
}

void CFrameModes::StopSlideshow()
{
    if (!m_slideshow) return;
    LastActivityCode = 243.0;
    ToggleAutoMode();
}

void CFrameModes::ArmSlideshowStep()
{
    // The interval counts from the moment a picture is shown, which takes a few milliseconds itself.
    const DWORD interval = AppSettings::AutoModeInterval < 10 ? 10 : AppSettings::AutoModeInterval;
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW, interval - 5, nullptr);
}

void CFrameModes::ToggleTrackMode()
{
    LastActivityCode = 287.0;
    // A network share reports no changes reliably enough to follow a camera.
    if (!m_trackMode && PathIsNetworkPathW(m_frame.ImageFolderPath().c_str())) {
        m_frame.ShowViewCursor();
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kNetworkTrackRefusedString).c_str(),
                       LoadUiString(kNetworkTrackRefusedCaption).c_str(), MB_OK);
        return;
    }
    if (m_trackMode) {
        EndTrackMode();
        return;
    }
    m_trackMode = true;
    if (m_slideshow) {
        m_slideshow = false;
        KillTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW);
    }
    TellEngine();
}

void CFrameModes::EndTrackMode()
{
    m_trackMode = false;
    m_frame.Timers().CancelDeferredOpen();
    TellEngine();
}

void CFrameModes::TellEngine()
{
    m_frame.Engine().SetWatchModes(m_trackMode, false);
}

LRESULT CFrameModes::OnAutoMode(WORD, WORD, HWND, BOOL&)
{
    ToggleAutoMode();
    return 0;
}

LRESULT CFrameModes::OnTrackMode(WORD, WORD, HWND, BOOL&)
{
    ToggleTrackMode();
    return 0;
}
