#pragma once
// GDI+ started by the test itself, as the viewer starts it before it calls a plug-in, and small
// 24-bit bitmaps made from and read back into byte buffers.
#include "PlugIns/Wallpaper/GdiPlusBitmap.h"
#include <gtest/gtest.h>
#include <vector>

class GdiPlusSession : public ::testing::Test {
protected:
    GdiPlusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GdiPlusSession() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

// Pixels of a width × height picture, three bytes each (blue, green, red), rows packed.
struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<BYTE> bytes;

    BYTE& At(int x, int y, int channel) { return bytes[size_t((y * width + x) * 3 + channel)]; }
    BYTE At(int x, int y, int channel) const { return bytes[size_t((y * width + x) * 3 + channel)]; }
};

GdiPlusBitmap BitmapOf(const RgbPixels& pixels);
RgbPixels PixelsOf(Gdiplus::GpBitmap* bitmap);
