#include "Viewer/imaging/PixelFormatBits.h"
#include "Framework/ComPtr.h"
#include "Viewer/imaging/WicFactory.h"

HRESULT GetPixelFormatBitsPerPixel(REFWICPixelFormatGUID pixelFormat, UINT* bits) noexcept
{
    if (!g_WicFactory) return E_UNEXPECTED;
    if (!bits) return E_INVALIDARG;
    ComPtr<IWICComponentInfo> component;
    HRESULT hr = g_WicFactory->CreateComponentInfo(pixelFormat, &component);
    if (FAILED(hr)) return hr;
    ComPtr<IWICPixelFormatInfo> info;
    hr = component.As(info);
    if (FAILED(hr)) return hr;
    return info->GetBitsPerPixel(bits);
}
