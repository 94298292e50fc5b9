#include "Viewer/engine/DeviceImport.h"
#include "Framework/Bstr.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DeviceEventCallbacks.h"
#include <shlwapi.h>
#include <algorithm>
#include <cwchar>
#include <vector>

namespace {
constexpr HRESULT kDeviceBusy = HRESULT_FROM_WIN32(ERROR_BUSY);  // 0x800700AA
constexpr DWORD kBusyPauseMilliseconds = 250;
constexpr int kBusyRetries = 2400;  // ten minutes
constexpr DWORD kItemPauseMilliseconds = 100;
constexpr int kItemTries = 101;
constexpr DWORD kSmallestCopyBuffer = 65536;
constexpr wchar_t kOverwriteCaption[] = L"Lumenfold - Confirm Destination File Overwrite";
constexpr wchar_t kFailureCaption[] = L"Lumenfold - File Import";

enum class WorkKind { DeviceRemoved, WpdTransfer, WiaTransfer };

struct DeviceWork {
    WorkKind kind;
    std::shared_ptr<DeviceWatchState> watch;
    ComPtr<IUnknown> callback;
    WpdObjectEvent object;
    std::wstring itemName;
};

// The cursor comes back before every box the import shows.
void ShowImportBox(HWND frame, const wchar_t* text, const wchar_t* caption, UINT type, int* answer = nullptr)
{
    if (frame) SendMessageW(frame, WM_APP_SHOW_CURSOR, 0, 0);
    const int result = ShowMessageBox(frame, text, caption, type);
    if (answer) *answer = result;
}

void ReportImportFailure(HWND frame, HRESULT hr)
{
    wchar_t text[320]{};
    swprintf_s(text,
               L"An error occured while copying a file.\r\n\r\nThe operation failed with error 0x%08lx and the file "
               L"was NOT copied, please check disk space and access rights.",
               static_cast<unsigned long>(hr));
    ShowImportBox(frame, text, kFailureCaption, MB_ICONHAND);
}

// True when the user wants the existing target replaced.
bool ConfirmOverwrite(HWND frame, const std::wstring& target)
{
    const std::wstring text = target +
                              L"\r\n\r\nWARNING: A file with the same name already exists in the destination "
                              L"folder.\r\n\r\nDo you REALLY want to OVERWRITE the existing file?";
    int answer = 0;
    ShowImportBox(frame, text.c_str(), kOverwriteCaption, MB_YESNO | MB_ICONEXCLAMATION, &answer);
    return answer == IDYES;
}

std::wstring NewGuidText()
{
    GUID guid{};
    ThrowIfFailed(CoCreateGuid(&guid));
    wchar_t text[40]{};
    StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
    return text;
}

// The target's path: the folder with the name appended; a path that would not fit is refused rather
// than cut, which could name another folder.
HRESULT BuildTarget(const Bstr& folder, const std::wstring& name, std::wstring& target)
{
    wchar_t path[MAX_PATH]{};
    if (folder.Length() >= MAX_PATH || wcscpy_s(path, folder.c_str()) != 0) {
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    if (!PathAppendW(path, name.c_str())) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    target = path;
    return S_OK;
}

// The folder the main window imports into; null when there is none.
Bstr QueryImportFolder(HWND frame)
{
    Bstr folder;
    if (frame) SendMessageW(frame, WM_APP_QUERY_IMPORT_FOLDER, 0, reinterpret_cast<LPARAM>(&folder));
    return folder;
}

using WriteTemporary = std::function<HRESULT(const std::wstring& temporary)>;

// The frame of every import: the overwrite question, the temporary file that write fills and the
// move into place. Only a write that delivered the whole picture (S_OK) is moved into place; a
// failure on the way is shown; S_FALSE (the watch ended, the device went away before it was asked)
// skips the picture quietly. Either way the temporary file is removed.
HRESULT ImportIntoTarget(HWND frame, const std::wstring& target, const WriteTemporary& write)
{
    const bool exists = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists && !ConfirmOverwrite(frame, target)) return S_FALSE;
    std::wstring temporary;
    HRESULT hr = CatchAsHResult([&] {
        temporary = target + L"." + NewGuidText();
        return write(temporary);
    });
    if (hr == S_OK && MoveFileExW(temporary.c_str(), target.c_str(), exists ? MOVEFILE_REPLACE_EXISTING : 0)) {
        return S_OK;
    }
    if (hr == S_OK) hr = HResultFromLastError();
    if (!temporary.empty()) DeleteFileW(temporary.c_str());
    if (FAILED(hr)) ReportImportFailure(frame, hr);
    return hr;
}

// The same into the folder the main window names; S_FALSE when it names none.
HRESULT ImportIntoFolder(HWND frame, const std::wstring& name, const WriteTemporary& write)
{
    const Bstr folder = QueryImportFolder(frame);
    if (folder.Empty()) return S_FALSE;
    std::wstring target;
    const HRESULT hr = BuildTarget(folder, name, target);
    if (FAILED(hr)) {
        ReportImportFailure(frame, hr);
        return hr;
    }
    return ImportIntoTarget(frame, target, write);
}

HRESULT CopyStream(IStream& source, const std::wstring& temporary, DWORD bufferSize)
{
    ComPtr<IStream> file;
    HRESULT hr = SHCreateStreamOnFileW(temporary.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, &file);
    if (FAILED(hr)) return hr;
    std::vector<BYTE> buffer(std::max(bufferSize, kSmallestCopyBuffer));
    for (;;) {
        ULONG read = 0;
        hr = source.Read(buffer.data(), static_cast<ULONG>(buffer.size()), &read);
        // A failed read is a picture cut short (the camera went away), never its end.
        if (FAILED(hr)) return hr;
        if (read == 0) return S_OK;
        ULONG written = 0;
        hr = file->Write(buffer.data(), read, &written);
        if (FAILED(hr)) return hr;
        if (written != read) return E_FAIL;
    }
}

// What follows the name's last "\", "/" or ":", without the trailing dots and spaces that the system
// drops from a file name anyway (so that no ".. " can stand for the parent folder).
std::wstring FileNamePart(const std::wstring& name)
{
    const size_t separator = name.find_last_of(L"\\/:");
    std::wstring part = separator == std::wstring::npos ? name : name.substr(separator + 1);
    part.erase(part.find_last_not_of(L". ") + 1);
    return part;
}

// Tries an operation on the device's root item until it succeeds (S_OK): the device needs a moment
// before a new item answers. The device is looked up by its identifier for every try, so a device
// removed before a try is not reached; the try itself holds its own reference to the item and not the
// watch's lock, so that a long transfer never holds up the arrivals, removals and the end of the watch.
// Gives the last try's failure (a success other than S_OK counts as E_FAIL); S_FALSE when the watch
// ended, or when the device went away before a try had failed.
HRESULT TryOnRootItem(DeviceWatchState& watch, const std::wstring& deviceId,
                      const std::function<HRESULT(IWiaItem& root)>& operation)
{
    HRESULT last = S_FALSE;
    for (int attempt = 0; attempt < kItemTries; ++attempt) {
        if (attempt > 0) watch.platform.pause(kItemPauseMilliseconds);
        if (watch.stopped) return S_FALSE;
        ComPtr<IWiaItem> root;
        {
            CriticalSectionScope lock(watch.lock);
            const auto found = watch.devices.find(deviceId);
            if (found == watch.devices.end() || !found->second->rootItem) return last;
            root = found->second->rootItem;
        }
        const HRESULT hr = operation(*root.Get());
        if (hr == S_OK) return hr;
        last = FAILED(hr) ? hr : E_FAIL;
    }
    return last;
}

HRESULT ReadWiaFileName(DeviceWatchState& watch, const std::wstring& deviceId, IWiaItem& item, std::wstring& name)
{
    ComPtr<IWiaPropertyStorage> properties;
    HRESULT hr = item.QueryInterface(IID_IWiaPropertyStorage, properties.AsVoid());
    if (FAILED(hr)) return hr;
    return TryOnRootItem(watch, deviceId, [&](IWiaItem&) {
        PROPSPEC specs[2]{};
        specs[0].ulKind = PRSPEC_PROPID;
        specs[0].propid = WIA_IPA_ITEM_NAME;
        specs[1].ulKind = PRSPEC_PROPID;
        specs[1].propid = WIA_IPA_FILENAME_EXTENSION;
        PROPVARIANT values[2]{};
        const HRESULT read = properties->ReadMultiple(2, specs, values);
        if (read == S_OK && values[0].vt == VT_BSTR && values[1].vt == VT_BSTR) {
            std::wstring extension(values[1].bstrVal ? values[1].bstrVal : L"");
            CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
            name = std::wstring(values[0].bstrVal ? values[0].bstrVal : L"") + L"." + extension;
        }
        FreePropVariantArray(2, values);
        return read == S_OK && !name.empty() ? S_OK : FAILED(read) ? read : E_FAIL;
    });
}

HRESULT TransferWiaData(DeviceWatchState& watch, const std::wstring& deviceId, IWiaItem& item,
                        const std::wstring& temporary)
{
    ComPtr<IWiaDataTransfer> transfer;
    HRESULT hr = item.QueryInterface(IID_IWiaDataTransfer, transfer.AsVoid());
    if (FAILED(hr)) return hr;
    std::vector<wchar_t> fileName(temporary.begin(), temporary.end());
    fileName.push_back(L'\0');
    // Only S_OK is a delivered picture: a transfer that never succeeded is the last try's failure.
    return TryOnRootItem(watch, deviceId, [&](IWiaItem&) {
        STGMEDIUM medium{};
        medium.tymed = TYMED_FILE;
        medium.lpszFileName = fileName.data();
        return transfer->idtGetData(&medium, nullptr);
    });
}

DWORD WINAPI DeviceWorkItem(void* parameter)
{
    std::unique_ptr<DeviceWork> work(static_cast<DeviceWork*>(parameter));
    try {
        if (work->kind == WorkKind::DeviceRemoved) {
            NotifyDeviceRemoved(work->watch->frame, work->object.deviceId);
        } else {
            const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (work->kind == WorkKind::WpdTransfer) {
                TransferWpdObject(*work->watch, work->object);
            } else {
                TransferWiaItem(*work->watch, work->object.deviceId, work->itemName);
            }
            if (SUCCEEDED(apartment)) CoUninitialize();
        }
    } catch (...) {
        TraceCaughtException(L"device transfer");
    }
    std::shared_ptr<DeviceWatchState> watch = std::move(work->watch);
    if (work->kind != WorkKind::DeviceRemoved) --watch->pendingTransfers;
    return 0;
}

void QueueWork(std::unique_ptr<DeviceWork> work)
{
    const bool transfer = work->kind != WorkKind::DeviceRemoved;
    if (transfer) ++work->watch->pendingTransfers;
    std::shared_ptr<DeviceWatchState> watch = work->watch;
    if (QueueUserWorkItem(DeviceWorkItem, work.get(), WT_EXECUTELONGFUNCTION)) {
        work.release();
    } else if (transfer) {
        --watch->pendingTransfers;
    }
}
}

