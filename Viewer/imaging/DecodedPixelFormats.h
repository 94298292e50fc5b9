#pragma once
// The pixel format a decoded picture is converted to: the Direct3D display format on the surface
// path, the screen's depth on the bitmap path.
#include "Viewer/imaging/DisplayBitmapInfo.h"
#include <windows.h>
#include <d3d9types.h>
#include <wincodec.h>

struct SurfaceTargetFormat {
    WICPixelFormatGUID wicFormat;
    UINT bitsPerPixel;
};

struct BitmapTargetFormat {
    INT gdiplusFormat;  // a GDI+ PixelFormat value
    WICPixelFormatGUID wicFormat;
    UINT bitsPerPixel;
};

// hasDirect3D: whether the process-wide Direct3D object exists; displayFormat: its display format.
SurfaceTargetFormat ChooseSurfaceTargetFormat(bool hasDirect3D, D3DFORMAT displayFormat) noexcept;

// From the screen's bits per pixel; is565 tells the two 16-bit layouts apart.
BitmapTargetFormat ChooseBitmapTargetFormat(int screenBitsPerPixel, bool is565) noexcept;

// Asks the active window's screen; any failure of the 5-6-5 test counts as 5-5-5.
BitmapTargetFormat ChooseScreenTargetFormat() noexcept;

// True when the colour masks of a filled info describe a 5-6-5 layout (green mask of 6 bits).
bool HasGreenMaskOf6Bits(const DisplayBitmapInfo& info) noexcept;
