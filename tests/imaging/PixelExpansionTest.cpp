// The histogram copy widens 24-bit colour to the 32-bit targets itself instead of the platform's
// converter: on real decoded pictures its pixels must be the converter's, byte for byte.
#include "tests/imaging/FakeWic.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/TestPaths.h"
#include "Viewer/imaging/HistogramSource.h"
#include "Viewer/imaging/WicFactory.h"
#include <cstring>
#include <random>

namespace {
// A picture with no structure a widening mistake could hide in: every byte drawn at random.
TestFrame NoiseFrame(UINT width, UINT height, unsigned seed)
{
    TestFrame frame = PlainFrame(width, height, {0, 0, 0, 255});
    std::mt19937 random(seed);
    for (uint8_t& byte : frame.pixels) byte = uint8_t(random());
    return frame;
}

// The whole source copied with rows of the given stride; the bytes past each row keep 0xCD.
std::vector<BYTE> CopyAll(IWICBitmapSource* source, UINT stride, HRESULT* result)
{
    UINT width = 0, height = 0;
    source->GetSize(&width, &height);
    std::vector<BYTE> bytes(size_t(stride) * height, 0xCD);
    *result = source->CopyPixels(nullptr, stride, UINT(bytes.size()), bytes.data());
    return bytes;
}
}

class PixelExpansion : public WicFactoryTest {
protected:
    TempFolder folder;
};

TEST_F(PixelExpansion, MatchesThePlatformConverterOnDecodedPictures)
{
    struct Picture {
        GUID container;
        const wchar_t* name;
        UINT width, height;
    } pictures[] = {
        // Widths around the sixteen-pixel rounds of the widening and its tail; a picture taller
        // than one band of the histogram copy.
        {GUID_ContainerFormatJpeg, L"a.jpg", 1, 1},    {GUID_ContainerFormatJpeg, L"b.jpg", 15, 3},
        {GUID_ContainerFormatJpeg, L"c.jpg", 16, 2},   {GUID_ContainerFormatJpeg, L"d.jpg", 17, 5},
        {GUID_ContainerFormatJpeg, L"e.jpg", 333, 1100}, {GUID_ContainerFormatBmp, L"f.bmp", 37, 9},
        {GUID_ContainerFormatTiff, L"g.tif", 50, 20},
    };
    unsigned seed = 1;
    for (const Picture& p : pictures) {
        SCOPED_TRACE(testing::Message() << p.width << " x " << p.height);
        const std::wstring path = folder.File(p.name);
        WriteTestPicture(path, p.container, {NoiseFrame(p.width, p.height, seed++)});
        const OpenedPicture opened = OpenTestPicture(path);
        ASSERT_TRUE(opened.frame);
        WICPixelFormatGUID decoded = {};
        ASSERT_EQ(S_OK, opened.frame->GetPixelFormat(&decoded));
        ASSERT_EQ(GUID_WICPixelFormat24bppBGR, decoded) << "the case the widening serves";

        for (const GUID& target : {GUID_WICPixelFormat32bppPBGRA, GUID_WICPixelFormat32bppBGRA}) {
            ComPtr<IWICFormatConverter> converter;
            ASSERT_EQ(S_OK, g_WicFactory->CreateFormatConverter(&converter));
            ASSERT_EQ(S_OK, converter->Initialize(opened.frame.Get(), target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                                  WICBitmapPaletteTypeCustom));
            ComPtr<IHistogramSource> widening = CHistogramSource::CreateExpanding(target);
            ASSERT_EQ(S_OK, widening->Initialize(opened.frame.Get(), 1));
            ComPtr<IWICBitmapSource> ours;
            ASSERT_EQ(S_OK, widening.As(ours));
            WICPixelFormatGUID handedOut = {};
            ASSERT_EQ(S_OK, ours->GetPixelFormat(&handedOut));
            EXPECT_EQ(target, handedOut);

            // A stride with room past each row, which neither may write.
            const UINT stride = p.width * 4 + 8;
            HRESULT platformResult = E_FAIL, ourResult = E_FAIL;
            const std::vector<BYTE> platform = CopyAll(converter.Get(), stride, &platformResult);
            const std::vector<BYTE> widened = CopyAll(ours.Get(), stride, &ourResult);
            ASSERT_EQ(S_OK, platformResult);
            ASSERT_EQ(S_OK, ourResult);
            EXPECT_TRUE(platform == widened) << "the widened pixels differ from the converter's";
        }
    }
}

TEST_F(PixelExpansion, CountsTheSameHistogramAsThePictureItself)
{
    const std::wstring path = folder.File(L"noise.bmp");
    WriteTestPicture(path, GUID_ContainerFormatBmp, {NoiseFrame(41, 700, 99)});
    const OpenedPicture opened = OpenTestPicture(path);
    ASSERT_TRUE(opened.frame);
    HistogramData counts[2] = {};
    int i = 0;
    for (ComPtr<IHistogramSource> histogram :
         {CHistogramSource::Create(), CHistogramSource::CreateExpanding(GUID_WICPixelFormat32bppPBGRA)}) {
        ASSERT_EQ(S_OK, histogram->Initialize(opened.frame.Get(), 1));
        ComPtr<IWICBitmapSource> source;
        ASSERT_EQ(S_OK, histogram.As(source));
        WICPixelFormatGUID format = {};
        source->GetPixelFormat(&format);
        HRESULT hr = E_FAIL;
        CopyAll(source.Get(), format == GUID_WICPixelFormat24bppBGR ? 41 * 3 + 1 : 41 * 4, &hr);
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(S_OK, histogram->GetHistogram(&counts[i++], sizeof(HistogramData)));
    }
    EXPECT_EQ(0, std::memcmp(&counts[0], &counts[1], sizeof(HistogramData)));
    EXPECT_NE(0u, counts[0].redMax);
}

TEST_F(PixelExpansion, RefusesWhatItCannotWiden)
{
    EXPECT_TRUE(CHistogramSource::CanExpand(GUID_WICPixelFormat24bppBGR, GUID_WICPixelFormat32bppPBGRA));
    EXPECT_FALSE(CHistogramSource::CanExpand(GUID_WICPixelFormat24bppRGB, GUID_WICPixelFormat32bppPBGRA));
    EXPECT_FALSE(CHistogramSource::CanExpand(GUID_WICPixelFormat24bppBGR, GUID_WICPixelFormat16bppBGR565));
    ComPtr<IWICBitmap> bitmap = MakeNumberedBitmap(4, 4);  // 32bppBGRA
    ComPtr<IHistogramSource> widening = CHistogramSource::CreateExpanding(GUID_WICPixelFormat32bppPBGRA);
    EXPECT_EQ(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, widening->Initialize(bitmap.Get(), 1));
    // A stride that cannot hold the widened row is refused before anything is written.
    const std::wstring path = folder.File(L"small.bmp");
    WriteTestPicture(path, GUID_ContainerFormatBmp, {NoiseFrame(8, 2, 5)});
    const OpenedPicture opened = OpenTestPicture(path);
    ASSERT_EQ(S_OK, widening->Initialize(opened.frame.Get(), 1));
    ComPtr<IWICBitmapSource> source;
    ASSERT_EQ(S_OK, widening.As(source));
    std::vector<BYTE> buffer(8 * 3 * 2 + 8, 0xCD);
    EXPECT_EQ(E_INVALIDARG, source->CopyPixels(nullptr, 8 * 3 + 4, UINT(buffer.size()), buffer.data()));
    EXPECT_EQ(std::vector<BYTE>(buffer.size(), 0xCD), buffer);
}
