#pragma once
// GDI+ bitmaps of the flat API held for their lifetime, and their pixels locked for a scope.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

struct GdiPlusImageDeleter {
    void operator()(Gdiplus::GpImage* image) const noexcept { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using GdiPlusBitmap = std::unique_ptr<Gdiplus::GpBitmap, GdiPlusImageDeleter>;

// A rectangle of a bitmap's pixels as 24-bit RGB (blue, green, red bytes), unlocked by the destructor.
class LockedBits {
public:
    LockedBits(Gdiplus::GpBitmap* bitmap, const Gdiplus::Rect& area, UINT mode) noexcept;
    LockedBits(const LockedBits&) = delete;
    LockedBits& operator=(const LockedBits&) = delete;
    ~LockedBits();

    bool Locked() const noexcept { return m_locked; }
    BYTE* Row(int y) const noexcept { return static_cast<BYTE*>(m_data.Scan0) + ptrdiff_t(y) * m_data.Stride; }
    int Stride() const noexcept { return m_data.Stride; }
    BYTE* Scan0() const noexcept { return static_cast<BYTE*>(m_data.Scan0); }

private:
    Gdiplus::GpBitmap* m_bitmap;
    Gdiplus::BitmapData m_data{};
    bool m_locked = false;
};

// The bitmap's size in pixels; 0 × 0 when GDI+ cannot tell.
SIZE BitmapSize(Gdiplus::GpBitmap* bitmap) noexcept;
