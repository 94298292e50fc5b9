#include "tests/wallpaper/GdiPlusSession.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

GdiPlusBitmap BitmapOf(const RgbPixels& pixels)
{
    GpBitmap* created = nullptr;
    if (GdipCreateBitmapFromScan0(pixels.width, pixels.height, 0, PixelFormat24bppRGB, nullptr, &created) != Ok)
        return nullptr;
    GdiPlusBitmap bitmap(created);
    LockedBits bits(bitmap.get(), Rect(0, 0, pixels.width, pixels.height), ImageLockModeWrite);
    if (!bits.Locked()) return nullptr;
    for (int y = 0; y < pixels.height; ++y)
        memcpy(bits.Row(y), &pixels.bytes[size_t(y * pixels.width * 3)], size_t(pixels.width * 3));
    return bitmap;
}

RgbPixels PixelsOf(GpBitmap* bitmap)
{
    const SIZE size = BitmapSize(bitmap);
    RgbPixels pixels{int(size.cx), int(size.cy), std::vector<BYTE>(size_t(size.cx * size.cy * 3))};
    LockedBits bits(bitmap, Rect(0, 0, size.cx, size.cy), ImageLockModeRead);
    if (!bits.Locked()) return {};
    for (int y = 0; y < pixels.height; ++y)
        memcpy(&pixels.bytes[size_t(y * pixels.width * 3)], bits.Row(y), size_t(pixels.width * 3));
    return pixels;
}
