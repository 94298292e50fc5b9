#include "Viewer/ui/SkinImages.h"
#include "Framework/ComPtr.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/ui/RenderDevice.h"
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

HRSRC FindSkinResource(const wchar_t* name, const wchar_t* type, HMODULE& module, bool fallBack) noexcept
{
    if (HRSRC found = FindResourceW(module, name, type)) return found;
    HMODULE own = GetModuleHandleW(nullptr);
    if (!fallBack || module == own || module == nullptr) return nullptr;
    module = own;
    return FindResourceW(module, name, type);
}

// The stream owns a copy of the resource's bytes and the bitmap holds the stream for as long as it
// may decode from it, so the bytes live exactly as long as the bitmap.
Gdiplus::Bitmap* BitmapFromResource(HMODULE module, HRSRC resource) noexcept
{
    const DWORD size = SizeofResource(module, resource);
    if (size == 0) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return bitmap.release();
}

// The image in the wanted format: itself, or a copy drawn at its own size in pixel units.
Gdiplus::Bitmap* InFormat(Gdiplus::Bitmap* image, Gdiplus::PixelFormat wanted, std::unique_ptr<Gdiplus::Bitmap>& copy)
{
    if (image->GetPixelFormat() == wanted) return image;
    const int width = static_cast<int>(image->GetWidth());
    const int height = static_cast<int>(image->GetHeight());
    copy = std::make_unique<Gdiplus::Bitmap>(width, height, wanted);
    if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Graphics graphics(copy.get());
    graphics.SetPageUnit(Gdiplus::UnitPixel);
    if (graphics.DrawImage(image, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
    return copy.get();
}

// Copies the image's pixels into a locked surface, row by row when the strides differ.
bool CopyInto(Gdiplus::Bitmap* image, Gdiplus::PixelFormat format, IDirect3DSurface9* surface)
{
    const UINT width = image->GetWidth();
    const UINT height = image->GetHeight();
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData source{};
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead, format, &source) != Gdiplus::Ok) return false;
    D3DLOCKED_RECT target{};
    const bool locked = SUCCEEDED(surface->LockRect(&target, nullptr, 0));
    if (locked) {
        const auto* from = static_cast<const BYTE*>(source.Scan0);
        auto* to = static_cast<BYTE*>(target.pBits);
        if (target.Pitch == source.Stride) {
            std::memcpy(to, from, static_cast<size_t>(height) * static_cast<size_t>(target.Pitch));
        } else {
            const size_t row = static_cast<size_t>(std::min(target.Pitch, source.Stride));
            for (UINT y = 0; y < height; ++y) std::memcpy(to + y * target.Pitch, from + y * source.Stride, row);
        }
        surface->UnlockRect();
    }
    image->UnlockBits(&source);
    return locked;
}

void ReportSize(Gdiplus::Bitmap* image, bool made, UINT* width, UINT* height) noexcept
{
    if (width) *width = made ? image->GetWidth() : 0;
    if (height) *height = made ? image->GetHeight() : 0;
}

}  // namespace

Gdiplus::Bitmap* LoadPngResource(const wchar_t* name, const wchar_t* type, HMODULE module, bool fallBack) noexcept
{
    try {
        HRSRC resource = FindSkinResource(name, type, module, fallBack);
        return resource ? BitmapFromResource(module, resource) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

HBITMAP LoadPngResourceHBitmap(UINT id, const wchar_t* type) noexcept
{
    try {
        std::unique_ptr<Gdiplus::Bitmap> image(
            LoadPngResource(MAKEINTRESOURCEW(id), type, LanguageResources::LibraryHandle, true));
        HBITMAP handle = nullptr;
        if (!image || image->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &handle) != Gdiplus::Ok) return nullptr;
        return handle;
    } catch (...) {
        return nullptr;
    }
}

IDirect3DSurface9* ImageToSurface(Gdiplus::Bitmap* image, D3DPOOL pool) noexcept
{
    try {
        if (!RenderDevice.Device || !image) return nullptr;
        const Gdiplus::PixelFormat format = GetSurfacePixelFormat();
        std::unique_ptr<Gdiplus::Bitmap> copy;
        Gdiplus::Bitmap* source = InFormat(image, format, copy);
        if (!source) return nullptr;
        ComPtr<IDirect3DSurface9> surface;
        if (FAILED(RenderDevice.Device->CreateOffscreenPlainSurface(source->GetWidth(), source->GetHeight(),
                                                                    RenderDevice.DisplayMode.Format, pool, &surface,
                                                                    nullptr))) {
            return nullptr;
        }
        CopyInto(source, format, surface.Get());  // an unlockable surface is still returned, unfilled
        return surface.Detach();
    } catch (...) {
        return nullptr;
    }
}

IDirect3DTexture9* ImageToTexture(Gdiplus::Bitmap* image, D3DPOOL pool) noexcept
{
    try {
        if (!RenderDevice.Device || !image) return nullptr;
        std::unique_ptr<Gdiplus::Bitmap> copy;
        Gdiplus::Bitmap* source = InFormat(image, PixelFormat32bppARGB, copy);
        if (!source) return nullptr;
        ComPtr<IDirect3DTexture9> texture;
        const DWORD usage = pool == D3DPOOL_MANAGED ? 0 : D3DUSAGE_DYNAMIC;
        if (FAILED(RenderDevice.Device->CreateTexture(source->GetWidth(), source->GetHeight(), 1, usage,
                                                      D3DFMT_A8R8G8B8, pool, &texture, nullptr))) {
            return nullptr;
        }
        ComPtr<IDirect3DSurface9> level;
        if (FAILED(texture->GetSurfaceLevel(0, &level))) return nullptr;
        if (!CopyInto(source, PixelFormat32bppARGB, level.Get())) return nullptr;
        return texture.Detach();
    } catch (...) {
        return nullptr;
    }
}

IDirect3DSurface9* LoadPngSurface(UINT id, const wchar_t* type, D3DPOOL pool, UINT* width, UINT* height,
                                  HMODULE module) noexcept
{
    std::unique_ptr<Gdiplus::Bitmap> image(LoadPngResource(MAKEINTRESOURCEW(id), type, module, true));
    IDirect3DSurface9* surface = image ? ImageToSurface(image.get(), pool) : nullptr;
    ReportSize(image.get(), surface != nullptr, width, height);
    return surface;
}

IDirect3DTexture9* LoadPngTexture(UINT id, D3DPOOL pool, UINT* width, UINT* height, HMODULE module) noexcept
{
    std::unique_ptr<Gdiplus::Bitmap> image(LoadPngResource(MAKEINTRESOURCEW(id), SkinResourceType, module, true));
    IDirect3DTexture9* texture = image ? ImageToTexture(image.get(), pool) : nullptr;
    ReportSize(image.get(), texture != nullptr, width, height);
    return texture;
}
