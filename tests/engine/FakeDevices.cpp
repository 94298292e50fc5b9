#include "tests/engine/FakeDevices.h"
#include "Viewer/engine/DeviceValues.h"
#include "tests/imaging/FakeWic.h"
#include <algorithm>
#include <cstring>

namespace {
LPWSTR CoTaskCopy(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    memcpy(copy, text.c_str(), bytes);
    return copy;
}

// A list of GUIDs.
class FakeGuidCollection : public FakeComObject<IPortableDevicePropVariantCollection> {
public:
    explicit FakeGuidCollection(std::vector<GUID> guids) : m_guids(std::move(guids)) {}
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override
    {
        *count = static_cast<DWORD>(m_guids.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAt(const DWORD index, PROPVARIANT* value) override
    {
        if (index >= m_guids.size()) return E_INVALIDARG;
        value->vt = VT_CLSID;
        value->puuid = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
        *value->puuid = m_guids[index];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(const PROPVARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetType(VARTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ChangeType(const VARTYPE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAt(const DWORD) override { return E_NOTIMPL; }

private:
    std::vector<GUID> m_guids;
};

// A picture's bytes, failing once its limit is reached.
class FakePictureStream : public FakeComObject<IStream> {
public:
    explicit FakePictureStream(FakePicture picture) : m_picture(std::move(picture)) {}
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override
    {
        *read = 0;
        if (m_position >= m_picture.failAfter) return m_picture.readFailure;
        const size_t limit = std::min(m_picture.bytes.size(), m_picture.failAfter);
        const size_t count = std::min<size_t>(size, limit - std::min(limit, m_position));
        memcpy(buffer, m_picture.bytes.data() + m_position, count);
        m_position += count;
        *read = static_cast<ULONG>(count);
        return count < size ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

protected:
    bool Answers(REFIID iid) const override { return iid == IID_ISequentialStream; }

private:
    FakePicture m_picture;
    size_t m_position = 0;
};

class FakeManager : public FakeComObject<IPortableDeviceManager> {
public:
    explicit FakeManager(FakeDeviceWorld& world) : m_world(world) {}
    HRESULT STDMETHODCALLTYPE GetDevices(LPWSTR* ids, DWORD* count) override
    {
        std::lock_guard guard(m_world.lock);
        if (ids) {
            const DWORD given = std::min<DWORD>(*count, static_cast<DWORD>(m_world.cameras.size()));
            for (DWORD i = 0; i < given; ++i) ids[i] = CoTaskCopy(m_world.cameras[i]->id);
            *count = given;
        } else {
            *count = static_cast<DWORD>(m_world.cameras.size());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RefreshDeviceList() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDeviceFriendlyName(LPCWSTR id, WCHAR* name, DWORD* length) override
    {
        const auto camera = m_world.Find(id);
        if (!camera) return E_INVALIDARG;
        const DWORD needed = static_cast<DWORD>(camera->friendlyName.size() + 1);
        if (name) {
            if (*length < needed) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
            memcpy(name, camera->friendlyName.c_str(), needed * sizeof(wchar_t));
        }
        *length = needed;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceDescription(LPCWSTR, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceManufacturer(LPCWSTR, WCHAR*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDeviceProperty(LPCWSTR id, LPCWSTR property, BYTE* data, DWORD* size,
                                                DWORD* type) override
    {
        const auto camera = m_world.Find(id);
        if (!camera || wcscmp(property, kPortableDeviceTypeProperty) != 0 || *size < sizeof(DWORD)) return E_FAIL;
        memcpy(data, &camera->type, sizeof(DWORD));
        *size = sizeof(DWORD);
        *type = REG_DWORD;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPrivateDevices(LPWSTR*, DWORD*) override { return E_NOTIMPL; }

private:
    FakeDeviceWorld& m_world;
};

// The device object with its content, resources and capabilities in one.
class FakeDevice : public FakeComObject<IPortableDevice>,
                   public IPortableDeviceContent,
                   public IPortableDeviceResources,
                   public IPortableDeviceCapabilities {
public:
    explicit FakeDevice(FakeDeviceWorld& world) : m_world(world) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == __uuidof(IPortableDevice)) *out = static_cast<IPortableDevice*>(this);
        if (iid == __uuidof(IPortableDeviceContent)) *out = static_cast<IPortableDeviceContent*>(this);
        if (iid == __uuidof(IPortableDeviceResources)) *out = static_cast<IPortableDeviceResources*>(this);
        if (iid == __uuidof(IPortableDeviceCapabilities)) *out = static_cast<IPortableDeviceCapabilities*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return FakeComObject<IPortableDevice>::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return FakeComObject<IPortableDevice>::Release(); }

    HRESULT STDMETHODCALLTYPE Open(LPCWSTR id, IPortableDeviceValues*) override
    {
        m_camera = m_world.Find(id);
        if (!m_camera) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        std::lock_guard guard(m_world.lock);
        ++m_camera->opens;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SendCommand(DWORD, IPortableDeviceValues*, IPortableDeviceValues**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Content(IPortableDeviceContent** content) override
    {
        AddRef();
        *content = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Capabilities(IPortableDeviceCapabilities** capabilities) override
    {
        AddRef();
        *capabilities = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Cancel() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Advise(DWORD, IPortableDeviceEventCallback* callback, IPortableDeviceValues*,
                                     LPWSTR* cookie) override
    {
        std::lock_guard guard(m_world.lock);
        m_camera->callback = ComPtr<IPortableDeviceEventCallback>(callback);
        m_camera->adviseCookies.push_back(L"cookie-" + std::to_wstring(m_camera->adviseCookies.size() + 1));
        *cookie = CoTaskCopy(m_camera->adviseCookies.back());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(LPCWSTR cookie) override
    {
        std::lock_guard guard(m_world.lock);
        m_camera->unadvisedCookies.push_back(cookie);
        m_camera->callback = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPnPDeviceID(LPWSTR*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, LPCWSTR, IPortableDeviceValues*, IUnknown**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Properties(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Transfer(IPortableDeviceResources** resources) override
    {
        AddRef();
        *resources = this;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSupportedResources(LPCWSTR, IPortableDeviceKeyCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetResourceAttributes(LPCWSTR, REFPROPERTYKEY, IPortableDeviceValues**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetStream(LPCWSTR objectId, REFPROPERTYKEY, DWORD, DWORD* bufferSize,
                                        IStream** stream) override
    {
        std::lock_guard guard(m_world.lock);
        if (m_camera->busyAnswers > 0) {
            --m_camera->busyAnswers;
            return HRESULT_FROM_WIN32(ERROR_BUSY);
        }
        const auto found = m_camera->objects.find(objectId);
        if (found == m_camera->objects.end()) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        *bufferSize = 4096;
        *stream = new FakePictureStream(found->second);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSupportedCommands(IPortableDeviceKeyCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCommandOptions(REFPROPERTYKEY, IPortableDeviceValues**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetFunctionalCategories(IPortableDevicePropVariantCollection** categories) override
    {
        // A storage and a still-image-capture category; the pictures belong to the second.
        *categories = new FakeGuidCollection({kStorageCategory, kCaptureCategory});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFunctionalObjects(REFGUID, IPortableDevicePropVariantCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSupportedContentTypes(REFGUID category,
                                                       IPortableDevicePropVariantCollection** types) override
    {
        std::vector<GUID> contentTypes{Wpd::ContentTypeFolder};
        if (IsEqualGUID(category, kCaptureCategory) && m_camera->pictures) contentTypes.push_back(Wpd::ContentTypeImage);
        *types = new FakeGuidCollection(contentTypes);
        return S_OK;
    }

private:
    static constexpr GUID kStorageCategory = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 1}};
    static constexpr GUID kCaptureCategory = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 2}};

    FakeDeviceWorld& m_world;
    std::shared_ptr<FakeCamera> m_camera;
};
}

namespace {
template <class Camera>
std::shared_ptr<Camera> AddTo(std::mutex& lock, std::vector<std::shared_ptr<Camera>>& cameras,
                              const std::wstring& id, const std::wstring& friendlyName)
{
    auto camera = std::make_shared<Camera>();
    camera->id = id;
    camera->friendlyName = friendlyName;
    std::lock_guard guard(lock);
    cameras.push_back(camera);
    return camera;
}

template <class Camera>
std::shared_ptr<Camera> FindIn(std::mutex& lock, const std::vector<std::shared_ptr<Camera>>& cameras,
                               const std::wstring& id)
{
    std::lock_guard guard(lock);
    for (const auto& camera : cameras)
        if (camera->id == id) return camera;
    return nullptr;
}
}

std::shared_ptr<FakeCamera> FakeDeviceWorld::AddCamera(const std::wstring& id, const std::wstring& friendlyName)
{
    return AddTo(lock, cameras, id, friendlyName);
}

std::shared_ptr<FakeCamera> FakeDeviceWorld::Find(const std::wstring& id)
{
    return FindIn(lock, cameras, id);
}

std::shared_ptr<FakeWiaCamera> FakeDeviceWorld::AddWiaCamera(const std::wstring& id, const std::wstring& friendlyName)
{
    return AddTo(lock, wiaCameras, id, friendlyName);
}

std::shared_ptr<FakeWiaCamera> FakeDeviceWorld::FindWia(const std::wstring& id)
{
    return FindIn(lock, wiaCameras, id);
}

DevicePlatform FakeDeviceWorld::Platform()
{
    DevicePlatform platform;
    platform.createWpdManager = [this](IPortableDeviceManager** manager) {
        if (FAILED(managerFailure)) return managerFailure;
        *manager = new FakeManager(*this);
        return S_OK;
    };
    platform.createClientInformation = [](IPortableDeviceValues** values) { return CDeviceValues::Create(values); };
    platform.createWpdDevice = [this](IPortableDevice** device) {
        *device = new FakeDevice(*this);
        return S_OK;
    };
    platform.createWiaManager = [this](IWiaDevMgr** manager) { return CreateFakeWiaManager(*this, manager); };
    platform.pause = [this](DWORD milliseconds) {
        ++pauses;
        pausedMilliseconds += milliseconds;
        if (onPause) onPause();
    };
    return platform;
}

ComPtr<IPortableDeviceValues> FakeDeviceWorld::ObjectAddedEvent(const FakeCamera& camera, const std::wstring& objectId,
                                                                 const std::wstring& name,
                                                                 const std::wstring& originalName, bool folder)
{
    ComPtr<IPortableDeviceValues> values;
    CDeviceValues::Create(&values);
    values->SetStringValue(Wpd::EventPnpDeviceId, camera.id.c_str());
    values->SetGuidValue(Wpd::EventId, Wpd::EventObjectAdded);
    values->SetStringValue(Wpd::ObjectId, objectId.c_str());
    if (!name.empty()) values->SetStringValue(Wpd::ObjectName, name.c_str());
    if (!originalName.empty()) values->SetStringValue(Wpd::ObjectOriginalFileName, originalName.c_str());
    values->SetGuidValue(Wpd::ObjectContentType, folder ? Wpd::ContentTypeFolder : Wpd::ContentTypeImage);
    return values;
}

HRESULT FakeDeviceWorld::RaiseObjectAdded(const FakeCamera& camera, const std::wstring& objectId,
                                          const std::wstring& name, const std::wstring& originalName, bool folder)
{
    return SendEvent(camera, *ObjectAddedEvent(camera, objectId, name, originalName, folder).Get());
}

HRESULT FakeDeviceWorld::RaiseDeviceRemoved(const FakeCamera& camera)
{
    ComPtr<IPortableDeviceValues> values;
    CDeviceValues::Create(&values);
    values->SetStringValue(Wpd::EventPnpDeviceId, camera.id.c_str());
    values->SetGuidValue(Wpd::EventId, Wpd::EventDeviceRemoved);
    return SendEvent(camera, *values.Get());
}

HRESULT FakeDeviceWorld::SendEvent(const FakeCamera& camera, IPortableDeviceValues& values)
{
    ComPtr<IPortableDeviceEventCallback> callback;
    {
        std::lock_guard guard(lock);
        callback = camera.callback;
    }
    return callback ? callback->OnEvent(&values) : E_UNEXPECTED;
}
