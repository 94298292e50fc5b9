#pragma once
// The DIB format of the display, as the view reports it.
#include <windows.h>

// A BITMAPINFO with room for 256 colour entries; the colour masks of a 16- or 32-bit display stand in
// the first three entries.
struct DisplayBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};
static_assert(sizeof(DisplayBitmapInfo) == 1064);

// Fills a zeroed info through a 1 x 1 compatible bitmap and two GetDIBits calls without bits (the
// second completes the colour masks). Returns the last GetDIBits result, 0 on failure.
int GetDisplayBitmapInfo(HDC dc, DisplayBitmapInfo* info) noexcept;
