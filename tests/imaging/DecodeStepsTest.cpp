// The pipeline's steps seen through a recording factory and fake frames, for what the platform here
// cannot show on real files: EXIF orientation (its metadata reader finds no EXIF in a JPEG) and the
// colour transform (its transformer leaves the pixels as they were).
#include "tests/imaging/DecodeFixture.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "Viewer/imaging/WicFactory.h"
#include <gmock/gmock.h>
#include <algorithm>
#include <cstring>

namespace {
constexpr UINT StoredWidth = 7;
constexpr UINT StoredHeight = 5;

// What EXIF means by each orientation: the stored pixel that shows at (x, y) of the upright picture.
Rgba StoredPixelShownAt(int orientation, UINT x, UINT y)
{
    const UINT w = StoredWidth, h = StoredHeight;
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
    return AsymmetricPixel(sx, sy);
}

HistogramData CountColours(const std::vector<Rgba>& pixels)
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
}

class DecodeSteps : public DecodeFixture {
protected:
    void SetUp() override
    {
        DecodeFixture::SetUp();
        factory = ComPtr<RecordingWicFactory>::Attach(new RecordingWicFactory(g_WicFactory.Get()));
        g_WicFactory = ComPtr<IWICImagingFactory>(factory.Get());
        frame = AsymmetricFrame(StoredWidth, StoredHeight, GUID_WICPixelFormat24bppBGR);
        ASSERT_EQ(S_OK, factory->CreateBitmapFromMemory(frame.width, frame.height, frame.format, frame.stride,
                                                        UINT(frame.pixels.size()), frame.pixels.data(), &pixels));
        // The file only has to be there and long enough: the decoder comes from the factory.
        path = folder.File(L"stored.jpg");
        WriteBytes(path, std::vector<uint8_t>(64, 0xFF));
    }

    // A JPEG decoder of one frame whose metadata answers from the reader.
    FakeFrame* UseFrame(FakeQueryReader* reader)
    {
        auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(GUID_ContainerFormatJpeg));
        auto fakeFrame = ComPtr<FakeFrame>::Attach(new FakeFrame(pixels.Get(), reader));
        decoder->AddFrame(fakeFrame.Get());
        factory->decoder = ComPtr<IWICBitmapDecoder>(decoder.Get());
        return fakeFrame.Get();
    }

    ComPtr<RecordingWicFactory> factory;
    TestFrame frame;
    ComPtr<IWICBitmap> pixels;
    std::wstring path;
};

TEST_F(DecodeSteps, EveryOrientationComesOutUprightOnBothRoadsWithItsHistogram)
{
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        auto reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
        reader->SetUInt16(L"System.Photo.Orientation", USHORT(orientation));
        UseFrame(reader.Get());
        const bool quarter = orientation >= 5;
        const UINT w = quarter ? StoredHeight : StoredWidth, h = quarter ? StoredWidth : StoredHeight;
        std::vector<Rgba> expected;
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) expected.push_back(StoredPixelShownAt(orientation, x, y));

        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        ImageInfo info;
        ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info));
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        EXPECT_EQ(w, info.width);
        EXPECT_EQ(orientation == 1 ? 0 : 1, info.rotated);
        const std::vector<Rgba> shown = PixelsOf(bitmap.get());
        EXPECT_EQ(expected, shown);
        ASSERT_NE(0u, info.flags & ImageInfoHistogram);
        const HistogramData counted = CountColours(shown);
        EXPECT_EQ(0, std::memcmp(&counted, &info.histogram, sizeof(counted)));

        ComPtr<IDirect3DSurface9> surface;
        ASSERT_EQ(S_OK, ToSurface(path, surface));
        EXPECT_EQ(expected, PixelsOf(surface.Get(), width, height));
    }
}

TEST_F(DecodeSteps, WithoutAutoRotateTheStoredOrientationIsKept)
{
    auto reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
    reader->SetUInt16(L"System.Photo.Orientation", 6);
    UseFrame(reader.Get());
    Gdiplus::Bitmap* result = nullptr;
    ImageInfo info;
    ASSERT_EQ(S_OK, LoadToBitmap(context.get(), path.c_str(), 0, &result, &width, &height, false, false, false, &info,
                                 nullptr, 0));
    const std::unique_ptr<Gdiplus::Bitmap> bitmap(result);
    EXPECT_EQ(StoredWidth, width);
    EXPECT_EQ(0, info.rotated);
}

TEST_F(DecodeSteps, TheFormatConverterTakesTheSourceAndMakesTheTarget)
{
    FakeFrame* fake = UseFrame(nullptr);
    ComPtr<IDirect3DSurface9> surface;
    ASSERT_EQ(S_OK, ToSurface(path, surface));
    ASSERT_EQ(1u, factory->converterInits.size());
    EXPECT_EQ(static_cast<IWICBitmapSource*>(fake), factory->converterInits[0].source)
        << "the frame itself, no transform asked for";
    EXPECT_EQ(GUID_WICPixelFormat32bppPBGRA, factory->converterInits[0].format) << "the X8R8G8B8 display's target";
    EXPECT_TRUE(factory->transformInits.empty());
}

TEST_F(DecodeSteps, ShootingDataAndBothGeometriesReachTheRecord)
{
    auto reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
    reader->SetUInt16(L"System.Photo.Orientation", 6);
    reader->SetUInt16(L"System.Photo.Flash", 9);
    UseFrame(reader.Get());
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info));
    EXPECT_EQ(9, info.flash);
    EXPECT_EQ(6, info.orientation);
    EXPECT_EQ(ImageInfoFlash | ImageInfoOrientation | ImageInfoHistogram, info.flags);
    EXPECT_EQ(StoredWidth, info.sourceWidth) << "as stored in the file";
    EXPECT_EQ(StoredHeight, info.sourceHeight);
    EXPECT_EQ(StoredHeight, info.width) << "as shown, turned a quarter";
    EXPECT_EQ(StoredWidth, info.height);
    EXPECT_EQ(GUID_WICPixelFormat24bppBGR, info.pixelFormat) << "the frame's own format, not the target's";
    EXPECT_EQ(24u, info.bitsPerPixel);
    EXPECT_EQ(0, info.downscaled);
}
