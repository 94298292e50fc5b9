#include "Viewer/engine/DeviceWatcher.h"
#include "Framework/HResultError.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"
#include "Viewer/engine/DeviceImport.h"
#include <shlwapi.h>
#include <string>
#include <vector>

namespace {
constexpr UINT kProductNameString = 100;
constexpr ULONG kImpersonation = 0x20000;  // SECURITY_IMPERSONATION

// Who asks the devices for their pictures, and for what.
HRESULT FillClientInformation(IPortableDeviceValues& values)
{
    WORD major = 0, minor = 0, build = 0;
    GetAppVersion(&major, &minor, &build, nullptr, nullptr, 0, nullptr);
    HRESULT hr = values.SetStringValue(Wpd::ClientName, LoadUiString(kProductNameString).c_str());
    if (SUCCEEDED(hr)) hr = values.SetUnsignedIntegerValue(Wpd::ClientMajorVersion, major);
    if (SUCCEEDED(hr)) hr = values.SetUnsignedIntegerValue(Wpd::ClientMinorVersion, minor);
    if (SUCCEEDED(hr)) hr = values.SetUnsignedIntegerValue(Wpd::ClientRevision, build);
    if (SUCCEEDED(hr)) hr = values.SetUnsignedIntegerValue(Wpd::ClientSecurityQualityOfService, kImpersonation);
    if (SUCCEEDED(hr)) hr = values.SetUnsignedIntegerValue(Wpd::ClientDesiredAccess, GENERIC_READ);
    return hr;
}

// A string property of a device's information, empty when it is not one.
Bstr BstrProperty(const PROPVARIANT& value)
{
    return value.vt == VT_BSTR && value.bstrVal ? Bstr(std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal)))
                                                : Bstr();
}

std::wstring FriendlyName(IPortableDeviceManager& manager, const std::wstring& deviceId)
{
    DWORD length = 0;
    if (FAILED(manager.GetDeviceFriendlyName(deviceId.c_str(), nullptr, &length)) || length == 0) return {};
    std::vector<wchar_t> name(length + 1);
    if (FAILED(manager.GetDeviceFriendlyName(deviceId.c_str(), name.data(), &length))) return {};
    name.back() = L'\0';
    return name.data();
}
}

HRESULT CDeviceWatcher::Init(bool wiaMode)
{
    if (Running()) return E_UNEXPECTED;
    m_status = S_OK;
    m_available = false;
    auto state = std::make_shared<DeviceWatchState>(wiaMode, m_frame, CurrentDevicePlatform());
    const HRESULT hr = m_thread.Start(
        L"devices", [state, this](WorkerThread& self) { return WatchThread(state, m_status, m_available, self); },
        WorkerApartment::MultiThreaded);
    if (FAILED(hr)) return hr;
    m_state = std::move(state);
    return S_OK;
}

HRESULT CDeviceWatcher::Stop()
{
    if (!Running()) return E_UNEXPECTED;
    m_state->stopped = true;
    m_thread.StopAndJoin();
    return S_OK;
}

bool CDeviceWatcher::IsAvailable() const noexcept
{
    return m_status >= 0 && m_available;
}

HRESULT CDeviceWatcher::GetStatus() const noexcept
{
    return m_status;
}

HRESULT CDeviceWatcher::WatchThread(const std::shared_ptr<DeviceWatchState>& state, std::atomic<HRESULT>& status,
                                    std::atomic<bool>& available, WorkerThread& thread)
{
    status = StartUp(*state);
    available = SUCCEEDED(status.load());
    if (state->wiaMode) {
        // Alertable, so that the queued enumerations run on this thread, in its apartment.
        while (WaitForSingleObjectEx(thread.StopEvent(), INFINITE, TRUE) == WAIT_IO_COMPLETION) {
        }
    } else {
        WaitForSingleObject(thread.StopEvent(), INFINITE);
    }
    ClearDevices(*state);
    {
        CriticalSectionScope lock(state->lock);
        state->wiaManager = nullptr;
        state->wpdManager = nullptr;
    }
    available = false;
    status = S_OK;
    return S_OK;
}

HRESULT CDeviceWatcher::StartUp(DeviceWatchState& state)
{
    ComPtr<IWiaDevMgr> wiaManager;
    ComPtr<IPortableDeviceManager> wpdManager;
    ComPtr<IPortableDeviceValues> clientInformation;
    if (state.wiaMode) {
        if (const HRESULT hr = state.platform.createWiaManager(&wiaManager); FAILED(hr)) return hr;
    } else {
        if (const HRESULT hr = state.platform.createWpdManager(&wpdManager); FAILED(hr)) return hr;
        if (const HRESULT hr = state.platform.createClientInformation(&clientInformation); FAILED(hr)) return hr;
        if (const HRESULT hr = FillClientInformation(*clientInformation.Get()); FAILED(hr)) return hr;
    }
    CriticalSectionScope lock(state.lock);
    state.wiaManager = std::move(wiaManager);
    state.wpdManager = std::move(wpdManager);
    state.clientInformation = std::move(clientInformation);
    return S_OK;
}

