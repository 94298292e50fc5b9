#include "tests/engine/FakeWiaDevices.h"
#include "Framework/Bstr.h"
#include "tests/engine/FakeDevices.h"
#include <algorithm>
#include <fstream>
#include <filesystem>
#include <variant>

namespace {
using PropertyValue = std::variant<std::wstring, LONG>;
using PropertyValues = std::map<PROPID, PropertyValue>;

// Counts a failure down; true while the operation is still to fail.
bool FailsNow(int& failures)
{
    if (failures == 0) return false;
    if (failures > 0) --failures;
    return true;
}

// A property storage that reads its values from a source asked at each ReadMultiple, which may fail.
class FakeWiaProperties : public FakeComObject<IWiaPropertyStorage> {
public:
    using Source = std::function<HRESULT(PropertyValues& values)>;
    explicit FakeWiaProperties(Source source) : m_source(std::move(source)) {}

    HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG count, const PROPSPEC specs[], PROPVARIANT values[]) override
    {
        PropertyValues known;
        if (const HRESULT hr = m_source(known); FAILED(hr)) return hr;
        for (ULONG i = 0; i < count; ++i) {
            PropVariantInit(&values[i]);
            const auto found = specs[i].ulKind == PRSPEC_PROPID ? known.find(specs[i].propid) : known.end();
            if (found == known.end()) continue;
            if (const auto* text = std::get_if<std::wstring>(&found->second)) {
                values[i].vt = VT_BSTR;
                values[i].bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
            } else {
                values[i].vt = VT_I4;
                values[i].lVal = std::get<LONG>(found->second);
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG, const PROPSPEC[], const PROPVARIANT[], PROPID) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG, const PROPSPEC[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG, const PROPID[], LPOLESTR[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG, const PROPID[], const LPOLESTR[]) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG, const PROPID[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME*, const FILETIME*, const FILETIME*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPropertyAttributes(ULONG, PROPSPEC[], ULONG[], PROPVARIANT[]) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPropertyStream(GUID*, IStream**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropertyStream(GUID*, IStream*) override { return E_NOTIMPL; }

private:
    Source m_source;
};

// The transfer of one picture into the file the medium names.
class FakeWiaTransfer : public FakeComObject<IWiaDataTransfer> {
public:
    FakeWiaTransfer(FakeDeviceWorld& world, std::shared_ptr<FakeWiaCamera> camera, std::wstring itemName)
        : m_world(world), m_camera(std::move(camera)), m_itemName(std::move(itemName))
    {
    }

    HRESULT STDMETHODCALLTYPE idtGetData(LPSTGMEDIUM medium, IWiaDataCallback*) override
    {
        if (!medium || medium->tymed != TYMED_FILE || !medium->lpszFileName) return E_INVALIDARG;
        std::function<void()> hook;
        {
            std::lock_guard guard(m_world.lock);
            const auto found = m_camera->items.find(m_itemName);
            if (found != m_camera->items.end()) hook = found->second.onTransfer;
        }
        if (hook) hook();
        std::lock_guard guard(m_world.lock);
        m_camera->transferFiles.push_back(medium->lpszFileName);
        const auto found = m_camera->items.find(m_itemName);
        if (found == m_camera->items.end()) return WIA_ERROR_ITEM_DELETED;
        FakeWiaPicture& picture = found->second;
        const bool fails = FailsNow(picture.transferFailures);
        const size_t length = fails ? std::min(picture.partialBytes, picture.bytes.size()) : picture.bytes.size();
        if (!fails || length > 0) {
            std::ofstream(std::filesystem::path(medium->lpszFileName), std::ios::binary | std::ios::trunc)
                .write(picture.bytes.data(), static_cast<std::streamsize>(length));
        }
        return fails ? picture.transferFailure : S_OK;
    }
    HRESULT STDMETHODCALLTYPE idtGetBandedData(PWIA_DATA_TRANSFER_INFO, IWiaDataCallback*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE idtQueryGetData(WIA_FORMAT_INFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE idtEnumWIA_FORMAT_INFO(IEnumWIA_FORMAT_INFO**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE idtGetExtendedTransferInfo(PWIA_EXTENDED_TRANSFER_INFO) override { return E_NOTIMPL; }

private:
    FakeDeviceWorld& m_world;
    std::shared_ptr<FakeWiaCamera> m_camera;
    std::wstring m_itemName;
};

// The camera's root item (no item name) or one of its pictures. A picture hands out its properties
// and its transfer as further interfaces.
class FakeWiaItem : public FakeComObject<IWiaItem> {
public:
    FakeWiaItem(FakeDeviceWorld& world, std::shared_ptr<FakeWiaCamera> camera, std::wstring itemName = {})
        : m_world(world), m_camera(std::move(camera)), m_itemName(std::move(itemName))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (m_itemName.empty() || (iid != IID_IWiaPropertyStorage && iid != IID_IWiaDataTransfer)) {
            return FakeComObject<IWiaItem>::QueryInterface(iid, out);
        }
        if (iid == IID_IWiaDataTransfer) {
            *out = static_cast<IWiaDataTransfer*>(new FakeWiaTransfer(m_world, m_camera, m_itemName));
            return S_OK;
        }
        *out = static_cast<IWiaPropertyStorage*>(new FakeWiaProperties(
            [&world = m_world, camera = m_camera, name = m_itemName](PropertyValues& values) {
                std::lock_guard guard(world.lock);
                const auto found = camera->items.find(name);
                if (found == camera->items.end()) return WIA_ERROR_ITEM_DELETED;
                if (FailsNow(found->second.propertyFailures)) return WIA_ERROR_BUSY;
                values[WIA_IPA_ITEM_NAME] = found->second.itemName;
                values[WIA_IPA_FILENAME_EXTENSION] = found->second.extension;
                return S_OK;
            }));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE FindItemByName(LONG, BSTR fullItemName, IWiaItem** item) override
    {
        *item = nullptr;
        if (!m_itemName.empty() || !fullItemName) return E_INVALIDARG;
        std::lock_guard guard(m_world.lock);
        const auto found = m_camera->items.find(fullItemName);
        if (found == m_camera->items.end()) return S_FALSE;
        if (FailsNow(found->second.findFailures)) return WIA_ERROR_BUSY;
        *item = new FakeWiaItem(m_world, m_camera, fullItemName);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetItemType(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AnalyzeItem(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumChildItems(IEnumWiaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteItem(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateChildItem(LONG, BSTR, BSTR, IWiaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumRegisterEventInfo(LONG, const GUID*, IEnumWIA_DEV_CAPS**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeviceDlg(HWND, LONG, LONG, LONG*, IWiaItem***) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeviceCommand(LONG, const GUID*, IWiaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRootItem(IWiaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDeviceCapabilities(LONG, IEnumWIA_DEV_CAPS**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DumpItemData(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DumpDrvItemData(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DumpTreeItemData(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Diagnostic(ULONG, BYTE*) override { return E_NOTIMPL; }

private:
    FakeDeviceWorld& m_world;
    std::shared_ptr<FakeWiaCamera> m_camera;
    std::wstring m_itemName;
};

// While it lives, the camera's event reaches the registered callback.
class FakeWiaRegistration : public FakeComObject<IUnknown> {
public:
    FakeWiaRegistration(FakeDeviceWorld& world, std::shared_ptr<FakeWiaCamera> camera, const GUID& event)
        : m_world(world), m_camera(std::move(camera)), m_event(event)
    {
    }
    ~FakeWiaRegistration() override
    {
        std::lock_guard guard(m_world.lock);
        --m_camera->liveRegistrations;
        (IsEqualGUID(m_event, WIA_EVENT_ITEM_CREATED) ? m_camera->itemCreatedCallback
                                                      : m_camera->disconnectedCallback) = nullptr;
    }

private:
    FakeDeviceWorld& m_world;
    std::shared_ptr<FakeWiaCamera> m_camera;
    GUID m_event;
};

// The device information of the cameras there were when the enumeration began.
class FakeWiaDeviceInfo : public FakeComObject<IEnumWIA_DEV_INFO> {
public:
    explicit FakeWiaDeviceInfo(std::vector<std::shared_ptr<FakeWiaCamera>> cameras) : m_cameras(std::move(cameras)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IWiaPropertyStorage** items, ULONG* fetched) override
    {
        if (count != 1) return E_INVALIDARG;
        if (fetched) *fetched = 0;
        if (m_next >= m_cameras.size()) return S_FALSE;
        const FakeWiaCamera& camera = *m_cameras[m_next++];
        PropertyValues values;
        values[WIA_DIP_DEV_ID] = camera.idAsNumber ? PropertyValue(LONG{7}) : PropertyValue(camera.id);
        values[WIA_DIP_DEV_TYPE] = camera.type;
        values[WIA_DIP_VEND_DESC] = camera.vendor;
        values[WIA_DIP_DEV_NAME] = camera.friendlyName;
        values[WIA_DIP_DEV_DESC] = camera.description;
        *items = new FakeWiaProperties([values](PropertyValues& out) {
            out = values;
            return S_OK;
        });
        if (fetched) *fetched = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWIA_DEV_INFO**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override
    {
        *count = static_cast<ULONG>(m_cameras.size());
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<FakeWiaCamera>> m_cameras;
    size_t m_next = 0;
};

class FakeWiaManager : public WiaManagerStubs {
public:
    explicit FakeWiaManager(FakeDeviceWorld& world) : m_world(world) {}

    HRESULT STDMETHODCALLTYPE EnumDeviceInfo(LONG flags, IEnumWIA_DEV_INFO** devices) override
    {
        ++m_world.wiaEnumerations;
        m_world.wiaEnumerationThread = GetCurrentThreadId();
        if (m_world.onEnumerate) m_world.onEnumerate();
        if (flags != WIA_DEVINFO_ENUM_LOCAL) return E_INVALIDARG;
        std::lock_guard guard(m_world.lock);
        *devices = new FakeWiaDeviceInfo(m_world.wiaCameras);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(BSTR id, IWiaItem** root) override
    {
        *root = nullptr;
        const auto camera = id ? m_world.FindWia(id) : nullptr;
        if (!camera) return WIA_S_NO_DEVICE_AVAILABLE;
        std::lock_guard guard(m_world.lock);
        ++camera->creates;
        if (FAILED(camera->createFailure)) return camera->createFailure;
        *root = new FakeWiaItem(m_world, camera);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackInterface(LONG, BSTR id, const GUID* event,
                                                             IWiaEventCallback* callback,
                                                             IUnknown** registration) override
    {
        *registration = nullptr;
        const auto camera = id ? m_world.FindWia(id) : nullptr;
        if (!camera || !event || !callback) return E_INVALIDARG;
        const bool itemCreated = IsEqualGUID(*event, WIA_EVENT_ITEM_CREATED);
        if (!itemCreated && !IsEqualGUID(*event, WIA_EVENT_DEVICE_DISCONNECTED)) return E_INVALIDARG;
        std::lock_guard guard(m_world.lock);
        camera->registeredEvents.push_back(*event);
        if (IsEqualGUID(*event, camera->refusedEvent)) return E_FAIL;
        ++camera->liveRegistrations;
        (itemCreated ? camera->itemCreatedCallback : camera->disconnectedCallback) =
            ComPtr<IWiaEventCallback>(callback);
        *registration = new FakeWiaRegistration(m_world, camera, *event);
        return S_OK;
    }


private:
    FakeDeviceWorld& m_world;
};

// Sends one event to the callback registered for it, as the system does from its own thread.
HRESULT RaiseWiaEvent(FakeDeviceWorld& world, const FakeWiaCamera& camera, const GUID& event,
                      const std::wstring& fullItemName)
{
    ComPtr<IWiaEventCallback> callback;
    {
        std::lock_guard guard(world.lock);
        callback = IsEqualGUID(event, WIA_EVENT_ITEM_CREATED) ? camera.itemCreatedCallback
                                                               : camera.disconnectedCallback;
    }
    if (!callback) return E_UNEXPECTED;
    Bstr description(L"event");
    Bstr id(camera.id);
    Bstr deviceDescription(camera.description);
    Bstr itemName(fullItemName);
    ULONG eventType = 0;
    return callback->ImageEventCallback(&event, description.Get(), id.Get(), deviceDescription.Get(),
                                        static_cast<DWORD>(camera.type), itemName.Get(), &eventType, 0);
}
}

HRESULT CreateFakeWiaManager(FakeDeviceWorld& world, IWiaDevMgr** manager)
{
    if (FAILED(world.managerFailure)) return world.managerFailure;
    *manager = new FakeWiaManager(world);
    return S_OK;
}

HRESULT FakeDeviceWorld::RaiseItemCreated(const FakeWiaCamera& camera, const std::wstring& fullItemName)
{
    return RaiseWiaEvent(*this, camera, WIA_EVENT_ITEM_CREATED, fullItemName);
}

HRESULT FakeDeviceWorld::RaiseWiaDisconnected(const FakeWiaCamera& camera)
{
    return RaiseWiaEvent(*this, camera, WIA_EVENT_DEVICE_DISCONNECTED, L"");
}
