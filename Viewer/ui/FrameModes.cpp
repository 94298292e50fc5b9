#include "Viewer/ui/FrameModes.h"
#include "Framework/Bstr.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/ui/MainFrame.h"
#include <shlwapi.h>
#include <cwchar>

namespace {
constexpr UINT kNetworkTrackRefusedString = 10089;
constexpr UINT kNetworkTrackRefusedCaption = 10088;
constexpr UINT kDeviceCaptionString = 10055;
constexpr UINT kDeviceStartFailedString = 10056;
constexpr UINT kNoDeviceServiceString = 10057;
constexpr UINT kNoAcquisitionServiceString = 10058;
constexpr int kDevicePollsBeforeGivingUp = 90;
constexpr UINT kDevicePollMilliseconds = 1000;
constexpr DWORD kBarSlideWaitMilliseconds = 250;
constexpr UINT kBarHideAfterSwitchMilliseconds = 2500;

// Image acquisition before Windows 6, and on later systems only when the setting asks for it.
bool UseImageAcquisition()
{
    if (!IsVistaOrLater()) return true;
    RegKey settings;
    if (settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) != ERROR_SUCCESS) return false;
    return settings.QueryDword(L"ForceWIAOnWin6x").value_or(0) != 0;
}
}

CFrameModes::CFrameModes(CMainFrame& frame) : m_frame(frame), m_deviceWatcher(frame.m_hWnd) {}

void CFrameModes::ToggleAutoMode()
{
    LastActivityCode = 289.0;
    const bool barWasShown = ShowBarForSwitch();
    m_slideshow = !m_slideshow;
    if (m_slideshow) {
        if (m_deviceMode) EndDeviceMode();
        if (m_trackMode) EndTrackMode();
        ArmSlideshowStep();
    } else {
        KillTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW);
    }
    HideBarAfterSwitch(barWasShown);
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
    const bool barWasShown = ShowBarForSwitch();
    if (m_trackMode) {
        EndTrackMode();
    } else {
        if (m_deviceMode) EndDeviceMode();
        m_trackMode = true;
        if (m_slideshow) {
            m_slideshow = false;
            KillTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW);
        }
        TellEngine();
    }
    HideBarAfterSwitch(barWasShown);
}

void CFrameModes::ToggleDeviceMode()
{
    LastActivityCode = 288.0;
    const bool barWasShown = ShowBarForSwitch();
    if (m_deviceMode) {
        EndDeviceMode();
    } else {
        if (m_slideshow) {
            m_slideshow = false;
            KillTimer(m_frame.m_hWnd, TIMER_FRAME_SLIDESHOW);
        }
        m_trackMode = false;
        m_deviceMode = true;
        TellEngine();
        StartDeviceWatch();
    }
    HideBarAfterSwitch(barWasShown);
}

// The wait lets the slide finish before the mode's own work (a first slideshow step, a box) begins;
// a bar that was already there did not slide, and the switch does not wait for it.
bool CFrameModes::ShowBarForSwitch()
{
    const bool barWasShown = m_frame.SlideInTaskbar();
    if (!barWasShown) Sleep(kBarSlideWaitMilliseconds);
    return barWasShown;
}

void CFrameModes::HideBarAfterSwitch(bool barWasShown)
{
    if (!barWasShown) SetTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE, kBarHideAfterSwitchMilliseconds, nullptr);
}

void CFrameModes::EndTrackMode()
{
    m_trackMode = false;
    m_frame.Timers().CancelDeferredOpen();
    TellEngine();
}

// The watch ends with its poll: a poll left running would refresh a stopped watcher and, once its
// countdown ran out, report a failure of a mode the user has already ended.
void CFrameModes::EndDeviceMode()
{
    m_deviceMode = false;
    m_devicesPresent = 0;
    StopDeviceWatch();
    m_frame.Timers().CancelDeferredOpen();
    TellEngine();
}

void CFrameModes::StartDeviceWatch()
{
    LastActivityCode = 301.0;
    m_deviceWatcher.Init(UseImageAcquisition());
    m_deviceCountdown = kDevicePollsBeforeGivingUp;
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_DEVICE_POLL, kDevicePollMilliseconds, nullptr);
}

void CFrameModes::StopDeviceWatch()
{
    LastActivityCode = 302.0;
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_DEVICE_POLL);
    m_deviceCountdown = -1;
    m_deviceWatcher.Stop();
}

void CFrameModes::PollDevices()
{
    LastActivityCode = 258.19;
    const HRESULT status = m_deviceWatcher.GetStatus();
    if (!m_deviceWatcher.IsAvailable()) {
        const int before = m_deviceCountdown--;
        if (before < 1 || FAILED(status)) {
            KillTimer(m_frame.m_hWnd, TIMER_FRAME_DEVICE_POLL);
            if (m_deviceMode) ToggleDeviceMode();
            m_frame.ShowViewCursor();
            wchar_t text[256]{};
            if (FAILED(status)) {
                swprintf_s(text, LoadUiString(kDeviceStartFailedString).c_str(), static_cast<unsigned>(status));
            } else {
                wcsncpy_s(text,
                          LoadUiString(IsVistaOrLater() ? kNoDeviceServiceString : kNoAcquisitionServiceString).c_str(),
                          _TRUNCATE);
            }
            ShowMessageBox(m_frame.m_hWnd, text, LoadUiString(kDeviceCaptionString).c_str(), MB_ICONHAND);
            return;
        }
    }
    m_deviceWatcher.RefreshDeviceList();
}

void CFrameModes::CountDevices()
{
    LastActivityCode = 258.11;
    if (!m_deviceMode) return;
    m_devicesPresent = m_deviceWatcher.CountDevicesWithContent();
    LastActivityCode = 258.12;
}

void CFrameModes::TellEngine()
{
    m_frame.Engine().SetWatchModes(m_trackMode, m_deviceMode);
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

LRESULT CFrameModes::OnToggleDeviceMode(WORD, WORD, HWND, BOOL&)
{
    ToggleDeviceMode();
    return 0;
}

LRESULT CFrameModes::OnDeviceRemoved(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const Bstr id = Bstr::Attach(reinterpret_cast<BSTR>(lParam));
    if (!id.Empty()) m_deviceWatcher.RemoveDevice(id.c_str());
    return 0;
}

// Sent by an import on the thread pool: the picture goes into the open folder, and without one the
// user is asked for a folder first.
LRESULT CFrameModes::OnQueryImportFolder(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (!lParam) return 0;
    const Bstr& folder = m_frame.ImageFolderPath();
    if (folder.Empty() || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_BROWSE_FOLDER, -1);
    }
    const Bstr& chosen = m_frame.ImageFolderPath();
    *reinterpret_cast<BSTR*>(lParam) = chosen.Empty() ? nullptr : chosen.Copy();
    return 0;
}