HRESULT CDeviceWatcher::RefreshDeviceList()
{
    if (!m_state) return E_UNEXPECTED;
    DeviceWatchState& state = *m_state;
    if (state.wiaMode) {
        {
            CriticalSectionScope lock(state.lock);
            if (!state.wiaManager) return E_UNEXPECTED;
        }
        if (!QueueUserAPC(EnumerateDevicesApc, m_thread.Handle(), reinterpret_cast<ULONG_PTR>(&state))) {
            return HResultFromLastError();
        }
        return S_OK;
    }
    return CatchAsHResult([&] {
        CriticalSectionScope lock(state.lock);
        if (!state.wpdManager) return E_UNEXPECTED;
        ThrowIfFailed(state.wpdManager->RefreshDeviceList());
        DWORD count = 0;
        ThrowIfFailed(state.wpdManager->GetDevices(nullptr, &count));
        std::vector<LPWSTR> ids(count);
        if (count) ThrowIfFailed(state.wpdManager->GetDevices(ids.data(), &count));
        for (DWORD i = 0; i < count && i < ids.size(); ++i) {
            const std::wstring id(ids[i] ? ids[i] : L"");
            CoTaskMemFree(ids[i]);
            ids[i] = nullptr;
            if (id.empty() || state.devices.count(id)) continue;
            auto record = std::make_unique<DeviceRecord>(false, id);
            if (ConnectWpdDevice(*record, m_state)) state.devices.emplace(id, std::move(record));
        }
        for (LPWSTR left : ids) CoTaskMemFree(left);
        return S_OK;
    });
}

// Runs on the watcher thread during its alertable wait, while the thread holds the state.
void CALLBACK CDeviceWatcher::EnumerateDevicesApc(ULONG_PTR state)
{
    try {
        EnumerateDevices(reinterpret_cast<DeviceWatchState*>(state)->shared_from_this());
    } catch (...) {
        TraceCaughtException(L"device enumeration");
    }
}

void CDeviceWatcher::EnumerateDevices(const std::shared_ptr<DeviceWatchState>& state)
{
    CriticalSectionScope lock(state->lock);
    if (!state->wiaManager) return;
    ComPtr<IEnumWIA_DEV_INFO> devices;
    ULONG count = 0;
    if (FAILED(state->wiaManager->EnumDeviceInfo(WIA_DEVINFO_ENUM_LOCAL, &devices)) || FAILED(devices->GetCount(&count))) {
        return;
    }
    for (ULONG i = 0; i < count; ++i) {
        ComPtr<IWiaPropertyStorage> information;
        ULONG fetched = 0;
        if (devices->Next(1, &information, &fetched) != S_OK || !information) return;
        PROPSPEC specs[5]{};
        const PROPID ids[5] = {WIA_DIP_DEV_ID, WIA_DIP_DEV_TYPE, WIA_DIP_VEND_DESC, WIA_DIP_DEV_NAME, WIA_DIP_DEV_DESC};
        for (int p = 0; p < 5; ++p) {
            specs[p].ulKind = PRSPEC_PROPID;
            specs[p].propid = ids[p];
        }
        PROPVARIANT values[5]{};
        if (information->ReadMultiple(5, specs, values) == S_OK && values[0].vt == VT_BSTR && values[0].bstrVal) {
            const std::wstring id(values[0].bstrVal, SysStringLen(values[0].bstrVal));
            if (!state->devices.count(id)) {
                auto record = std::make_unique<DeviceRecord>(true, id);
                record->wiaType = values[1].vt == VT_I4 ? values[1].lVal : 0;
                record->vendorDescription = BstrProperty(values[2]);
                record->deviceName = BstrProperty(values[3]);
                record->deviceDescription = BstrProperty(values[4]);
                if (ConnectWiaDevice(*record, state)) state->devices.emplace(id, std::move(record));
            }
        }
        FreePropVariantArray(5, values);
    }
}

size_t CDeviceWatcher::CountDevicesWithContent()
{
    if (!m_state) return 0;
    CriticalSectionScope lock(m_state->lock);
    size_t count = 0;
    for (const auto& [id, record] : m_state->devices) count += record->Connected() ? 1 : 0;
    return count;
}

Bstr CDeviceWatcher::GetDeviceNamesText(size_t* count)
{
    if (count) *count = 0;
    if (!m_state) return Bstr(L"");
    std::wstring text;
    size_t named = 0;
    {
        CriticalSectionScope lock(m_state->lock);
        for (const auto& [id, record] : m_state->devices) {
            if (!record->Connected()) continue;
            std::wstring name;
            if (record->wia) {
                name = record->deviceName.c_str();
            } else if (m_state->wpdManager) {
                name = FriendlyName(*m_state->wpdManager.Get(), id);
            }
            if (name.empty()) continue;
            if (named++) text += L"+";
            text += name;
        }
    }
    if (count) *count = named;
    return Bstr(text);
}

HRESULT CDeviceWatcher::ClearDevices()
{
    return m_state ? ClearDevices(*m_state) : E_UNEXPECTED;
}

HRESULT CDeviceWatcher::ClearDevices(DeviceWatchState& state)
{
    std::map<std::wstring, std::unique_ptr<DeviceRecord>> devices;
    {
        CriticalSectionScope lock(state.lock);
        if (state.wiaMode ? !state.wiaManager : !state.wpdManager) return E_UNEXPECTED;
        devices.swap(state.devices);
    }
    // Outside the lock: ending a device's events can wait for an event being delivered, whose
    // callback may be waiting for the lock. Out of the map, no transfer reaches the records.
    for (auto& [id, record] : devices) record->Disconnect();
    return S_OK;
}

bool CDeviceWatcher::RemoveDevice(const wchar_t* deviceId)
{
    if (!m_state || !deviceId) return false;
    std::unique_ptr<DeviceRecord> removed;
    {
        CriticalSectionScope lock(m_state->lock);
        for (auto it = m_state->devices.begin(); it != m_state->devices.end(); ++it) {
            if (StrCmpW(it->first.c_str(), deviceId) == 0) {
                removed = std::move(it->second);
                m_state->devices.erase(it);
                break;
            }
        }
    }
    // Outside the lock, as in ClearDevices.
    if (removed) removed->Disconnect();
    return static_cast<bool>(removed);
}

long CDeviceWatcher::PendingTransfers() const noexcept
{
    return m_state ? m_state->pendingTransfers.load() : 0;
}