bool ConnectWpdDevice(DeviceRecord& record, const std::shared_ptr<DeviceWatchState>& watch)
{
    try {
        DWORD type = 0;
        DWORD size = sizeof(type);
        DWORD valueType = 0;
        if (!watch->wpdManager ||
            FAILED(watch->wpdManager->GetDeviceProperty(record.id.c_str(), kPortableDeviceTypeProperty,
                                                        reinterpret_cast<BYTE*>(&type), &size, &valueType)) ||
            type != kPortableDeviceTypeCamera) {
            return false;
        }
        ThrowIfFailed(watch->platform.createWpdDevice(&record.device));
        ThrowIfFailed(record.device->Open(record.id.c_str(), watch->clientInformation.Get()));
        ComPtr<IPortableDeviceCapabilities> capabilities;
        ThrowIfFailed(record.device->Capabilities(&capabilities));
        ComPtr<IPortableDevicePropVariantCollection> categories;
        ThrowIfFailed(capabilities->GetFunctionalCategories(&categories));
        DWORD categoryCount = 0;
        ThrowIfFailed(categories->GetCount(&categoryCount));
        bool pictures = false;
        for (DWORD i = 0; i < categoryCount && !pictures; ++i) {
            PROPVARIANT category{};
            if (FAILED(categories->GetAt(i, &category))) continue;
            ComPtr<IPortableDevicePropVariantCollection> contentTypes;
            DWORD typeCount = 0;
            if (category.vt == VT_CLSID && category.puuid &&
                SUCCEEDED(capabilities->GetSupportedContentTypes(*category.puuid, &contentTypes)) &&
                SUCCEEDED(contentTypes->GetCount(&typeCount))) {
                for (DWORD j = 0; j < typeCount && !pictures; ++j) {
                    PROPVARIANT contentType{};
                    if (FAILED(contentTypes->GetAt(j, &contentType))) continue;
                    pictures = contentType.vt == VT_CLSID && contentType.puuid &&
                               IsEqualGUID(*contentType.puuid, Wpd::ContentTypeImage);
                    PropVariantClear(&contentType);
                }
            }
            PropVariantClear(&category);
        }
        if (!pictures) {
            record.device = nullptr;
            return false;
        }
        ComPtr<CWpdEventCallback> callback;
        ThrowIfFailed(CWpdEventCallback::Create(callback));
        const DeviceCallbackTarget target{watch, record.id};
        ThrowIfFailed(callback->SetTarget(&target));
        LPWSTR cookie = nullptr;
        ThrowIfFailed(record.device->Advise(0, callback.Get(), nullptr, &cookie));
        record.cookie = cookie ? cookie : L"";
        CoTaskMemFree(cookie);
        record.wpdCallback = std::move(callback);
        return true;
    } catch (...) {
        TraceCaughtException(L"device connection");
        record.Disconnect();
        return false;
    }
}

