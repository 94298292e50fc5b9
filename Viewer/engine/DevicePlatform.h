#pragma once
// The one place where the device watcher and the import create the system's device objects: the
// portable-device manager, client information and device, and the image-acquisition manager; and
// the pause between tries of a busy device. The program uses the system's; a test replaces any of
// them for its scope to hand in fake devices, or to let the waits pass at once.
#include "Viewer/engine/PortableDeviceApi.h"
#include <wia.h>
#include <functional>

struct DevicePlatform {
    std::function<HRESULT(IPortableDeviceManager** manager)> createWpdManager;
    std::function<HRESULT(IPortableDeviceValues** values)> createClientInformation;
    std::function<HRESULT(IPortableDevice** device)> createWpdDevice;
    std::function<HRESULT(IWiaDevMgr** manager)> createWiaManager;
    std::function<void(DWORD milliseconds)> pause;
};

// The functions in force now, each the replacement when there is one, else the system's.
DevicePlatform CurrentDevicePlatform();

// Installs replacements for its lifetime (an empty member keeps the one in force) and puts the
// previous ones back after.
class ScopedDevicePlatform {
public:
    explicit ScopedDevicePlatform(DevicePlatform replacement);
    ScopedDevicePlatform(const ScopedDevicePlatform&) = delete;
    ScopedDevicePlatform& operator=(const ScopedDevicePlatform&) = delete;
    ~ScopedDevicePlatform();

private:
    DevicePlatform m_previous;
};
