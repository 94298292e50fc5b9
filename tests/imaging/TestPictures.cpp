#include "tests/imaging/TestPictures.h"
#include "Framework/ComPtr.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/imaging/WicFactory.h"
#include <gtest/gtest.h>
#include <algorithm>

Rgba AsymmetricPixel(UINT x, UINT y, bool transparentCorner)
{
    const uint8_t alpha = transparentCorner && x == 0 && y == 0 ? 0 : 255;
    return {uint8_t(30 + 37 * x), uint8_t(20 + 53 * y), uint8_t(250 - 23 * x - 11 * y), alpha};
}

POINT StoredPositionShownAt(int orientation, UINT x, UINT y, UINT w, UINT h)
{
    UINT sx = x, sy = y;
    switch (orientation) {
    case 2: sx = w - 1 - x; break;
    case 3: sx = w - 1 - x, sy = h - 1 - y; break;
    case 4: sy = h - 1 - y; break;
    case 5: sx = y, sy = x; break;
    case 6: sx = y, sy = h - 1 - x; break;
    case 7: sx = w - 1 - y, sy = h - 1 - x; break;
    case 8: sx = w - 1 - y, sy = x; break;
    }
    return {LONG(sx), LONG(sy)};
}

namespace {
UINT BytesPerPixel(REFGUID format)
{
    if (format == GUID_WICPixelFormat24bppBGR) return 3;
    if (format == GUID_WICPixelFormat32bppBGRA) return 4;
    if (format == GUID_WICPixelFormat48bppRGB) return 6;
    if (format == GUID_WICPixelFormat64bppRGBA) return 8;
    return 1;
}

void PutPixel(TestFrame& frame, UINT x, UINT y, Rgba c, uint8_t index)
{
    uint8_t* p = frame.pixels.data() + size_t(y) * frame.stride + size_t(x) * BytesPerPixel(frame.format);
    auto put16 = [&p](int i, uint8_t v) { p[2 * i] = v; p[2 * i + 1] = v; };  // v * 257, little-endian
    if (frame.format == GUID_WICPixelFormat24bppBGR || frame.format == GUID_WICPixelFormat32bppBGRA) {
        p[0] = c.b, p[1] = c.g, p[2] = c.r;
        if (frame.format == GUID_WICPixelFormat32bppBGRA) p[3] = c.a;
    } else if (frame.format == GUID_WICPixelFormat48bppRGB || frame.format == GUID_WICPixelFormat64bppRGBA) {
        put16(0, c.r), put16(1, c.g), put16(2, c.b);
        if (frame.format == GUID_WICPixelFormat64bppRGBA) put16(3, c.a);
    } else {
        p[0] = index;
    }
}

TestFrame EmptyFrame(UINT width, UINT height, REFGUID format)
{
    TestFrame frame;
    frame.width = width;
    frame.height = height;
    frame.format = format;
    frame.stride = (width * BytesPerPixel(format) + 3) & ~3u;
    frame.pixels.assign(size_t(frame.stride) * height, 0);
    return frame;
}
}

TestFrame AsymmetricFrame(UINT width, UINT height, REFGUID format, bool transparentCorner)
{
    TestFrame frame = EmptyFrame(width, height, format);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            const Rgba c = AsymmetricPixel(x, y, transparentCorner);
            const uint8_t index = uint8_t(y * width + x);
            PutPixel(frame, x, y, c, index);
            if (format == GUID_WICPixelFormat8bppIndexed)
                frame.palette.push_back((WICColor(c.a) << 24) | (WICColor(c.r) << 16) | (WICColor(c.g) << 8) | c.b);
        }
    return frame;
}

TestFrame PlainFrame(UINT width, UINT height, Rgba colour)
{
    TestFrame frame = EmptyFrame(width, height, GUID_WICPixelFormat24bppBGR);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) PutPixel(frame, x, y, colour, 0);
    return frame;
}

void WriteTestPicture(const std::wstring& path, REFGUID container, const std::vector<TestFrame>& frames,
                      float jpegQuality)
{
    ComPtr<IWICImagingFactory> factory;
    ASSERT_EQ(S_OK, factory.CoCreate(CLSID_WICImagingFactory));
    ComPtr<IWICStream> stream;
    ASSERT_EQ(S_OK, factory->CreateStream(&stream));
    ASSERT_EQ(S_OK, stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
    ComPtr<IWICBitmapEncoder> encoder;
    ASSERT_EQ(S_OK, factory->CreateEncoder(container, nullptr, &encoder));
    ASSERT_EQ(S_OK, encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    for (const TestFrame& frame : frames) {
        ComPtr<IWICBitmapFrameEncode> frameEncoder;
        ComPtr<IPropertyBag2> options;
        ASSERT_EQ(S_OK, encoder->CreateNewFrame(&frameEncoder, &options));
        if (container == GUID_ContainerFormatJpeg) {
            PROPBAG2 option = {};
            option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
            VARIANT quality;
            VariantInit(&quality);
            quality.vt = VT_R4;
            quality.fltVal = jpegQuality;
            options->Write(1, &option, &quality);
        }
        ASSERT_EQ(S_OK, frameEncoder->Initialize(options.Get()));
        ASSERT_EQ(S_OK, frameEncoder->SetSize(frame.width, frame.height));
        WICPixelFormatGUID format = frame.format;
        ASSERT_EQ(S_OK, frameEncoder->SetPixelFormat(&format));
        ASSERT_EQ(frame.format, format) << "the encoder does not take this pixel format";
        if (!frame.palette.empty()) {
            ComPtr<IWICPalette> palette;
            ASSERT_EQ(S_OK, factory->CreatePalette(&palette));
            ASSERT_EQ(S_OK, palette->InitializeCustom(const_cast<WICColor*>(frame.palette.data()), UINT(frame.palette.size())));
            ASSERT_EQ(S_OK, frameEncoder->SetPalette(palette.Get()));
        }
        ASSERT_EQ(S_OK, frameEncoder->WritePixels(frame.height, frame.stride, UINT(frame.pixels.size()),
                                                  const_cast<BYTE*>(frame.pixels.data())));
        ASSERT_EQ(S_OK, frameEncoder->Commit());
    }
    ASSERT_EQ(S_OK, encoder->Commit());
}

OpenedPicture OpenTestPicture(const std::wstring& path)
{
    OpenedPicture picture;
    EXPECT_EQ(S_OK, g_WicFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                            WICDecodeMetadataCacheOnDemand, &picture.decoder));
    if (picture.decoder) {
        EXPECT_EQ(S_OK, picture.decoder->GetFrame(0, &picture.frame));
    }
    return picture;
}

HistogramData ShownHistogram(const std::vector<Rgba>& pixels)
{
    HistogramData h = {};
    for (const Rgba& p : pixels) ++h.red[p.r], ++h.green[p.g], ++h.blue[p.b];
    auto finish = [](uint32_t (&bins)[256]) {
        const uint32_t maximum = *std::max_element(bins + 1, bins + 255);
        bins[0] = std::min(bins[0], maximum);
        bins[255] = std::min(bins[255], maximum);
        return maximum;
    };
    h.redMax = finish(h.red), h.greenMax = finish(h.green), h.blueMax = finish(h.blue);
    return h;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ASSERT_EQ(bytes.size(), written);
}

std::vector<uint8_t> ReadBytes(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    const UniqueHandle file(
        // Writers may hold the file open (a log another process appends to).
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.Get(), &size);
    bytes.resize(size_t(size.QuadPart));
    DWORD read = 0;
    ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}
