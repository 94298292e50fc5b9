#include "Viewer/ui/SkinImages.h"
#include "Framework/ComPtr.h"
#include "Framework/ResourceModule.h"
#include "Viewer/ui/RenderDevice.h"
#include <algorithm>
#include <cstring>

namespace {
constexpr wchar_t kPngType[] = L"PNG";

HRSRC FindPng(UINT id, HMODULE& module, bool mayFallBack)
{
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), kPngType)) return found;
    HMODULE own = GetModuleInstance();
    if (!mayFallBack || module == own) return nullptr;
    module = own;
    return FindResourceW(module, MAKEINTRESOURCEW(id), kPngType);
}
}

std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(UINT id, HMODULE module, bool mayFallBack)
{
    HRSRC resource = FindPng(id, module, mayFallBack);
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = block ? GlobalLock(block) : nullptr;
    if (!target) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block);
    // The stream frees the block when the bitmap, which keeps reading it, lets the stream go.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(stream.Get());
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return bitmap;
}

IDirect3DSurface9* ImageToSurface(Gdiplus::Bitmap& bitmap, D3DPOOL pool)
{
    if (!RenderDevice.Device) return nullptr;
    const UINT width = bitmap.GetWidth();
    const UINT height = bitmap.GetHeight();
    ComPtr<IDirect3DSurface9> surface;
    if (FAILED(RenderDevice.Device->CreateOffscreenPlainSurface(width, height, RenderDevice.DisplayMode.Format, pool,
                                                                &surface, nullptr)))
        return nullptr;
    Gdiplus::BitmapData source{};
    Gdiplus::Rect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &source) != Gdiplus::Ok)
        return surface.Detach();
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
        const size_t row = std::min<size_t>(static_cast<size_t>(locked.Pitch), static_cast<size_t>(source.Stride));
        for (UINT y = 0; y < height; ++y)
            memcpy(static_cast<BYTE*>(locked.pBits) + size_t(y) * locked.Pitch,
                   static_cast<const BYTE*>(source.Scan0) + size_t(y) * source.Stride, row);
        surface->UnlockRect();
    }
    bitmap.UnlockBits(&source);
    return surface.Detach();
}
