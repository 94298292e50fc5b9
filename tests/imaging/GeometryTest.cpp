#include "Viewer/imaging/DecodedPixelFormats.h"
#include "Viewer/imaging/DisplayBitmapInfo.h"
#include "Viewer/imaging/Downscale.h"
#include "Viewer/imaging/ExifOrientation.h"
#include "Viewer/imaging/PixelFormatBits.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/imaging/FakeWic.h"
#include "tests/imaging/TestPictures.h"
#include <gtest/gtest.h>

TEST(Downscale, InterpolationModeFollowsQualityBitAndLimit)
{
    struct { uint32_t setting; WICBitmapInterpolationMode mode; } cases[] = {
        {0x80000000 | 8, WICBitmapInterpolationModeFant},    {0x80000000 | 11, WICBitmapInterpolationModeFant},
        {0x80000000 | 12, WICBitmapInterpolationModeCubic},  {0x80000000 | 112, WICBitmapInterpolationModeCubic},
        {96, WICBitmapInterpolationModeLinear},               {8, WICBitmapInterpolationModeLinear},
        {97, WICBitmapInterpolationModeNearestNeighbor},     {112, WICBitmapInterpolationModeNearestNeighbor},
        {0x00FF0000 | 50, WICBitmapInterpolationModeLinear},  // only bits 0-15 are the limit
    };
    for (auto& c : cases) EXPECT_EQ(c.mode, DownscaleInterpolationMode(c.setting)) << std::hex << c.setting;
}

TEST(Downscale, SizeTestAndStepsOf16)
{
    EXPECT_TRUE(IsAboveSizeLimit(6000, 4000, 32, 64));
    EXPECT_FALSE(IsAboveSizeLimit(6000, 4000, 32, 112)) << "91.55 MB";
    EXPECT_FALSE(IsAboveSizeLimit(1024, 1024, 32, 4)) << "exactly the limit is not above it";
    EXPECT_TRUE(IsAboveSizeLimit(1024, 1025, 32, 4));

    ScaledSize size = FitToSizeLimit(6000, 4000, 32, 64);
    EXPECT_EQ(5008u, size.width);
    EXPECT_EQ(3339u, size.height);
    size = FitToSizeLimit(4000, 6000, 24, 20);
    EXPECT_FALSE(IsAboveSizeLimit(size.width, size.height, 24, 20));
    EXPECT_TRUE(IsAboveSizeLimit(size.width + 16, (size.width + 16) * 6000 / 4000, 24, 20));
    EXPECT_EQ(0u, (4000 - size.width) % 16);
}

TEST(Downscale, TheWidthStopsSteppingAtItsFloorInsteadOfWrapping)
{
    // Tall, narrow pictures and a limit of 1 MB they can never meet: the width stops at its last
    // step above 0, whatever the limit says.
    struct { UINT width, height; UINT expectedWidth, expectedHeight; } cases[] = {
        {40, 100000, 8, 20000}, {17, 100000, 1, 5882}, {16, 50000, 16, 50000}, {33, 1000000, 1, 30303},
    };
    for (auto& c : cases) {
        const ScaledSize size = FitToSizeLimit(c.width, c.height, 32, 1);
        EXPECT_EQ(c.expectedWidth, size.width) << c.width << "x" << c.height;
        EXPECT_EQ(c.expectedHeight, size.height) << c.width << "x" << c.height;
    }
}

class DownscaleOnBitmaps : public WicFactoryTest {};

