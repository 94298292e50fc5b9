#include "PlugIns/Wallpaper/GdiPlusBitmap.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

LockedBits::LockedBits(GpBitmap* bitmap, const Rect& area, UINT mode) noexcept : m_bitmap(bitmap)
{
    m_locked = bitmap && GdipBitmapLockBits(bitmap, &area, mode, PixelFormat24bppRGB, &m_data) == Ok;
}

LockedBits::~LockedBits()
{
    if (m_locked) GdipBitmapUnlockBits(m_bitmap, &m_data);
}

SIZE BitmapSize(GpBitmap* bitmap) noexcept
{
    UINT width = 0, height = 0;
    if (!bitmap || GdipGetImageWidth(bitmap, &width) != Ok || GdipGetImageHeight(bitmap, &height) != Ok) return {0, 0};
    return {LONG(width), LONG(height)};
}
