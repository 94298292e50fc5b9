#include "Viewer/imaging/DecodedPixelFormats.h"
#include <bit>
#include <cstring>

namespace {
// GDI+ pixel formats, by value.
constexpr INT PixelFormat16bppRGB555 = 0x21005;
constexpr INT PixelFormat16bppRGB565 = 0x21006;
constexpr INT PixelFormat24bppRGB = 0x21808;
constexpr INT PixelFormat32bppPARGB = 0xE200B;

struct GlobalBlock {
    HGLOBAL handle;
    ~GlobalBlock()
    {
        if (handle) GlobalFree(handle);
    }
};

struct WindowDc {
    HWND window;
    HDC dc;
    ~WindowDc()
    {
        if (dc) ReleaseDC(window, dc);
    }
};

bool ScreenIs565(HDC dc) noexcept
{
    if (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) return false;
    if (GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL) == 24) return false;
    GlobalBlock block{GlobalAlloc(GMEM_ZEROINIT, sizeof(DisplayBitmapInfo))};
    if (!block.handle) return false;
    auto* info = static_cast<DisplayBitmapInfo*>(GlobalLock(block.handle));
    if (!info) return false;
    bool is565 = GetDisplayBitmapInfo(dc, info) != 0 && HasGreenMaskOf6Bits(*info);
    GlobalUnlock(block.handle);
    return is565;
}
}

SurfaceTargetFormat ChooseSurfaceTargetFormat(bool hasDirect3D, D3DFORMAT displayFormat) noexcept
{
    if (!hasDirect3D) return {GUID_WICPixelFormat32bppPBGRA, 32};
    switch (displayFormat) {
    case D3DFMT_R8G8B8: return {GUID_WICPixelFormat24bppBGR, 24};
    case D3DFMT_A8R8G8B8: return {GUID_WICPixelFormat32bppBGRA, 32};
    case D3DFMT_R5G6B5: return {GUID_WICPixelFormat16bppBGR565, 16};
    case D3DFMT_X1R5G5B5: return {GUID_WICPixelFormat16bppBGR555, 16};
    default: return {GUID_WICPixelFormat32bppPBGRA, 32};
    }
}

BitmapTargetFormat ChooseBitmapTargetFormat(int screenBitsPerPixel, bool is565) noexcept
{
    switch (screenBitsPerPixel) {
    case 16:
        if (is565) return {PixelFormat16bppRGB565, GUID_WICPixelFormat16bppBGR565, 16};
        return {PixelFormat16bppRGB555, GUID_WICPixelFormat16bppBGR555, 16};
    case 24: return {PixelFormat24bppRGB, GUID_WICPixelFormat24bppBGR, 24};
    default:
        return {PixelFormat32bppPARGB, GUID_WICPixelFormat32bppPBGRA, static_cast<UINT>(screenBitsPerPixel)};
    }
}

BitmapTargetFormat ChooseScreenTargetFormat() noexcept
{
    HWND active = GetActiveWindow();
    WindowDc screen{active, GetWindowDC(active)};
    int bits = screen.dc ? GetDeviceCaps(screen.dc, BITSPIXEL) : 0;
    bool is565 = bits == 16 && ScreenIs565(screen.dc);
    return ChooseBitmapTargetFormat(bits, is565);
}

bool HasGreenMaskOf6Bits(const DisplayBitmapInfo& info) noexcept
{
    DWORD greenMask;
    memcpy(&greenMask, &info.colors[1], sizeof greenMask);
    return std::popcount(greenMask) == 6;
}