TEST_F(DownscaleOnBitmaps, LargeBitmapGetsAScalerAndTheFlag)
{
    ComPtr<IWICBitmap> bitmap;
    ASSERT_EQ(S_OK, g_WicFactory->CreateBitmap(2048, 1024, GUID_WICPixelFormat32bppBGRA, WICBitmapCacheOnLoad, &bitmap));
    IWICBitmapSource* out = nullptr;
    uint8_t downscaled = 0;
    DownscaleIfLarge(nullptr, &out, bitmap.Get(), 0x80000000 | 4, 32, &downscaled);
    ComPtr<IWICBitmapSource> result = ComPtr<IWICBitmapSource>::Attach(out);
    ASSERT_TRUE(result);
    EXPECT_EQ(1, downscaled);
    UINT width = 0, height = 0;
    ASSERT_EQ(S_OK, result->GetSize(&width, &height));
    EXPECT_EQ(1440u, width);
    EXPECT_EQ(720u, height);
    ComPtr<IWICBitmapScaler> scaler;
    EXPECT_EQ(S_OK, result.As(scaler));
}

TEST_F(DownscaleOnBitmaps, SourcePassesThroughWhenNothingIsToBeDone)
{
    ComPtr<IWICBitmap> bitmap;
    ASSERT_EQ(S_OK, g_WicFactory->CreateBitmap(2048, 1024, GUID_WICPixelFormat32bppBGRA, WICBitmapCacheOnLoad, &bitmap));
    struct { uint32_t setting; UINT bits; } cases[] = {{0x80000000, 32}, {0, 32}, {4, 0}, {8, 32}};
    for (auto& c : cases) {
        IWICBitmapSource* out = nullptr;
        uint8_t downscaled = 0;
        DownscaleIfLarge(nullptr, &out, bitmap.Get(), c.setting, c.bits, &downscaled);
        EXPECT_EQ(static_cast<IWICBitmapSource*>(bitmap.Get()), out);
        EXPECT_EQ(0, downscaled);
        if (out) out->Release();
    }
    IWICBitmapSource* out = reinterpret_cast<IWICBitmapSource*>(1);
    DownscaleIfLarge(nullptr, &out, nullptr, 4, 32, nullptr);
    EXPECT_EQ(nullptr, out);

    ComPtr<IWICImagingFactory> factory = std::move(g_WicFactory);
    DownscaleIfLarge(nullptr, &out, bitmap.Get(), 4, 32, nullptr);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(bitmap.Get()), out) << "no factory: the source itself";
    out->Release();
    g_WicFactory = std::move(factory);
}

TEST(ExifOrientation, ValuesMapToTransforms)
{
    const int expected[] = {0, 0, 8, 24, 16, 9, 1, 11, 3, 0};
    for (int orientation = 0; orientation <= 9; ++orientation)
        EXPECT_EQ(expected[orientation], OrientationToTransform(orientation)) << orientation;
    EXPECT_EQ(0, OrientationToTransform(-1));
    EXPECT_EQ(0, OrientationToTransform(0x10006)) << "only 1-8 count";
}

class OrientationOnBitmaps : public WicFactoryTest {
protected:
    // A frame of a numbered 3 x 2 bitmap whose reader answers what the test puts in.
    ComPtr<FakeFrame> Frame(FakeQueryReader* reader)
    {
        return ComPtr<FakeFrame>::Attach(new FakeFrame(MakeNumberedBitmap(3, 2).Get(), reader));
    }
    ComPtr<FakeQueryReader> m_reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
};

TEST_F(OrientationOnBitmaps, OrientationIsReadFromExifThenXmp)
{
    auto frame = Frame(m_reader.Get());
    EXPECT_EQ(0, GetOrientationTransform(frame.Get()));
    EXPECT_EQ((std::vector<std::wstring>{L"System.Photo.Orientation", L"/ifd/{ushort=274}", L"/app1/ifd/{ushort=274}",
                                         L"/xmp/tiff:Orientation"}),
              m_reader->asked);

    m_reader->SetText(L"/xmp/tiff:Orientation", L"6");
    EXPECT_EQ(WICBitmapTransformRotate90, GetOrientationTransform(frame.Get()));
    m_reader->SetUInt16(L"System.Photo.Orientation", 8);
    EXPECT_EQ(WICBitmapTransformRotate270, GetOrientationTransform(frame.Get()));
    m_reader->SetText(L"System.Photo.Orientation", L"");
    EXPECT_EQ(0, GetOrientationTransform(frame.Get()));

    EXPECT_EQ(0, GetOrientationTransform(nullptr));
    EXPECT_EQ(0, GetOrientationTransform(Frame(nullptr).Get())) << "a frame without metadata";
}

