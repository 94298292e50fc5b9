#include "Viewer/engine/DevicePlatform.h"
#include "Viewer/engine/DeviceValues.h"
#include <mutex>
#include <utility>

namespace {
std::mutex g_platformLock;

DevicePlatform SystemPlatform()
{
    DevicePlatform system;
    system.createWpdManager = [](IPortableDeviceManager** manager) {
        return CoCreateInstance(CLSID_PortableDeviceManager, nullptr, CLSCTX_ALL, __uuidof(IPortableDeviceManager),
                                reinterpret_cast<void**>(manager));
    };
    // The system's collection first; where the system has none, the program's own does the same.
    system.createClientInformation = [](IPortableDeviceValues** values) {
        const HRESULT hr = CoCreateInstance(CLSID_PortableDeviceValues, nullptr, CLSCTX_ALL,
                                            __uuidof(IPortableDeviceValues), reinterpret_cast<void**>(values));
        return hr == REGDB_E_CLASSNOTREG ? CDeviceValues::Create(values) : hr;
    };
    system.createWpdDevice = [](IPortableDevice** device) {
        return CoCreateInstance(CLSID_PortableDeviceFTM, nullptr, CLSCTX_ALL, __uuidof(IPortableDevice),
                                reinterpret_cast<void**>(device));
    };
    system.createWiaManager = [](IWiaDevMgr** manager) {
        return CoCreateInstance(CLSID_WiaDevMgr, nullptr, CLSCTX_ALL, IID_IWiaDevMgr,
                                reinterpret_cast<void**>(manager));
    };
    system.pause = [](DWORD milliseconds) { Sleep(milliseconds); };
    return system;
}

DevicePlatform& Current()
{
    static DevicePlatform platform = SystemPlatform();
    return platform;
}

// Each member of the replacement that is set takes the place of the one in force.
void Overlay(DevicePlatform& target, const DevicePlatform& replacement)
{
    if (replacement.createWpdManager) target.createWpdManager = replacement.createWpdManager;
    if (replacement.createClientInformation) target.createClientInformation = replacement.createClientInformation;
    if (replacement.createWpdDevice) target.createWpdDevice = replacement.createWpdDevice;
    if (replacement.createWiaManager) target.createWiaManager = replacement.createWiaManager;
    if (replacement.pause) target.pause = replacement.pause;
}
}

DevicePlatform CurrentDevicePlatform()
{
    std::lock_guard guard(g_platformLock);
    return Current();
}

ScopedDevicePlatform::ScopedDevicePlatform(DevicePlatform replacement)
{
    std::lock_guard guard(g_platformLock);
    m_previous = Current();
    Overlay(Current(), replacement);
}

ScopedDevicePlatform::~ScopedDevicePlatform()
{
    std::lock_guard guard(g_platformLock);
    Current() = std::move(m_previous);
}
