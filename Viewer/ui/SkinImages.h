#pragma once
// The viewer's skin pictures: PNG resources of type "PNG", taken from the language library when it
// holds one of the id and from the program file otherwise.
#include <windows.h>
#include <gdiplus.h>
#include <d3d9.h>
#include <memory>

// The picture, or null when neither module holds it (nothing is reported).
std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id, HMODULE module, bool mayFallBack);
// A copy of the picture on an off-screen surface in the display's format; null without a device.
IDirect3DSurface9* ImageToSurface(Gdiplus::Bitmap& bitmap, D3DPOOL pool);