// The numbered bitmap's value of the stored pixel that shows at (x, y) of the upright picture.
UINT StoredPixelShownAt(int orientation, UINT x, UINT y, UINT w, UINT h)
{
    const POINT stored = StoredPositionShownAt(orientation, x, y, w, h);
    return UINT(stored.x) + 16 * UINT(stored.y) + 1;
}

TEST_F(OrientationOnBitmaps, EveryOrientationShowsThePictureUpright)
{
    const UINT w = 3, h = 2;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        m_reader->SetUInt16(L"System.Photo.Orientation", static_cast<USHORT>(orientation));
        auto frame = Frame(m_reader.Get());
        IWICBitmapSource* out = nullptr;
        uint8_t rotated = 7;
        ApplyExifOrientation(nullptr, &out, frame.Get(), frame.Get(), &rotated);
        ComPtr<IWICBitmapSource> result = ComPtr<IWICBitmapSource>::Attach(out);
        ASSERT_TRUE(result);
        EXPECT_EQ(orientation == 1 ? 0 : 1, rotated);
        bool quarter = orientation >= 5;
        UINT ow = 0, oh = 0;
        ASSERT_EQ(S_OK, result->GetSize(&ow, &oh));
        ASSERT_EQ(quarter ? h : w, ow);
        ASSERT_EQ(quarter ? w : h, oh);
        std::vector<UINT> pixels = ReadPixels32(result.Get());
        for (UINT y = 0; y < oh; ++y)
            for (UINT x = 0; x < ow; ++x)
                EXPECT_EQ(StoredPixelShownAt(orientation, x, y, w, h), pixels[y * ow + x]) << x << "," << y;

        // A part of the picture comes out the same as the same part of the whole.
        UINT corner = 0;
        WICRect last{static_cast<INT>(ow - 1), static_cast<INT>(oh - 1), 1, 1};
        ASSERT_EQ(S_OK, result->CopyPixels(&last, 4, 4, reinterpret_cast<BYTE*>(&corner)));
        EXPECT_EQ(pixels.back(), corner);
    }
}

TEST_F(OrientationOnBitmaps, UnreadableOrNeutralOrientationPassesTheSourceThrough)
{
    for (auto reader : {m_reader.Get(), static_cast<FakeQueryReader*>(nullptr)}) {
        m_reader->SetUInt16(L"System.Photo.Orientation", 9);
        auto frame = Frame(reader);
        IWICBitmapSource* out = nullptr;
        uint8_t rotated = 1;
        ApplyExifOrientation(nullptr, &out, frame.Get(), frame.Get(), &rotated);
        EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), out);
        EXPECT_EQ(0, rotated);
        if (out) out->Release();
    }
    IWICBitmapSource* out = reinterpret_cast<IWICBitmapSource*>(1);
    ApplyExifOrientation(nullptr, &out, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, out);
}

TEST(DecodedPixelFormats, SurfaceFormatFollowsTheDisplayFormat)
{
    struct { bool direct3D; D3DFORMAT format; const GUID* wic; UINT bits; } cases[] = {
        {false, D3DFMT_R5G6B5, &GUID_WICPixelFormat32bppPBGRA, 32},
        {true, D3DFMT_R8G8B8, &GUID_WICPixelFormat24bppBGR, 24},
        {true, D3DFMT_A8R8G8B8, &GUID_WICPixelFormat32bppBGRA, 32},
        {true, D3DFMT_X8R8G8B8, &GUID_WICPixelFormat32bppPBGRA, 32},
        {true, D3DFMT_R5G6B5, &GUID_WICPixelFormat16bppBGR565, 16},
        {true, D3DFMT_X1R5G5B5, &GUID_WICPixelFormat16bppBGR555, 16},
        {true, D3DFMT_A1R5G5B5, &GUID_WICPixelFormat32bppPBGRA, 32},
    };
    for (auto& c : cases) {
        SurfaceTargetFormat f = ChooseSurfaceTargetFormat(c.direct3D, c.format);
        EXPECT_TRUE(IsEqualGUID(*c.wic, f.wicFormat)) << c.direct3D << " " << c.format;
        EXPECT_EQ(c.bits, f.bitsPerPixel) << c.format;
    }
}

