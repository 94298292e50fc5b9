#pragma once
// Bits per pixel of a WIC pixel format, as the process-wide imaging factory describes it.
#include <wincodec.h>

// E_UNEXPECTED without a factory, E_INVALIDARG for a null out-pointer, else the component query's result.
HRESULT GetPixelFormatBitsPerPixel(REFWICPixelFormatGUID pixelFormat, UINT* bits) noexcept;
