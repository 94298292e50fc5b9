#pragma once
// The skin images: PNG resources (ids 200-250) of the program file that a language library may
// replace one by one. Every loader returns null (0 for sizes) on any failure and reports nothing:
// a missing skin image is simply not drawn. Main thread only.
#include <windows.h>
#include <d3d9.h>
#include <gdiplus.h>

inline const wchar_t* const SkinResourceType = L"PNG";

// The image from module, or, when it is missing there and fallBack is set, from the program file.
// The caller deletes the bitmap. name is an id (MAKEINTRESOURCEW) or a name.
Gdiplus::Bitmap* LoadPngResource(const wchar_t* name, const wchar_t* type, HMODULE module, bool fallBack) noexcept;
// The same image, from the language library first, as a GDI bitmap the caller deletes.
HBITMAP LoadPngResourceHBitmap(UINT id, const wchar_t* type) noexcept;

// Copies into a new surface (in the display format) or texture (A8R8G8B8) of the render device; the
// caller holds the one reference. Null without a device.
IDirect3DSurface9* ImageToSurface(Gdiplus::Bitmap* image, D3DPOOL pool) noexcept;
IDirect3DTexture9* ImageToTexture(Gdiplus::Bitmap* image, D3DPOOL pool) noexcept;

// Load and convert in one step; width and height (each may be null) get the image's size, or 0
// when nothing was made.
IDirect3DSurface9* LoadPngSurface(UINT id, const wchar_t* type, D3DPOOL pool, UINT* width, UINT* height,
                                  HMODULE module) noexcept;
IDirect3DTexture9* LoadPngTexture(UINT id, D3DPOOL pool, UINT* width, UINT* height, HMODULE module) noexcept;
