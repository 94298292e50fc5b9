#include "Viewer/imaging/HistogramSource.h"
#include "tests/imaging/FakeBitmapSource.h"
#include "tests/imaging/TestPictures.h"
#include <gmock/gmock.h>
#include <algorithm>
#include <random>

namespace {
// The histogram of pixels in blue, green, red byte order, counted independently.
HistogramData CountIndependently(const std::vector<uint8_t>& pixels, UINT bytesPerPixel)
{
    std::vector<Rgba> colours;
    for (size_t i = 0; i + bytesPerPixel <= pixels.size(); i += bytesPerPixel)
        colours.push_back({pixels[i + 2], pixels[i + 1], pixels[i], 255});
    return ShownHistogram(colours);
}

void FillRandom(FakeBitmapSource& source, unsigned seed)
{
    std::mt19937 random(seed);
    for (uint8_t& byte : source.pixels) byte = uint8_t(random());
}

HistogramData HistogramOf(IHistogramSource* histogram)
{
    HistogramData h;
    EXPECT_EQ(S_OK, histogram->GetHistogram(&h, sizeof(h)));
    return h;
}

MATCHER_P(SameHistogram, expected, "")
{
    return std::memcmp(&arg, &expected, sizeof(HistogramData)) == 0;
}

HRESULT WINAPI RecordProgress(LPVOID data, ULONG, WICProgressOperation operation, double progress)
{
    EXPECT_EQ(WICProgressOperationCopyPixels, operation);
    static_cast<std::vector<double>*>(data)->push_back(progress);
    return S_OK;
}

HRESULT WINAPI AbortAtCall(LPVOID data, ULONG, WICProgressOperation, double)
{
    return --*static_cast<int*>(data) < 0 ? E_ABORT : S_OK;
}

struct Copy {
    ComPtr<IHistogramSource> histogram = CHistogramSource::Create();
    ComPtr<IWICBitmapSource> asSource;
    std::vector<uint8_t> buffer;

    explicit Copy(FakeBitmapSource& source, DWORD flags = 1)
    {
        EXPECT_EQ(S_OK, histogram->Initialize(&source, flags));
        EXPECT_EQ(S_OK, histogram.As(asSource));
        buffer.assign(source.pixels.size(), 0xCD);
    }
    HRESULT Run(FakeBitmapSource& source)
    {
        const WICRect rect = {0, 0, INT(source.width), INT(source.height)};
        return asSource->CopyPixels(&rect, source.RowBytes(), UINT(buffer.size()), buffer.data());
    }
};
}

struct BandCase {
    INT height;
    INT bandRows;
    INT bands;
    INT remainder;
};

void PrintTo(const BandCase& c, std::ostream* out)
{
    *out << c.height << " rows: " << c.bands << " bands of " << c.bandRows << " + " << c.remainder;
}

class HistogramBands : public testing::TestWithParam<BandCase> {};

TEST_P(HistogramBands, CopiesInTheBandsThatThePictureHeightGives)
{
    const BandCase c = GetParam();
    FakeBitmapSource source(1, c.height, GUID_WICPixelFormat32bppPBGRA, 4);
    FillRandom(source, c.height);
    Copy copy(source);
    ASSERT_EQ(S_OK, copy.Run(source));

    std::vector<WICRect> expected;
    for (INT i = 0; i < c.bands; ++i) expected.push_back({0, i * c.bandRows, 1, c.bandRows});
    if (c.remainder) expected.push_back({0, c.bands * c.bandRows, 1, c.remainder});
    ASSERT_EQ(expected.size(), source.copies.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].Y, source.copies[i].Y) << i;
        EXPECT_EQ(expected[i].Height, source.copies[i].Height) << i;
    }
    EXPECT_EQ(source.pixels, copy.buffer);
    EXPECT_THAT(HistogramOf(copy.histogram.Get()), SameHistogram(CountIndependently(source.pixels, 4)));
}

INSTANTIATE_TEST_SUITE_P(Layouts, HistogramBands,
                         testing::Values(BandCase{4000, 512, 7, 416}, BandCase{20000, 1280, 15, 800},
                                         BandCase{100, 128, 0, 100}, BandCase{1024, 512, 2, 0},
                                         BandCase{513, 256, 2, 1}),
                         [](const testing::TestParamInfo<BandCase>& info) {
                             return "Height" + std::to_string(info.param.height);
                         });

