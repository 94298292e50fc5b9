#pragma once
// One connected camera or imaging device of the device watcher, and the state the watcher shares
// with the device's event callbacks and with the transfers they start on the thread pool.
//
// Ownership: the shared state is reference counted. The watcher holds it while it watches; every
// queued or running transfer holds it too, so a transfer that outlives the watcher's stop or the
// device's removal finds the device gone from the map, never freed memory. Callbacks hold it only
// weakly, and disconnecting a record cuts its callback off first. Records are found by their
// identifier under the state's lock, and used only while it is held.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/CriticalSection.h"
#include "Viewer/engine/DevicePlatform.h"
#include <atomic>
#include <map>
#include <memory>
#include <string>

class CWpdEventCallback;
class CWiaEventCallback;

struct DeviceRecord {
    DeviceRecord(bool wia, std::wstring id);
    DeviceRecord(const DeviceRecord&) = delete;
    DeviceRecord& operator=(const DeviceRecord&) = delete;
    ~DeviceRecord();

    // Ends the device's events and lets go of its objects; a record disconnected twice is left as it is.
    void Disconnect() noexcept;
    // Connected for import: its events reach a callback.
    bool Connected() const noexcept;

    const bool wia;
    const std::wstring id;

    // Portable devices: the open device, its event callback and the cookie that ends the events.
    ComPtr<IPortableDevice> device;
    ComPtr<CWpdEventCallback> wpdCallback;
    std::wstring cookie;

    // Image acquisition: the device information, the root item, the callback and the two
    // registrations (new item, device gone).
    LONG wiaType = 0;
    Bstr vendorDescription;
    Bstr deviceName;
    Bstr deviceDescription;
    ComPtr<IWiaItem> rootItem;
    ComPtr<CWiaEventCallback> wiaCallback;
    ComPtr<IUnknown> itemCreatedRegistration;
    ComPtr<IUnknown> disconnectedRegistration;
};

struct DeviceWatchState : std::enable_shared_from_this<DeviceWatchState> {
    DeviceWatchState(bool wiaMode, HWND frame, DevicePlatform platform)
        : wiaMode(wiaMode), frame(frame), platform(std::move(platform))
    {
    }
    DeviceWatchState(const DeviceWatchState&) = delete;
    DeviceWatchState& operator=(const DeviceWatchState&) = delete;

    const bool wiaMode;
    // The main window: it names the import folder and hears of removed devices.
    const HWND frame;
    const DevicePlatform platform;

    // Guards the map and the three interface pointers.
    CriticalSection lock;
    std::map<std::wstring, std::unique_ptr<DeviceRecord>> devices;
    ComPtr<IPortableDeviceValues> clientInformation;
    ComPtr<IPortableDeviceManager> wpdManager;
    ComPtr<IWiaDevMgr> wiaManager;

    // Set when the watch ends: transfers waiting for a busy device give up.
    std::atomic<bool> stopped{false};
    // Transfers queued or running.
    std::atomic<long> pendingTransfers{0};
};
