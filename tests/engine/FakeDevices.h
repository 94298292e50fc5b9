#pragma once
// Fake cameras for the device watcher and the import, where the platform has no portable devices at
// all: a manager that lists them, a device object that opens one, tells its capabilities, takes an
// event callback and hands out its pictures as streams (busy for a while, cut short after some
// bytes, or whole), all through the watcher's one creation seam. WIA cameras of the same world
// (FakeWiaDevices.h) serve the image-acquisition road.
#include "Framework/ComPtr.h"
#include "Viewer/engine/DevicePlatform.h"
#include "tests/engine/FakeWiaDevices.h"
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One picture as the device delivers it.
struct FakePicture {
    std::string bytes;
    // The stream's reads fail with readFailure once this many bytes were delivered.
    size_t failAfter = SIZE_MAX;
    HRESULT readFailure = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
};

struct FakeCamera {
    std::wstring id;
    std::wstring friendlyName;
    DWORD type = 1;
    bool pictures = true;
    std::map<std::wstring, FakePicture> objects;
    // GetStream answers "busy" this many times before it delivers.
    int busyAnswers = 0;

    // What the watcher did with it.
    int opens = 0;
    std::vector<std::wstring> adviseCookies;
    std::vector<std::wstring> unadvisedCookies;
    ComPtr<IPortableDeviceEventCallback> callback;
};

class FakeDeviceWorld {
public:
    std::shared_ptr<FakeCamera> AddCamera(const std::wstring& id, const std::wstring& friendlyName);
    // The seam's functions over this world; pauses pass at once and are counted.
    DevicePlatform Platform();
    // The event of a new object on the camera (empty names are left out).
    static ComPtr<IPortableDeviceValues> ObjectAddedEvent(const FakeCamera& camera, const std::wstring& objectId,
                                                          const std::wstring& name, const std::wstring& originalName,
                                                          bool folder = false);
    // Sends the camera's callback that event.
    HRESULT RaiseObjectAdded(const FakeCamera& camera, const std::wstring& objectId, const std::wstring& name,
                             const std::wstring& originalName, bool folder = false);
    HRESULT RaiseDeviceRemoved(const FakeCamera& camera);

    std::shared_ptr<FakeWiaCamera> AddWiaCamera(const std::wstring& id, const std::wstring& friendlyName);
    // Sends the callback registered for the event its event; E_UNEXPECTED when none is registered.
    HRESULT RaiseItemCreated(const FakeWiaCamera& camera, const std::wstring& fullItemName);
    HRESULT RaiseWiaDisconnected(const FakeWiaCamera& camera);

    std::mutex lock;
    std::vector<std::shared_ptr<FakeCamera>> cameras;
    std::vector<std::shared_ptr<FakeWiaCamera>> wiaCameras;
    HRESULT managerFailure = S_OK;
    std::atomic<int> pauses{0};
    std::atomic<DWORD> pausedMilliseconds{0};
    // Called by every pause after it is counted; set before the watch starts.
    std::function<void()> onPause;
    // Enumerations of the WIA devices begun, and the thread of the last; onEnumerate is called at
    // the start of each, under the watcher's lock.
    std::atomic<int> wiaEnumerations{0};
    std::atomic<DWORD> wiaEnumerationThread{0};
    std::function<void()> onEnumerate;

    std::shared_ptr<FakeCamera> Find(const std::wstring& id);
    std::shared_ptr<FakeWiaCamera> FindWia(const std::wstring& id);

private:
    // Sends the camera's callback the event; E_UNEXPECTED when it has none.
    HRESULT SendEvent(const FakeCamera& camera, IPortableDeviceValues& values);
};