bool ConnectWiaDevice(DeviceRecord& record, const std::shared_ptr<DeviceWatchState>& watch)
{
    try {
        if (!watch->wiaManager) return false;
        Bstr id(record.id);
        if (FAILED(watch->wiaManager->CreateDevice(id.Get(), &record.rootItem))) return false;
        ComPtr<CWiaEventCallback> callback;
        ThrowIfFailed(CWiaEventCallback::Create(callback));
        const DeviceCallbackTarget target{watch, record.id};
        ThrowIfFailed(callback->SetTarget(&target));
        record.wiaCallback = callback;
        GUID itemCreated = WIA_EVENT_ITEM_CREATED;
        GUID disconnected = WIA_EVENT_DEVICE_DISCONNECTED;
        ThrowIfFailed(watch->wiaManager->RegisterEventCallbackInterface(0, id.Get(), &itemCreated, callback.Get(),
                                                                        &record.itemCreatedRegistration));
        ThrowIfFailed(watch->wiaManager->RegisterEventCallbackInterface(0, id.Get(), &disconnected, callback.Get(),
                                                                        &record.disconnectedRegistration));
        return true;
    } catch (...) {
        TraceCaughtException(L"device connection");
        record.Disconnect();
        return false;
    }
}

void QueueDeviceRemoved(std::shared_ptr<DeviceWatchState> watch, std::wstring deviceId)
{
    auto work = std::make_unique<DeviceWork>();
    work->kind = WorkKind::DeviceRemoved;
    work->watch = std::move(watch);
    work->object.deviceId = std::move(deviceId);
    QueueWork(std::move(work));
}