TEST(HistogramSource, CountsTheEightBitFormatsOnBothCopyRoads)
{
    struct Format {
        GUID guid;
        UINT bytes;
    };
    for (Format format : {Format{GUID_WICPixelFormat24bppBGR, 3}, Format{GUID_WICPixelFormat32bppPBGRA, 4}}) {
        for (DWORD flags : {0u, 1u}) {
            FakeBitmapSource source(37, 1500, format.guid, format.bytes);
            FillRandom(source, flags + format.bytes);
            Copy copy(source, flags);
            ASSERT_EQ(S_OK, copy.Run(source));
            EXPECT_EQ(source.pixels, copy.buffer);
            EXPECT_EQ(flags ? 4u : 1u, source.copies.size());
            EXPECT_THAT(HistogramOf(copy.histogram.Get()),
                        SameHistogram(CountIndependently(source.pixels, format.bytes)))
                << "bytes " << format.bytes << " flags " << flags;
        }
    }
}

TEST(HistogramSource, FormatsItDoesNotCountLeaveEveryBinAndMaximumZero)
{
    for (const GUID& format : {GUID_WICPixelFormat32bppBGRA, GUID_WICPixelFormat16bppBGR565, GUID_WICPixelFormat16bppBGR555}) {
        const UINT bytes = format == GUID_WICPixelFormat32bppBGRA ? 4 : 2;
        FakeBitmapSource source(16, 700, format, bytes);
        FillRandom(source, 7);
        Copy copy(source);
        ASSERT_EQ(S_OK, copy.Run(source));
        EXPECT_THAT(HistogramOf(copy.histogram.Get()), SameHistogram(HistogramData{}));
    }
}

TEST(HistogramSource, OnlyBlackAndWhitePixelsEndWithEveryBinZero)
{
    FakeBitmapSource source(10, 10, GUID_WICPixelFormat24bppBGR, 3);
    for (size_t i = 0; i < source.pixels.size(); ++i) source.pixels[i] = (i / 3) % 2 ? 0xFF : 0x00;
    Copy copy(source);
    ASSERT_EQ(S_OK, copy.Run(source));
    EXPECT_THAT(HistogramOf(copy.histogram.Get()), SameHistogram(HistogramData{}));
}

TEST(HistogramSource, ACopyOfOnePartialBandAddsToTheCountsAlreadyThere)
{
    FakeBitmapSource source(4, 100, GUID_WICPixelFormat24bppBGR, 3);
    std::fill(source.pixels.begin(), source.pixels.end(), 7);
    Copy copy(source);
    ASSERT_EQ(S_OK, copy.Run(source));
    EXPECT_EQ(400u, HistogramOf(copy.histogram.Get()).red[7]);
    ASSERT_EQ(S_OK, copy.Run(source));
    const HistogramData twice = HistogramOf(copy.histogram.Get());
    EXPECT_EQ(800u, twice.red[7]);
    EXPECT_EQ(800u, twice.blueMax);
}

TEST(HistogramSource, ReportsProgressAtBeginAfterEachBandAndAtTheEnd)
{
    FakeBitmapSource source(2, 4000, GUID_WICPixelFormat32bppPBGRA, 4);
    Copy copy(source);
    std::vector<double> progress;
    const DWORD everything = DWORD(WICProgressNotificationAll) | DWORD(WICProgressOperationCopyPixels);
    ASSERT_EQ(S_OK, copy.histogram->RegisterProgressNotification(RecordProgress, &progress, everything));
    ASSERT_EQ(S_OK, copy.Run(source));
    std::vector<double> expected = {0.0};
    for (int band = 1; band <= 7; ++band) expected.push_back(band * 512 * 100.0 / 4000);
    expected.push_back(100.0);
    EXPECT_EQ(expected, progress);
}

TEST(HistogramSource, AnAbortStopsTheCopyWhereTheCallbackAskedForIt)
{
    FakeBitmapSource source(3, 2000, GUID_WICPixelFormat32bppPBGRA, 4);
    FillRandom(source, 3);
    {
        Copy copy(source);
        int callsBeforeAbort = 1;  // begin passes, the first band's report aborts
        ASSERT_EQ(S_OK, copy.histogram->RegisterProgressNotification(AbortAtCall, &callsBeforeAbort, 0xFFFF0001));
        EXPECT_EQ(E_ABORT, copy.Run(source));
        ASSERT_EQ(1u, source.copies.size());
        const size_t bandBytes = size_t(source.copies[0].Height) * source.RowBytes();
        EXPECT_TRUE(std::equal(copy.buffer.begin(), copy.buffer.begin() + bandBytes, source.pixels.begin()));
        EXPECT_TRUE(std::all_of(copy.buffer.begin() + bandBytes, copy.buffer.end(), [](uint8_t b) { return b == 0xCD; }));
    }
    source.copies.clear();
    {
        Copy copy(source);
        int callsBeforeAbort = 0;
        ASSERT_EQ(S_OK, copy.histogram->RegisterProgressNotification(AbortAtCall, &callsBeforeAbort, 0xFFFF0001));
        EXPECT_EQ(E_ABORT, copy.Run(source));
        EXPECT_TRUE(source.copies.empty());
    }
}