TEST(DecodedPixelFormats, BitmapFormatFollowsTheScreenDepth)
{
    struct { int bits; bool is565; INT gdiplus; const GUID* wic; UINT passed; } cases[] = {
        {16, true, 0x21006, &GUID_WICPixelFormat16bppBGR565, 16},
        {16, false, 0x21005, &GUID_WICPixelFormat16bppBGR555, 16},
        {24, false, 0x21808, &GUID_WICPixelFormat24bppBGR, 24},
        {32, false, 0xE200B, &GUID_WICPixelFormat32bppPBGRA, 32},
        {8, false, 0xE200B, &GUID_WICPixelFormat32bppPBGRA, 8},
    };
    for (auto& c : cases) {
        BitmapTargetFormat f = ChooseBitmapTargetFormat(c.bits, c.is565);
        EXPECT_EQ(c.gdiplus, f.gdiplusFormat) << c.bits;
        EXPECT_TRUE(IsEqualGUID(*c.wic, f.wicFormat)) << c.bits;
        EXPECT_EQ(c.passed, f.bitsPerPixel) << c.bits;
    }
}

TEST(DecodedPixelFormats, GreenMaskOfSixBitsMeans565)
{
    DisplayBitmapInfo info = {};
    DWORD masks565[3] = {0xF800, 0x07E0, 0x001F};
    memcpy(info.colors, masks565, sizeof masks565);
    EXPECT_TRUE(HasGreenMaskOf6Bits(info));
    DWORD masks555[3] = {0x7C00, 0x03E0, 0x001F};
    memcpy(info.colors, masks555, sizeof masks555);
    EXPECT_FALSE(HasGreenMaskOf6Bits(info));
}

TEST(DecodedPixelFormats, DisplayBitmapInfoDescribesTheScreen)
{
    HDC screen = GetDC(nullptr);
    DisplayBitmapInfo info;
    memset(&info, 0xCD, sizeof info);
    EXPECT_NE(0, GetDisplayBitmapInfo(screen, &info));
    EXPECT_EQ(40u, info.header.biSize);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), info.header.biBitCount);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, GetDisplayBitmapInfo(nullptr, &info));
    BitmapTargetFormat f = ChooseScreenTargetFormat();
    EXPECT_NE(0u, f.bitsPerPixel);
}

class PixelFormatBits : public WicFactoryTest {};

TEST_F(PixelFormatBits, BitsComeFromTheFactorysDescription)
{
    UINT bits = 0;
    EXPECT_EQ(S_OK, GetPixelFormatBitsPerPixel(GUID_WICPixelFormat32bppPBGRA, &bits));
    EXPECT_EQ(32u, bits);
    EXPECT_EQ(S_OK, GetPixelFormatBitsPerPixel(GUID_WICPixelFormat16bppBGR565, &bits));
    EXPECT_EQ(16u, bits);
    EXPECT_EQ(E_INVALIDARG, GetPixelFormatBitsPerPixel(GUID_WICPixelFormat24bppBGR, nullptr));
    EXPECT_TRUE(FAILED(GetPixelFormatBitsPerPixel(GUID_ContainerFormatPng, &bits))) << "not a pixel format";
    ComPtr<IWICImagingFactory> factory = std::move(g_WicFactory);
    EXPECT_EQ(E_UNEXPECTED, GetPixelFormatBitsPerPixel(GUID_WICPixelFormat24bppBGR, &bits));
    g_WicFactory = std::move(factory);
}