void QueueWpdTransfer(std::shared_ptr<DeviceWatchState> watch, ComPtr<IUnknown> callback, WpdObjectEvent object)
{
    auto work = std::make_unique<DeviceWork>();
    work->kind = WorkKind::WpdTransfer;
    work->watch = std::move(watch);
    work->callback = std::move(callback);
    work->object = std::move(object);
    QueueWork(std::move(work));
}

void QueueWiaTransfer(std::shared_ptr<DeviceWatchState> watch, ComPtr<IUnknown> callback, std::wstring deviceId,
                      std::wstring itemName)
{
    auto work = std::make_unique<DeviceWork>();
    work->kind = WorkKind::WiaTransfer;
    work->watch = std::move(watch);
    work->callback = std::move(callback);
    work->object.deviceId = std::move(deviceId);
    work->itemName = std::move(itemName);
    QueueWork(std::move(work));
}

HRESULT TransferWpdObject(DeviceWatchState& watch, const WpdObjectEvent& object)
{
    // Work queued before the user ended the watch brings no picture, and no box, afterwards.
    if (watch.stopped) return S_FALSE;
    ComPtr<IPortableDeviceValues> clientInformation;
    {
        CriticalSectionScope lock(watch.lock);
        clientInformation = watch.clientInformation;
    }
    ComPtr<IPortableDevice> device;
    ComPtr<IPortableDeviceContent> content;
    ComPtr<IPortableDeviceResources> resources;
    if (FAILED(watch.platform.createWpdDevice(&device)) ||
        FAILED(device->Open(object.deviceId.c_str(), clientInformation.Get())) || FAILED(device->Content(&content)) ||
        FAILED(content->Transfer(&resources))) {
        return S_FALSE;
    }
    ComPtr<IStream> stream;
    DWORD bufferSize = 0;
    HRESULT hr = resources->GetStream(object.objectId.c_str(), Wpd::ResourceDefault, STGM_READ, &bufferSize, &stream);
    // A camera busy writing the picture answers again after a while; a stopped watch stops waiting.
    for (int retry = 0; hr == kDeviceBusy && retry < kBusyRetries && !watch.stopped; ++retry) {
        watch.platform.pause(kBusyPauseMilliseconds);
        hr = resources->GetStream(object.objectId.c_str(), Wpd::ResourceDefault, STGM_READ, &bufferSize, &stream);
    }
    if (FAILED(hr) || !stream) return S_FALSE;
    return ImportIntoFolder(watch.frame, WpdImportName(object),
                            [&](const std::wstring& temporary) { return CopyStream(*stream.Get(), temporary, bufferSize); });
}

