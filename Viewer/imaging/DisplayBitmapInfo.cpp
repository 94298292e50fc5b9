#include "Viewer/imaging/DisplayBitmapInfo.h"

namespace {
struct BitmapHandle {
    HBITMAP handle;
    ~BitmapHandle()
    {
        if (handle) DeleteObject(handle);
    }
};
}

int GetDisplayBitmapInfo(HDC dc, BITMAPINFO* info) noexcept
{
    if (!dc || !info) return 0;
    ZeroMemory(info, sizeof(DisplayBitmapInfo));
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    BitmapHandle bitmap{CreateCompatibleBitmap(dc, 1, 1)};
    if (!bitmap.handle) return 0;
    if (!GetDIBits(dc, bitmap.handle, 0, 1, nullptr, info, DIB_RGB_COLORS)) return 0;
    return GetDIBits(dc, bitmap.handle, 0, 1, nullptr, info, DIB_RGB_COLORS);
}
