#pragma once
// Finds the cameras and other imaging devices that are connected, keeps one record per device and
// connects each to the import, so that pictures taken on it are copied into the open folder as they
// appear (tethered shooting). It works through image acquisition (WIA) or portable devices (WPD),
// as the main window chooses when it starts the watch; the main window polls it once a second.
//
// Threads: Init, Stop and the queries run on the main window's thread. The watcher thread owns the
// multithreaded apartment the image-acquisition objects live in; their enumeration is queued to it.
// The records live in the state shared with the import (DeviceRecord.h), guarded by its lock.
#include "Framework/Bstr.h"
#include "Framework/WorkerThread.h"
#include "Viewer/engine/DeviceRecord.h"
#include <atomic>
#include <memory>

class CDeviceWatcher {
public:
    // frame: the main window's handle, read when the watch starts.
    explicit CDeviceWatcher(const HWND& frame) noexcept : m_frame(frame) {}
    CDeviceWatcher(const CDeviceWatcher&) = delete;
    CDeviceWatcher& operator=(const CDeviceWatcher&) = delete;
    ~CDeviceWatcher() { Stop(); }

    // Starts the watcher thread in the chosen mode; E_UNEXPECTED while a watch runs.
    HRESULT Init(bool wiaMode);
    // Ends the watch: every record disconnected, the thread joined. E_UNEXPECTED when none runs.
    HRESULT Stop();
    bool Running() const noexcept { return m_state && !m_state->stopped; }

    // The device manager of the mode exists and the start-up did not fail.
    bool IsAvailable() const noexcept;
    // The start-up's failure, 0 until there is one.
    HRESULT GetStatus() const noexcept;

    // Adds and connects the devices that are not yet known. Image acquisition enumerates on the
    // watcher thread and this returns before it has run. E_UNEXPECTED without the mode's manager.
    HRESULT RefreshDeviceList();
    // The number of devices connected for import.
    size_t CountDevicesWithContent();
    // The names of the connected devices joined with "+", in identifier order; nameless devices are
    // left out and not counted.
    Bstr GetDeviceNamesText(size_t* count);
    // Disconnects and forgets every device. E_UNEXPECTED without the mode's manager.
    HRESULT ClearDevices();
    // Forgets the device whose identifier is equal (ordinal); true when there was one.
    bool RemoveDevice(const wchar_t* deviceId);

    // Transfers queued or running for the last watch, which may outlive it.
    long PendingTransfers() const noexcept;

private:
    static HRESULT WatchThread(const std::shared_ptr<DeviceWatchState>& state, std::atomic<HRESULT>& status,
                               std::atomic<bool>& available, WorkerThread& thread);
    static HRESULT StartUp(DeviceWatchState& state);
    static void CALLBACK EnumerateDevicesApc(ULONG_PTR state);
    static void EnumerateDevices(const std::shared_ptr<DeviceWatchState>& state);
    static HRESULT ClearDevices(DeviceWatchState& state);

    const HWND& m_frame;
    std::shared_ptr<DeviceWatchState> m_state;
    std::atomic<HRESULT> m_status{S_OK};
    std::atomic<bool> m_available{false};
    WorkerThread m_thread;
};
