#pragma once
// The frame's running modes, of which at most one is on: the slideshow, which shows the next picture
// at every interval; track mode, which shows each new file of the folder as it arrives (for
// shooting tethered); and device mode, which watches the connected cameras, copies each new picture
// into the open folder and shows it.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DeviceWatcher.h"

class CMainFrame;

class CFrameModes : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameModes)
        COMMAND_ID_HANDLER(ID_AUTO_MODE, OnAutoMode)
        COMMAND_ID_HANDLER(ID_TRACK_MODE, OnTrackMode)
        COMMAND_ID_HANDLER(ID_DEVICE_MODE, OnToggleDeviceMode)
        MESSAGE_HANDLER(WM_APP_DEVICE_REMOVED, OnDeviceRemoved)
        MESSAGE_HANDLER(WM_APP_QUERY_IMPORT_FOLDER, OnQueryImportFolder)
    END_MESSAGE_MAP()

    explicit CFrameModes(CMainFrame& frame);

    bool IsSlideshowRunning() const noexcept { return m_slideshow; }
    bool IsTrackMode() const noexcept { return m_trackMode; }
    bool IsDeviceMode() const noexcept { return m_deviceMode; }
    bool AnyModeRunning() const noexcept { return m_slideshow || m_trackMode || m_deviceMode; }

    void ToggleAutoMode();
    void ToggleTrackMode();
    void ToggleDeviceMode();
    // The next slideshow step after the interval; each shown step arms the next.
    void ArmSlideshowStep();
    // Ends the slideshow when it runs (a navigation command, the end of a list that does not wrap).
    void StopSlideshow();

    // The device poll of every second while the watch starts: refreshes the devices, or ends device
    // mode with a box when the watch failed or never became available.
    void PollDevices();
    // Notes how many devices are connected for import (the periodic tick, in device mode).
    void CountDevices();
    size_t DevicesPresent() const noexcept { return m_devicesPresent; }
    // Polls left before device mode gives up waiting for the watch; -1 when it does not wait.
    int DeviceCountdown() const noexcept { return m_deviceCountdown; }
    CDeviceWatcher& DeviceWatcher() noexcept { return m_deviceWatcher; }

private:
    LRESULT OnAutoMode(WORD, WORD, HWND, BOOL&);
    LRESULT OnTrackMode(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleDeviceMode(WORD, WORD, HWND, BOOL&);
    LRESULT OnDeviceRemoved(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnQueryImportFolder(UINT, WPARAM, LPARAM lParam, BOOL&);

    // Every switch brings a bar that hides itself into view, so that its status line shows the new
    // mode; answers whether the bar was there before.
    bool ShowBarForSwitch();
    // A bar that came in only for the switch goes again once the change has been seen.
    void HideBarAfterSwitch(bool barWasShown);
    void EndTrackMode();
    void EndDeviceMode();
    void StartDeviceWatch();
    void StopDeviceWatch();
    void TellEngine();

    CMainFrame& m_frame;
    CDeviceWatcher m_deviceWatcher;
    bool m_slideshow = false;
    bool m_trackMode = false;
    bool m_deviceMode = false;
    int m_deviceCountdown = -1;
    size_t m_devicesPresent = 0;
};
