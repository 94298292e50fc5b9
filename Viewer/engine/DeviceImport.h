#pragma once
// The import of new pictures from connected cameras: connecting a device to its event callback,
// and the transfers that copy a new picture into the folder the main window names, on the thread
// pool. A transfer writes a temporary file beside the target and moves it into place only once the
// whole picture has arrived; a failure tells the user, deletes the temporary file and leaves the
// target (and any file the user agreed to overwrite) as it was.
#include "Framework/ComPtr.h"
#include "Viewer/engine/DeviceRecord.h"
#include <functional>
#include <memory>
#include <string>

// What the event of a new object on a portable device says of it.
struct WpdObjectEvent {
    std::wstring deviceId;
    std::wstring objectId;
    std::wstring objectName;
    std::wstring originalFileName;
    bool folder = false;
};

// The caller holds the watch's lock. True when the record is a camera with pictures whose events
// now reach a callback; otherwise the record is left without device objects.
bool ConnectWpdDevice(DeviceRecord& record, const std::shared_ptr<DeviceWatchState>& watch);
// The caller holds the watch's lock. True when both events of the device reach a callback.
bool ConnectWiaDevice(DeviceRecord& record, const std::shared_ptr<DeviceWatchState>& watch);

// Work for the thread pool; each holds the watch and the callback until it has run.
void QueueDeviceRemoved(std::shared_ptr<DeviceWatchState> watch, std::wstring deviceId);
void QueueWpdTransfer(std::shared_ptr<DeviceWatchState> watch, ComPtr<IUnknown> callback, WpdObjectEvent object);
void QueueWiaTransfer(std::shared_ptr<DeviceWatchState> watch, ComPtr<IUnknown> callback, std::wstring deviceId,
                      std::wstring itemName);

// The transfers themselves, on the calling thread (COM initialised): S_OK when the picture was
// imported, S_FALSE when there was nothing to do (the watch had ended, no folder, the user kept the
// existing file, the device went away before it was asked for the picture), else the failure the
// user was told of.
HRESULT TransferWpdObject(DeviceWatchState& watch, const WpdObjectEvent& object);
HRESULT TransferWiaItem(DeviceWatchState& watch, const std::wstring& deviceId, const std::wstring& itemName);

// Copies the stream into the target as above; bufferSize is the device's preferred read size.
HRESULT SaveStreamToFile(HWND frame, IStream& source, const std::wstring& target, DWORD bufferSize);

// The file name a device's name for a picture gives inside the import folder: only what follows its
// last "\", "/" or ":", without trailing dots and spaces, so that no name leads out of the folder; a
// name left empty (also "." and "..") gives the object's identifier (reduced the same way) + ".jpg".
std::wstring SafeImportName(const std::wstring& deviceName, const std::wstring& objectId);
// The name of a portable device's object: its original file name, else its name, else its identifier
// + ".jpg"; made safe as above.
std::wstring WpdImportName(const WpdObjectEvent& object);

// Posts WM_APP_DEVICE_REMOVED with a new BSTR of the identifier, which the frame frees.
void NotifyDeviceRemoved(HWND frame, const std::wstring& deviceId);
