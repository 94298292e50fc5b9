#pragma once
// A Direct3D 9 device on a hidden window of the test's virtual display, described to the decode
// pipeline the way the engine will describe the viewer's device: the imaging tests may not reach
// the main window's own device, which lives in a higher layer.
#include "Framework/ComPtr.h"
#include "Viewer/core/DecodeThreadContext.h"
#include <windows.h>
#include <d3d9.h>

class TestDevice {
public:
    TestDevice() = default;
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;
    ~TestDevice();

    // S_OK with Display() filled in, else the failing step's HRESULT.
    HRESULT Create();
    DecodeDisplay& Display() noexcept { return m_display; }

private:
    HWND m_window = nullptr;
    ComPtr<IDirect3D9> m_direct3D;
    ComPtr<IDirect3DDevice9> m_device;
    DecodeDisplay m_display;
};
