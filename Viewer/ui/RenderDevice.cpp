#include "Viewer/ui/RenderDevice.h"
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"

RenderDeviceValues RenderDevice;

namespace {
constexpr UINT Direct3DSdkVersion = 32;
constexpr UINT TextureMemoryReportLimit = 4000000000u;

// d3d9.dll is bound only when hardware acceleration is asked for; a system without it ends in the
// same failure as one whose Direct3DCreate9 gives nothing.
IDirect3D9* CreateDirect3DObject()
{
    HMODULE library = LoadLibraryW(L"d3d9.dll");
    if (!library) return nullptr;
    using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
    auto create = reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate9")));
    return create ? create(Direct3DSdkVersion) : nullptr;
}

// The non-maskable type with its best quality where the adapter has one, else 4, 3 or 2 samples.
void ChooseMultiSampling(D3DPRESENT_PARAMETERS& parameters)
{
    const D3DMULTISAMPLE_TYPE types[] = {D3DMULTISAMPLE_NONMASKABLE, D3DMULTISAMPLE_4_SAMPLES,
                                         D3DMULTISAMPLE_3_SAMPLES, D3DMULTISAMPLE_2_SAMPLES};
    for (D3DMULTISAMPLE_TYPE type : types) {
        DWORD qualityLevels = 0;
        HRESULT hr = RenderDevice.Direct3DObject->CheckDeviceMultiSampleType(
            D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, RenderDevice.DisplayMode.Format, TRUE, type, &qualityLevels);
        if (FAILED(hr) || (type == D3DMULTISAMPLE_NONMASKABLE && qualityLevels == 0)) continue;
        parameters.MultiSampleType = type;
        parameters.MultiSampleQuality = qualityLevels ? qualityLevels - 1 : 0;
        return;
    }
}

void CreateDevice(HWND deviceWindow)
{
    HRESULT hr = RenderDevice.Direct3DObject->CreateDevice(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, deviceWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED,
        &RenderDevice.PresentParameters, &RenderDevice.Device);
    if (SUCCEEDED(hr)) return;
    RenderDevice.Device.Release();
    ThrowIfFailed(RenderDevice.Direct3DObject->CreateDevice(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, deviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED,
        &RenderDevice.PresentParameters, &RenderDevice.Device));
}

void DeriveStretchFilters()
{
    const DWORD caps = RenderDevice.DeviceCaps.StretchRectFilterCaps;
    RenderDevice.MinifyFilter = (caps & D3DPTFILTERCAPS_MINFLINEAR)  ? D3DTEXF_LINEAR
                                : (caps & D3DPTFILTERCAPS_MINFPOINT) ? D3DTEXF_POINT
                                                                     : D3DTEXF_NONE;
    RenderDevice.MagnifyPointFilter = (caps & D3DPTFILTERCAPS_MAGFPOINT) ? D3DTEXF_POINT : D3DTEXF_NONE;
    RenderDevice.MagnifySmoothFilter =
        (caps & D3DPTFILTERCAPS_MAGFLINEAR) ? DWORD(D3DTEXF_LINEAR) : RenderDevice.MagnifyPointFilter;
}

}

HRESULT ApplySamplerFilters() noexcept
{
    IDirect3DDevice9* device = RenderDevice.Device.Get();
    if (!device) return E_UNEXPECTED;
    DWORD current = 0;
    HRESULT hr = device->GetSamplerState(0, D3DSAMP_MINFILTER, &current);
    if (SUCCEEDED(hr) && current != RenderDevice.MinifyFilter)
        hr = device->SetSamplerState(0, D3DSAMP_MINFILTER, RenderDevice.MinifyFilter);
    if (SUCCEEDED(hr)) hr = device->GetSamplerState(0, D3DSAMP_MAGFILTER, &current);
    if (SUCCEEDED(hr) && current != RenderDevice.MagnifyPointFilter)
        hr = device->SetSamplerState(0, D3DSAMP_MAGFILTER, AppSettings::SmoothPixelsInZoomModes
                                                               ? RenderDevice.MagnifySmoothFilter
                                                               : RenderDevice.MagnifyPointFilter);
    return hr;
}

namespace {
void Create(HWND deviceWindow, bool multiSampling)
{
    RenderDevice.Direct3DObject = ComPtr<IDirect3D9>::Attach(CreateDirect3DObject());
    if (!RenderDevice.Direct3DObject) throw HResultError(E_FAIL);
    ThrowIfFailed(RenderDevice.Direct3DObject->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &RenderDevice.DisplayMode));

    D3DPRESENT_PARAMETERS& parameters = RenderDevice.PresentParameters;
    parameters = {};
    if (multiSampling) ChooseMultiSampling(parameters);
    parameters.Windowed = TRUE;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = deviceWindow;
    CreateDevice(deviceWindow);

    ThrowIfFailed(RenderDevice.Direct3DObject->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &RenderDevice.DeviceCaps));
    DeriveStretchFilters();
    ThrowIfFailed(ApplySamplerFilters());

    const UINT available = RenderDevice.Device->GetAvailableTextureMem();
    RenderDevice.StartFreeTextureMemory = available > TextureMemoryReportLimit ? 0 : available;
}
}

HRESULT InitDirect3D(HWND deviceWindow, bool multiSampling)
{
    if (!deviceWindow) return E_UNEXPECTED;
    try {
        Create(deviceWindow, multiSampling);
        return S_OK;
    } catch (...) {
        ReleaseDirect3D();
        return HResultFromCaughtException();
    }
}

int ReleaseDirect3D()
{
    RenderDevice.Device.Release();
    RenderDevice.Direct3DObject.Release();
    return 0;
}

Gdiplus::PixelFormat GetSurfacePixelFormat() noexcept
{
    if (!RenderDevice.Direct3DObject) return PixelFormat32bppPARGB;
    switch (RenderDevice.DisplayMode.Format) {
    case D3DFMT_R8G8B8: return PixelFormat24bppRGB;
    case D3DFMT_A8R8G8B8: return PixelFormat32bppARGB;
    case D3DFMT_R5G6B5: return PixelFormat16bppRGB565;
    case D3DFMT_X1R5G5B5: return PixelFormat16bppRGB555;
    default: return PixelFormat32bppPARGB;
    }
}