TEST(HistogramSource, AFailingInnerCopyEndsTheCopyWithItsResult)
{
    FakeBitmapSource source(3, 2000, GUID_WICPixelFormat32bppPBGRA, 4);
    source.failAtCopy = 1;
    Copy copy(source);
    EXPECT_EQ(E_FAIL, copy.Run(source));
    EXPECT_EQ(2u, source.copies.size());
}

TEST(HistogramSource, RefusesABufferShorterThanTheRectangle)
{
    FakeBitmapSource source(3, 300, GUID_WICPixelFormat32bppPBGRA, 4);
    Copy copy(source);
    const WICRect rect = {0, 0, 3, 300};
    EXPECT_EQ(E_INVALIDARG, copy.asSource->CopyPixels(&rect, source.RowBytes(), UINT(copy.buffer.size() - 1), copy.buffer.data()));
    EXPECT_TRUE(source.copies.empty());
}

TEST(HistogramSource, ANullRectangleCopiesTheWholePicture)
{
    FakeBitmapSource source(5, 9, GUID_WICPixelFormat24bppBGR, 3);
    FillRandom(source, 9);
    Copy copy(source);
    ASSERT_EQ(S_OK, copy.asSource->CopyPixels(nullptr, source.RowBytes(), UINT(copy.buffer.size()), copy.buffer.data()));
    EXPECT_EQ(source.pixels, copy.buffer);
}

TEST(HistogramSource, InterfaceContract)
{
    ComPtr<IHistogramSource> histogram = CHistogramSource::Create();
    ComPtr<IWICBitmapSource> asSource;
    ASSERT_EQ(S_OK, histogram.As(asSource));
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, histogram.As(unknown));
    EXPECT_EQ(static_cast<IUnknown*>(asSource.Get()), unknown.Get());
    ComPtr<IWICBitmapFrameDecode> frame;
    EXPECT_EQ(E_NOINTERFACE, histogram.As(frame));

    UINT w, h;
    WICPixelFormatGUID format;
    EXPECT_EQ(E_UNEXPECTED, asSource->GetSize(&w, &h));
    EXPECT_EQ(E_UNEXPECTED, asSource->GetPixelFormat(&format));
    EXPECT_EQ(E_UNEXPECTED, asSource->CopyPixels(nullptr, 4, 4, reinterpret_cast<BYTE*>(&w)));
    EXPECT_EQ(E_UNEXPECTED, histogram->Initialize(nullptr, 1));

    EXPECT_EQ(E_INVALIDARG, histogram->RegisterProgressNotification(AbortAtCall, nullptr, WICProgressNotificationBegin));
    EXPECT_EQ(E_INVALIDARG, histogram->RegisterProgressNotification(nullptr, nullptr, 0xFFFF0001));
    EXPECT_EQ(E_INVALIDARG, histogram->GetHistogram(nullptr, 3084));

    FakeBitmapSource source(2, 2, GUID_WICPixelFormat24bppBGR, 3);
    ASSERT_EQ(S_OK, histogram->Initialize(&source, 1));
    EXPECT_EQ(2u, source.refs);
    EXPECT_EQ(E_INVALIDARG, asSource->GetPixelFormat(nullptr));
    EXPECT_EQ(S_OK, asSource->GetPixelFormat(&format));
    EXPECT_EQ(GUID_WICPixelFormat24bppBGR, format);
    histogram = nullptr;
    asSource = nullptr;
    unknown = nullptr;
    EXPECT_EQ(1u, source.refs);
}

TEST(HistogramSource, GetHistogramCopiesNoMoreThanItIsAskedFor)
{
    FakeBitmapSource source(16, 16, GUID_WICPixelFormat24bppBGR, 3);
    FillRandom(source, 16);
    Copy copy(source);
    ASSERT_EQ(S_OK, copy.Run(source));
    const HistogramData full = HistogramOf(copy.histogram.Get());
    std::vector<uint8_t> part(200, 0xEE);
    ASSERT_EQ(S_OK, copy.histogram->GetHistogram(part.data(), 100));
    EXPECT_EQ(0, std::memcmp(part.data(), full.red, 100));
    EXPECT_TRUE(std::all_of(part.begin() + 100, part.end(), [](uint8_t b) { return b == 0xEE; }));
}
