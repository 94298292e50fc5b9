#include "Viewer/imaging/DisplayBitmapInfo.h"
#include "Framework/UniqueGdiObject.h"

int GetDisplayBitmapInfo(HDC dc, DisplayBitmapInfo* info) noexcept
{
    if (!dc || !info) return 0;
    *info = {};
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    const UniqueGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, 1, 1));
    if (!bitmap) return 0;
    // GetDIBits writes the masks past the one colour entry that BITMAPINFO declares: the room is there.
    auto* asInfo = reinterpret_cast<BITMAPINFO*>(info);
    if (!GetDIBits(dc, bitmap.get(), 0, 1, nullptr, asInfo, DIB_RGB_COLORS)) return 0;
    return GetDIBits(dc, bitmap.get(), 0, 1, nullptr, asInfo, DIB_RGB_COLORS);
}