HRESULT TransferWiaItem(DeviceWatchState& watch, const std::wstring& deviceId, const std::wstring& itemName)
{
    if (watch.stopped) return S_FALSE;
    const Bstr name(itemName);
    ComPtr<IWiaItem> item;
    HRESULT hr = TryOnRootItem(watch, deviceId, [&](IWiaItem& root) {
        const HRESULT found = root.FindItemByName(0, name.Get(), &item);
        return found == S_OK && item ? S_OK : FAILED(found) ? found : E_FAIL;
    });
    if (hr != S_OK) return S_FALSE;
    std::wstring fileName;
    if (ReadWiaFileName(watch, deviceId, *item.Get(), fileName) != S_OK) return S_FALSE;
    return ImportIntoFolder(watch.frame, SafeImportName(fileName, itemName), [&](const std::wstring& temporary) {
        return TransferWiaData(watch, deviceId, *item.Get(), temporary);
    });
}

HRESULT SaveStreamToFile(HWND frame, IStream& source, const std::wstring& target, DWORD bufferSize)
{
    return ImportIntoTarget(frame, target,
                            [&](const std::wstring& temporary) { return CopyStream(source, temporary, bufferSize); });
}

std::wstring SafeImportName(const std::wstring& deviceName, const std::wstring& objectId)
{
    // "." and ".." come out empty.
    const std::wstring name = FileNamePart(deviceName);
    return name.empty() ? FileNamePart(objectId) + L".jpg" : name;
}

std::wstring WpdImportName(const WpdObjectEvent& object)
{
    if (!object.originalFileName.empty()) return SafeImportName(object.originalFileName, object.objectId);
    if (!object.objectName.empty()) return SafeImportName(object.objectName, object.objectId);
    return SafeImportName(L"", object.objectId);
}

void NotifyDeviceRemoved(HWND frame, const std::wstring& deviceId)
{
    BSTR id = SysAllocStringLen(deviceId.data(), static_cast<UINT>(deviceId.size()));
    if (id && !PostMessageW(frame, WM_APP_DEVICE_REMOVED, 0, reinterpret_cast<LPARAM>(id))) SysFreeString(id);
}
