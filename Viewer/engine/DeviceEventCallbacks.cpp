#include "Viewer/engine/DeviceEventCallbacks.h"
#include "Framework/ComObject.h"
#include "Viewer/engine/DeviceImport.h"
#include <objbase.h>

namespace {
// A string value of the event, empty when it has none.
std::wstring StringValue(const PROPVARIANT& value)
{
    return value.vt == VT_LPWSTR && value.pwszVal ? std::wstring(value.pwszVal) : std::wstring();
}

// What an added object's event says of it.
WpdObjectEvent ReadAddedObject(IPortableDeviceValues& values)
{
    WpdObjectEvent object;
    DWORD count = 0;
    if (FAILED(values.GetCount(&count))) return object;
    for (DWORD i = 0; i < count; ++i) {
        PROPERTYKEY key{};
        PROPVARIANT value{};
        if (FAILED(values.GetAt(i, &key, &value))) continue;
        if (key == Wpd::ObjectId) object.objectId = StringValue(value);
        if (key == Wpd::ObjectName) object.objectName = StringValue(value);
        if (key == Wpd::ObjectOriginalFileName) object.originalFileName = StringValue(value);
        if (key == Wpd::ObjectContentType && value.vt == VT_CLSID && value.puuid &&
            IsEqualGUID(*value.puuid, Wpd::ContentTypeFolder)) {
            object.folder = true;
        }
        PropVariantClear(&value);
    }
    return object;
}

bool HasWpdManager(DeviceWatchState& watch)
{
    CriticalSectionScope lock(watch.lock);
    return static_cast<bool>(watch.wpdManager);
}

bool HasWiaManager(DeviceWatchState& watch)
{
    CriticalSectionScope lock(watch.lock);
    return static_cast<bool>(watch.wiaManager);
}
}

HRESULT DeviceCallbackBase::SetTarget(const DeviceCallbackTarget* target)
{
    if (!target || target->watch.expired()) return E_INVALIDARG;
    return CatchAsHResult([&] {
        DeviceCallbackTarget copy = *target;
        CriticalSectionScope lock(m_lock);
        m_target = std::move(copy);
        return S_OK;
    });
}

void DeviceCallbackBase::ClearTarget() noexcept
{
    CriticalSectionScope lock(m_lock);
    m_target.watch.reset();
}

std::shared_ptr<DeviceWatchState> DeviceCallbackBase::TargetWatch(std::wstring* deviceId)
{
    CriticalSectionScope lock(m_lock);
    if (deviceId) *deviceId = m_target.deviceId;
    return m_target.watch.lock();
}

HRESULT CWpdEventCallback::Create(ComPtr<CWpdEventCallback>& callback) noexcept
{
    ComPtr<IPortableDeviceEventCallback> created;
    const HRESULT hr = ComObject<CWpdEventCallback>::Create<>(nullptr, __uuidof(IPortableDeviceEventCallback),
                                                             created.AsVoid());
    if (SUCCEEDED(hr)) callback = ComPtr<CWpdEventCallback>::Attach(static_cast<CWpdEventCallback*>(created.Detach()));
    return hr;
}

void* CWpdEventCallback::FindInterface(REFIID iid) noexcept
{
    if (iid == __uuidof(IPortableDeviceEventCallback)) return static_cast<IPortableDeviceEventCallback*>(this);
    return iid == __uuidof(IDeviceCallbackTarget) ? static_cast<IDeviceCallbackTarget*>(this) : nullptr;
}

HRESULT CWpdEventCallback::OnEvent(IPortableDeviceValues* eventParameters)
{
    try {
        if (!eventParameters) return S_OK;
        LPWSTR deviceId = nullptr;
        GUID eventId{};
        if (FAILED(eventParameters->GetStringValue(Wpd::EventPnpDeviceId, &deviceId))) return S_OK;
        const std::wstring device(deviceId ? deviceId : L"");
        CoTaskMemFree(deviceId);
        if (FAILED(eventParameters->GetGuidValue(Wpd::EventId, &eventId))) return S_OK;
        const std::shared_ptr<DeviceWatchState> watch = TargetWatch();
        if (!watch || !HasWpdManager(*watch)) return S_OK;
        if (IsEqualGUID(eventId, Wpd::EventDeviceRemoved)) {
            QueueDeviceRemoved(watch, device);
        } else if (IsEqualGUID(eventId, Wpd::EventObjectAdded)) {
            WpdObjectEvent object = ReadAddedObject(*eventParameters);
            if (object.folder || device.empty() || object.objectId.empty()) return S_OK;
            if (object.objectName.empty() && object.originalFileName.empty()) return S_OK;
            object.deviceId = device;
            QueueWpdTransfer(watch, ComPtr<IUnknown>(static_cast<IPortableDeviceEventCallback*>(this)),
                             std::move(object));
        }
    } catch (...) {
        TraceCaughtException(L"device event");
    }
    return S_OK;
}

HRESULT CWiaEventCallback::Create(ComPtr<CWiaEventCallback>& callback) noexcept
{
    ComPtr<IWiaEventCallback> created;
    const HRESULT hr = ComObject<CWiaEventCallback>::Create<>(nullptr, IID_IWiaEventCallback, created.AsVoid());
    if (SUCCEEDED(hr)) callback = ComPtr<CWiaEventCallback>::Attach(static_cast<CWiaEventCallback*>(created.Detach()));
    return hr;
}

void* CWiaEventCallback::FindInterface(REFIID iid) noexcept
{
    if (iid == IID_IWiaEventCallback) return static_cast<IWiaEventCallback*>(this);
    return iid == __uuidof(IDeviceCallbackTarget) ? static_cast<IDeviceCallbackTarget*>(this) : nullptr;
}

HRESULT CWiaEventCallback::ImageEventCallback(const GUID* eventId, BSTR, BSTR deviceId, BSTR, DWORD,
                                              BSTR fullItemName, ULONG*, ULONG)
{
    try {
        if (!eventId) return S_OK;
        const std::shared_ptr<DeviceWatchState> watch = TargetWatch();
        if (!watch) return S_OK;
        const std::wstring device(deviceId ? deviceId : L"");
        if (IsEqualGUID(*eventId, WIA_EVENT_ITEM_CREATED)) {
            if (device.empty() || !fullItemName || !*fullItemName) return S_OK;
            QueueWiaTransfer(watch, ComPtr<IUnknown>(static_cast<IWiaEventCallback*>(this)), device, fullItemName);
        } else if (IsEqualGUID(*eventId, WIA_EVENT_DEVICE_DISCONNECTED) && HasWiaManager(*watch)) {
            QueueDeviceRemoved(watch, device);
        }
    } catch (...) {
        TraceCaughtException(L"device event");
    }
    return S_OK;
}
