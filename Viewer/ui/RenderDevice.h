#pragma once
// The process's one Direct3D 9 object and device. Made once on the main thread before the message
// loop runs and released once at exit; the decode workers read the values without a lock, which is
// safe because nothing writes them while the workers run.
#include "Framework/ComPtr.h"
#include <windows.h>
#include <d3d9.h>
#include <gdiplus.h>

struct RenderDeviceValues {
    // Releasing either empties it before the object goes, so that no reader finds a released interface.
    ComPtr<IDirect3D9> Direct3DObject;  // null: no hardware acceleration, every reader takes the GDI+ road
    ComPtr<IDirect3DDevice9> Device;    // made with D3DCREATE_MULTITHREADED: decode workers fill surfaces on it
    D3DPRESENT_PARAMETERS PresentParameters;
    D3DDISPLAYMODE DisplayMode;  // its Format is the format of every off-screen surface
    D3DCAPS9 DeviceCaps;
    DWORD MinifyFilter;
    DWORD MagnifyPointFilter;
    DWORD MagnifySmoothFilter;
    UINT StartFreeTextureMemory;  // bytes; 0 when the device reports more than 4,000,000,000
};

extern RenderDeviceValues RenderDevice;

// S_OK, E_UNEXPECTED for a null window (nothing touched), else the failing step's HRESULT with both
// pointers null again.
HRESULT InitDirect3D(HWND deviceWindow, bool multiSampling);
// Releases the device, then the object; returns 0.
int ReleaseDirect3D();

// Sampler 0 shrinks with the best filter there is; it enlarges with points unless the user wants
// smooth pixels, and a sampler already set to points is left as the user last had it. After the
// device's creation and after each reset.
HRESULT ApplySamplerFilters() noexcept;

// The GDI+ pixel format laid out in memory like an off-screen surface in the display's format.
Gdiplus::PixelFormat GetSurfacePixelFormat() noexcept;
