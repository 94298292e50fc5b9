#pragma once
// The two receivers of a connected device's events, one per system interface. They run on system
// threads, read what the event says and queue the work on the thread pool, so they return at once:
// a new picture becomes a transfer, a device that went away a notice to the main window.
#include "Framework/ComPtr.h"
#include "Framework/CriticalSection.h"
#include "Viewer/engine/DeviceRecord.h"
#include <memory>
#include <string>

// Where a callback's events go: the watcher's shared state, held weakly, and the device.
struct DeviceCallbackTarget {
    std::weak_ptr<DeviceWatchState> watch;
    std::wstring deviceId;
};

// The part both callbacks share: the target, set once connected and cleared on disconnection.
class DeviceCallbackBase {
public:
    DeviceCallbackBase() = default;
    DeviceCallbackBase(const DeviceCallbackBase&) = delete;
    DeviceCallbackBase& operator=(const DeviceCallbackBase&) = delete;
    virtual ~DeviceCallbackBase() = default;

    // E_INVALIDARG without a watch.
    HRESULT SetTarget(DeviceCallbackTarget target);
    // Events arriving afterwards are ignored.
    void ClearTarget() noexcept;

protected:
    // The watch when the callback still has a target, else null.
    std::shared_ptr<DeviceWatchState> TargetWatch(std::wstring* deviceId = nullptr);

private:
    CriticalSection m_lock;
    DeviceCallbackTarget m_target;
};

class CWpdEventCallback : public IPortableDeviceEventCallback, public DeviceCallbackBase {
public:
    static HRESULT Create(ComPtr<CWpdEventCallback>& callback) noexcept;

    // Always S_OK: the device is not to hear of the program's troubles.
    HRESULT STDMETHODCALLTYPE OnEvent(IPortableDeviceValues* eventParameters) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};

class CWiaEventCallback : public IWiaEventCallback, public DeviceCallbackBase {
public:
    static HRESULT Create(ComPtr<CWiaEventCallback>& callback) noexcept;

    // Always S_OK.
    HRESULT STDMETHODCALLTYPE ImageEventCallback(const GUID* eventId, BSTR eventDescription, BSTR deviceId,
                                                 BSTR deviceDescription, DWORD deviceType, BSTR fullItemName,
                                                 ULONG* eventType, ULONG reserved) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};
