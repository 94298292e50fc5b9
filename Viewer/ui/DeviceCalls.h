#pragma once
// The three calls of the render device that report a lost device. A windowed device is never lost
// under every driver, so a test replaces them for its scope to walk the view through loss and
// recovery; everything else the view asks of the device goes to it directly.
#include <windows.h>
#include <d3d9.h>
#include <functional>

HRESULT TestDeviceCooperativeLevel();
HRESULT PresentDevice();
HRESULT ResetRenderDevice(D3DPRESENT_PARAMETERS& parameters);

struct DeviceCallsSeam {
    std::function<HRESULT()> testCooperativeLevel;
    std::function<HRESULT()> present;
    std::function<HRESULT(D3DPRESENT_PARAMETERS&)> reset;
};

class ScopedDeviceCallsSeam {
public:
    explicit ScopedDeviceCallsSeam(DeviceCallsSeam replacement);
    ScopedDeviceCallsSeam(const ScopedDeviceCallsSeam&) = delete;
    ScopedDeviceCallsSeam& operator=(const ScopedDeviceCallsSeam&) = delete;
    ~ScopedDeviceCallsSeam();

private:
    DeviceCallsSeam m_previous;
};
