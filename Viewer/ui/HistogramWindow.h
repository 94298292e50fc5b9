#pragma once
// The floating RGB histogram panel: the displayed picture's 256 bins per channel as three
// semi-transparent outlines over a grid, clipping markers at both ends, a caption naming the scaling
// and the picture's bit depth and pixel count.
#include "Viewer/ui/PanelWindow.h"
#include <cstdint>
#include <string>

// Where the plot lies, from the display's DPI.
struct HistogramGeometry {
    float scaleX;
    int left;    // x0
    int top;
    int width;   // W
    int height;  // H
    int bottom;  // top + H
};
HistogramGeometry MakeHistogramGeometry(int dpiX, int dpiY) noexcept;

// The height in the plot of a bin's count against its channel's divisor (already a root when compressed).
int HistogramBarY(const HistogramGeometry& plot, uint32_t count, uint32_t divisor, bool compressed) noexcept;
uint32_t IntegerSquareRoot(uint32_t value) noexcept;

// "R,G,B (linear)" and the like, from the language library's words.
std::wstring HistogramCaption(bool compressed, bool perChannel);
// "32bpp, 6.0MP*": bit depth, decoded pixel count, and a star when the picture was downscaled.
std::wstring HistogramSizeLine(const ImageInfo& information);

class CHistogramWindow : public CPanelWindow {
public:
    CHistogramWindow();
    ~CHistogramWindow() override;

protected:
    void Paint(HDC dc, Gdiplus::Graphics& graphics, const RECT& client) override;

private:
    struct DrawingObjects;
    void DrawChannels(Gdiplus::Graphics& graphics, const HistogramGeometry& plot, const uint32_t (&divisors)[3]);
    void DrawMarkers(Gdiplus::Graphics& graphics, const HistogramGeometry& plot, const uint32_t (&divisors)[3],
                     bool compressed);
    void DrawTexts(Gdiplus::Graphics& graphics, const HistogramGeometry& plot, const RECT& client, int frameBottom,
                   bool compressed, bool perChannel);

    std::unique_ptr<DrawingObjects> m_objects;  // made on the first paint, kept for the panel's life
};
