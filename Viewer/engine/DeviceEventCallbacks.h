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

// The program's own interface of both callbacks, through which the device's connection tells a
// callback where its events go.
struct IDeviceCallbackTarget : public IUnknown {
    // Keeps a copy of the target; E_INVALIDARG for null or for a watch that has ended. The watch is
    // held weakly: a callback the system keeps after the watch has ended finds it gone.
    virtual HRESULT STDMETHODCALLTYPE SetTarget(const DeviceCallbackTarget* target) = 0;
};
__CRT_UUID_DECL(IDeviceCallbackTarget, 0x79acbf16, 0xea57, 0x4092, 0xa7, 0x40, 0x3e, 0x8c, 0xda, 0xbb, 0xda, 0xb2)

// The part both callbacks share: the target, set once connected and cleared on disconnection.
class DeviceCallbackBase : public IDeviceCallbackTarget {
public:
    DeviceCallbackBase() = default;
    DeviceCallbackBase(const DeviceCallbackBase&) = delete;
    DeviceCallbackBase& operator=(const DeviceCallbackBase&) = delete;
    virtual ~DeviceCallbackBase() = default;

    HRESULT STDMETHODCALLTYPE SetTarget(const DeviceCallbackTarget* target) override;
    // Events arriving afterwards are ignored; an event being handled keeps the watch it already has.
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
    // One IUnknown for both interfaces, given by ComObject.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    static HRESULT Create(ComPtr<CWpdEventCallback>& callback) noexcept;

    // Always S_OK: the device is not to hear of the program's troubles.
    HRESULT STDMETHODCALLTYPE OnEvent(IPortableDeviceValues* eventParameters) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};

class CWiaEventCallback : public IWiaEventCallback, public DeviceCallbackBase {
public:
    // One IUnknown for both interfaces, given by ComObject.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    static HRESULT Create(ComPtr<CWiaEventCallback>& callback) noexcept;

    // Always S_OK.
    HRESULT STDMETHODCALLTYPE ImageEventCallback(const GUID* eventId, BSTR eventDescription, BSTR deviceId,
                                                 BSTR deviceDescription, DWORD deviceType, BSTR fullItemName,
                                                 ULONG* eventType, ULONG reserved) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};
