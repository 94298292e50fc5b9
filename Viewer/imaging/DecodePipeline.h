#pragma once
// The main road of the viewer: one frame of one picture file becomes a decoded, colour-managed,
// possibly downscaled and oriented image, its histogram counted during the single pixel copy,
// stored in a Direct3D off-screen surface (LoadToSurface) or a GDI+ bitmap (LoadToBitmap).
#include "Viewer/imaging/HistogramSource.h"
#include "Viewer/imaging/ImageInfo.h"
#include <windows.h>
#include <d3d9.h>
#include <gdiplus.h>
#include <atomic>
#include <cstdint>

class DecodeThreadContext;

// Both loaders: S_OK with the image stored through the result pointer (the caller owns it); S_FALSE
// when the file has no frame frameIndex; E_ABORT when *cancelFlag became non-zero; E_FAIL when no
// bitmap source could be had; else the failing HRESULT. A sharing violation is retried for about
// 20 seconds and a missing file once, 100 ms apart. When the process has no imaging factory and
// none can be made, that HRESULT is thrown as HResultError rather than returned.
HRESULT LoadToSurface(DecodeThreadContext* context, const wchar_t* path, uint16_t frameIndex,
                      IDirect3DSurface9** surfaceOut, UINT* widthOut, UINT* heightOut, bool colourManage,
                      bool preferPreview, bool autoRotate, ImageInfo* info, const volatile ULONG* cancelFlag,
                      DWORD downscaleSetting);
HRESULT LoadToBitmap(DecodeThreadContext* context, const wchar_t* path, uint16_t frameIndex,
                     Gdiplus::Bitmap** bitmapOut, UINT* widthOut, UINT* heightOut, bool colourManage,
                     bool preferPreview, bool autoRotate, ImageInfo* info, const volatile ULONG* cancelFlag,
                     DWORD downscaleSetting);

// The histogram source's progress callback: E_ABORT once the cancel flag it is given is set.
HRESULT WINAPI CheckDecodeAbort(LPVOID cancelFlag, ULONG frameNumber, WICProgressOperation operation,
                                double progress);

// Milliseconds between two attempts on a busy or missing file; tests shorten it.
inline std::atomic<DWORD> DecodeRetryPause{100};
