#pragma once
// Picture files made for the tests with the platform's own encoders: a small asymmetric picture
// whose every pixel is known, in each format the viewer decodes.
#include "Framework/ComPtr.h"
#include "Viewer/imaging/ImageInfo.h"
#include <windows.h>
#include <wincodec.h>
#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

// The colour of pixel (x, y) of the asymmetric picture: no two pixels, rows or columns alike. With
// transparency, pixel (0, 0) is fully transparent.
Rgba AsymmetricPixel(UINT x, UINT y, bool transparentCorner = false);

// What EXIF means by each orientation: the position in the stored w x h picture of the pixel that
// shows at (x, y) of the upright picture.
POINT StoredPositionShownAt(int orientation, UINT x, UINT y, UINT w, UINT h);

struct TestFrame {
    UINT width = 0;
    UINT height = 0;
    GUID format = {};
    UINT stride = 0;
    std::vector<uint8_t> pixels;
    std::vector<WICColor> palette;  // for indexed formats
};

// The asymmetric picture in one of 24bppBGR, 32bppBGRA, 48bppRGB, 64bppRGBA or 8bppIndexed.
TestFrame AsymmetricFrame(UINT width, UINT height, REFGUID format, bool transparentCorner = false);
// A frame of one colour, 24bppBGR.
TestFrame PlainFrame(UINT width, UINT height, Rgba colour);

// Encodes the frames into the file with the container's platform encoder; fails the test on error.
void WriteTestPicture(const std::wstring& path, REFGUID container, const std::vector<TestFrame>& frames,
                      float jpegQuality = 0.9f);

// A picture file opened by the process-wide factory, and its first frame; a failure fails the test
// and leaves the frame null.
struct OpenedPicture {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
};
OpenedPicture OpenTestPicture(const std::wstring& path);

// The histogram of the colours as the viewer shows it, counted independently of the viewer's code:
// each channel's maximum over bins 1..254, and the end bins (pure black, pure white) cut down to it.
HistogramData ShownHistogram(const std::vector<Rgba>& pixels);

// Writes bytes to a file as they are.
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::wstring& path);
