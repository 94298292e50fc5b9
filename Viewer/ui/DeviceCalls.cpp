#include "Viewer/ui/DeviceCalls.h"
#include "Viewer/ui/RenderDevice.h"
#include <utility>

namespace {
// Written only by a test on the main thread, which is also the only thread that makes these calls.
DeviceCallsSeam Seam;
}

HRESULT TestDeviceCooperativeLevel()
{
    if (Seam.testCooperativeLevel) return Seam.testCooperativeLevel();
    return RenderDevice.Device->TestCooperativeLevel();
}

HRESULT PresentDevice()
{
    if (Seam.present) return Seam.present();
    return RenderDevice.Device->Present(nullptr, nullptr, nullptr, nullptr);
}

HRESULT ResetRenderDevice(D3DPRESENT_PARAMETERS& parameters)
{
    if (Seam.reset) return Seam.reset(parameters);
    return RenderDevice.Device->Reset(&parameters);
}

ScopedDeviceCallsSeam::ScopedDeviceCallsSeam(DeviceCallsSeam replacement) : m_previous(std::exchange(Seam, std::move(replacement)))
{
}

ScopedDeviceCallsSeam::~ScopedDeviceCallsSeam()
{
    Seam = std::move(m_previous);
}
