#include "tests/imaging/DecodeFixture.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/imaging/WicFactory.h"
#include <gmock/gmock.h>
#include <atomic>
#include <cstring>
#include <optional>
#include <thread>

namespace {
constexpr UINT PictureWidth = 7;
constexpr UINT PictureHeight = 5;

std::vector<Rgba> ExpectedPixels(UINT width, UINT height, std::optional<Rgba> transparentCornerShows = {})
{
    std::vector<Rgba> pixels;
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) pixels.push_back(AsymmetricPixel(x, y));
    if (transparentCornerShows) pixels[0] = *transparentCornerShows;
    return pixels;
}

bool Near(const std::vector<Rgba>& actual, const std::vector<Rgba>& expected, int tolerance)
{
    if (actual.size() != expected.size()) return false;
    for (size_t i = 0; i < actual.size(); ++i)
        if (std::abs(actual[i].r - expected[i].r) > tolerance || std::abs(actual[i].g - expected[i].g) > tolerance ||
            std::abs(actual[i].b - expected[i].b) > tolerance)
            return false;
    return true;
}

struct FormatCase {
    const char* name;
    GUID container;
    const wchar_t* extension;
    GUID pixelFormat;
    int frames;
    int tolerance;  // lossy formats only come close
    bool alpha;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c)
{
    return out << c.name;
}
}

class DecodeFormats : public DecodeFixture, public testing::WithParamInterface<FormatCase> {
protected:
    std::wstring Write()
    {
        const FormatCase& c = GetParam();
        const std::wstring path = folder.File(std::wstring(L"picture") + c.extension);
        std::vector<TestFrame> frames(size_t(c.frames), AsymmetricFrame(PictureWidth, PictureHeight, c.pixelFormat, c.alpha));
        WriteTestPicture(path, c.container, frames);
        return path;
    }
};

TEST_P(DecodeFormats, BothRoadsGiveThePicturesPixels)
{
    const FormatCase& c = GetParam();
    device->Display().background[0] = 10, device->Display().background[1] = 20, device->Display().background[2] = 30;
    const std::wstring path = Write();
    ASSERT_FALSE(HasFatalFailure());

    for (int frame = 0; frame < c.frames; ++frame) {
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        ImageInfo info;
        ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info, uint16_t(frame))) << frame;
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(PictureWidth, width);
        EXPECT_EQ(PictureHeight, height);
        EXPECT_EQ(PictureWidth, info.width);
        EXPECT_NE(0u, info.flags & ImageInfoHistogram);
        const std::optional<Rgba> corner = c.alpha ? std::optional<Rgba>(Rgba{10, 20, 30, 255}) : std::nullopt;
        EXPECT_TRUE(Near(PixelsOf(bitmap.get()), ExpectedPixels(PictureWidth, PictureHeight, corner), c.tolerance));

        ComPtr<IDirect3DSurface9> surface;
        ASSERT_EQ(S_OK, ToSurface(path, surface, &info, uint16_t(frame))) << frame;
        ASSERT_TRUE(surface);
        D3DSURFACE_DESC description = {};
        surface->GetDesc(&description);
        EXPECT_EQ(device->Display().surfaceFormat, description.Format);
        EXPECT_EQ(D3DPOOL_DEFAULT, description.Pool);
        // On the surface the alpha is kept: a transparent pixel is premultiplied to nothing.
        const std::optional<Rgba> dark = c.alpha ? std::optional<Rgba>(Rgba{0, 0, 0, 255}) : std::nullopt;
        EXPECT_TRUE(Near(PixelsOf(surface.Get(), width, height), ExpectedPixels(PictureWidth, PictureHeight, dark),
                         c.tolerance));
    }

    // One past the last frame: nothing is stored and the sizes stay 0.
    std::unique_ptr<Gdiplus::Bitmap> none;
    EXPECT_EQ(S_FALSE, ToBitmap(path, none, nullptr, uint16_t(c.frames)));
    EXPECT_FALSE(none);
    EXPECT_EQ(0u, width);
    EXPECT_EQ(0u, height);
}

INSTANTIATE_TEST_SUITE_P(
    Platform, DecodeFormats,
    testing::Values(FormatCase{"Jpeg", GUID_ContainerFormatJpeg, L".jpg", GUID_WICPixelFormat24bppBGR, 1, 24, false},
                    FormatCase{"PngWithAlpha", GUID_ContainerFormatPng, L".png", GUID_WICPixelFormat32bppBGRA, 1, 0, true},
                    FormatCase{"TiffTwoPages", GUID_ContainerFormatTiff, L".tif", GUID_WICPixelFormat24bppBGR, 2, 0, false},
                    FormatCase{"Bmp", GUID_ContainerFormatBmp, L".bmp", GUID_WICPixelFormat24bppBGR, 1, 0, false},
                    FormatCase{"Gif", GUID_ContainerFormatGif, L".gif", GUID_WICPixelFormat8bppIndexed, 1, 0, false},
                    FormatCase{"Png16", GUID_ContainerFormatPng, L".png", GUID_WICPixelFormat48bppRGB, 1, 0, false},
                    FormatCase{"Tiff16", GUID_ContainerFormatTiff, L".tif", GUID_WICPixelFormat48bppRGB, 1, 0, false}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST_F(DecodeFixture, HistogramMatchesTheDecodedPixelsOfAPictureTallerThanOneBand)
{
    const std::wstring path = folder.File(L"tall.png");
    WriteTestPicture(path, GUID_ContainerFormatPng, {AsymmetricFrame(3, 1300, GUID_WICPixelFormat24bppBGR)});
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info));
    EXPECT_NE(0u, info.flags & ImageInfoHistogram);
    const HistogramData expected = ShownHistogram(PixelsOf(bitmap.get()));
    EXPECT_EQ(0, std::memcmp(&expected, &info.histogram, sizeof(expected)));
    EXPECT_EQ(1300u, info.height);
}

TEST_F(DecodeFixture, ALargePictureIsScaledDownToTheLimitKeepingItsLayout)
{
    // Four quarters of four colours, 2.4 MB at 32 bits per pixel, against a limit of 1 MB.
    const Rgba quarters[2][2] = {{{200, 40, 40, 255}, {40, 200, 40, 255}}, {{40, 40, 200, 255}, {230, 230, 230, 255}}};
    const UINT w = 1024, h = 600;
    TestFrame frame = PlainFrame(w, h, {});
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x) {
            const Rgba c = quarters[y * 2 / h][x * 2 / w];
            BYTE* p = frame.pixels.data() + size_t(y) * frame.stride + 3 * x;
            p[0] = c.b, p[1] = c.g, p[2] = c.r;
        }
    const std::wstring path = folder.File(L"large.bmp");
    WriteTestPicture(path, GUID_ContainerFormatBmp, {frame});
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info, 0, 1));
    EXPECT_EQ(1, info.downscaled);
    EXPECT_LT(width, w);
    EXPECT_LE(uint64_t(width) * height * 4, uint64_t(1) << 20);
    EXPECT_NEAR(double(width) / height, double(w) / h, 0.01);
    const std::vector<Rgba> pixels = PixelsOf(bitmap.get());
    for (UINT qy = 0; qy < 2; ++qy)
        for (UINT qx = 0; qx < 2; ++qx) {
            const size_t at = size_t(height / 4 + qy * height / 2) * width + width / 4 + qx * width / 2;
            EXPECT_TRUE(Near({pixels[at]}, {quarters[qy][qx]}, 1)) << qx << "," << qy;
        }
    const HistogramData counted = ShownHistogram(pixels);
    EXPECT_EQ(0, std::memcmp(&counted, &info.histogram, sizeof(counted)));
}

TEST_F(DecodeFixture, BothRoadsNeedAContextADeviceAndAResultPlace)
{
    const std::wstring path = folder.File(L"p.bmp");
    WriteTestPicture(path, GUID_ContainerFormatBmp, {PlainFrame(4, 4, {1, 2, 3, 255})});
    EXPECT_EQ(E_INVALIDARG, LoadToSurface(context.get(), path.c_str(), 0, nullptr, nullptr, nullptr, false, false,
                                          true, nullptr, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, LoadToBitmap(context.get(), path.c_str(), 0, nullptr, nullptr, nullptr, false, false,
                                         true, nullptr, nullptr, 0));

    IDirect3DSurface9* surfaceOut = nullptr;
    Gdiplus::Bitmap* bitmapOut = nullptr;
    width = height = 7;
    EXPECT_EQ(E_INVALIDARG, LoadToSurface(nullptr, path.c_str(), 0, &surfaceOut, &width, &height, false, false, true,
                                          nullptr, nullptr, 0));
    EXPECT_EQ(0u, width + height) << "the sizes are cleared on every failure";
    width = height = 7;
    EXPECT_EQ(E_INVALIDARG, LoadToBitmap(nullptr, path.c_str(), 0, &bitmapOut, &width, &height, false, false, true,
                                         nullptr, nullptr, 0));
    EXPECT_EQ(0u, width + height);
    EXPECT_EQ(nullptr, surfaceOut);
    EXPECT_EQ(nullptr, bitmapOut);

    device->Display().device = nullptr;
    ComPtr<IDirect3DSurface9> surface;
    EXPECT_EQ(E_UNEXPECTED, ToSurface(path, surface));
    EXPECT_FALSE(surface);
}

TEST_F(DecodeFixture, ACancelledLoadStopsBeforeOpeningTheFile)
{
    const volatile ULONG cancel = 1;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(E_ABORT, ToBitmap(folder.File(L"missing.jpg"), bitmap, nullptr, 0, 0, &cancel));
}

TEST_F(DecodeFixture, BadFilesFailWithoutCrashingOrStoringAnything)
{
    const std::wstring jpeg = folder.File(L"good.jpg");
    WriteTestPicture(jpeg, GUID_ContainerFormatJpeg, {AsymmetricFrame(64, 48, GUID_WICPixelFormat24bppBGR)});
    const std::wstring png = folder.File(L"good.png");
    WriteTestPicture(png, GUID_ContainerFormatPng, {AsymmetricFrame(64, 48, GUID_WICPixelFormat24bppBGR)});
    std::vector<uint8_t> jpegBytes = ReadBytes(jpeg), pngBytes = ReadBytes(png);

    const std::string text = "This is not a picture, only a few words of text in a file with a picture's name.";
    std::vector<uint8_t> brokenTiff = {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x7F};
    brokenTiff.resize(64, 0xAB);
    const std::vector<std::pair<std::wstring, std::vector<uint8_t>>> files = {
        {L"empty.jpg", {}},
        {L"text.jpg", std::vector<uint8_t>(text.begin(), text.end())},
        {L"truncated.jpg", std::vector<uint8_t>(jpegBytes.begin(), jpegBytes.begin() + jpegBytes.size() / 2)},
        {L"truncated.png", std::vector<uint8_t>(pngBytes.begin(), pngBytes.begin() + pngBytes.size() / 2)},
        {L"broken.tif", brokenTiff},
        {L"tiny.png", std::vector<uint8_t>(pngBytes.begin(), pngBytes.begin() + 16)},
    };
    for (const auto& [name, bytes] : files) {
        const std::wstring path = folder.File(name);
        WriteBytes(path, bytes);
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        const HRESULT toBitmap = ToBitmap(path, bitmap);
        EXPECT_TRUE(FAILED(toBitmap)) << std::string(name.begin(), name.end());
        EXPECT_FALSE(bitmap);
        ComPtr<IDirect3DSurface9> surface;
        const HRESULT toSurface = ToSurface(path, surface);
        EXPECT_TRUE(FAILED(toSurface)) << std::string(name.begin(), name.end());
        EXPECT_FALSE(surface);
        // A recognised container too short for any picture reads as a decoder never initialised,
        // not as a file without the page asked for.
        if (name == L"tiny.png") {
            EXPECT_EQ(WINCODEC_ERR_NOTINITIALIZED, toBitmap);
            EXPECT_EQ(WINCODEC_ERR_NOTINITIALIZED, toSurface);
        }
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), ToBitmap(folder.File(L"missing.jpg"), bitmap));
}

namespace {
// A picture that another program holds open for writing (sharing at most deletion), decoded through
// the recording factory: each decode attempt asks it for a decoder once before it opens the file, so
// a test frees, deletes or cancels at a chosen attempt rather than after a chosen time.
class BusyFile : public DecodeFixture {
protected:
    void SetUp() override
    {
        DecodeFixture::SetUp();
        path = folder.File(L"busy.png");
        WriteTestPicture(path, GUID_ContainerFormatPng, {AsymmetricFrame(8, 8, GUID_WICPixelFormat24bppBGR)});
        holder = UniqueHandle(
            CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        factory = RecordingWicFactory::InstallAroundProcessFactory();
    }
    void TearDown() override
    {
        holder.Close();
        factory = nullptr;
        DecodeFixture::TearDown();
    }

    std::wstring path;
    UniqueHandle holder;
    ComPtr<RecordingWicFactory> factory;
};
}

TEST_F(BusyFile, IsTriedAgainUntilItIsFree)
{
    factory->onDecoderRequest = [this](int request) {
        if (request == 3) holder.Close();
    };
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(S_OK, ToBitmap(path, bitmap));
    EXPECT_EQ(3, factory->decoderRequests);
}

TEST_F(BusyFile, ThatStaysBusyFailsWithTheSharingViolation)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION), ToBitmap(path, bitmap));
    EXPECT_EQ(200, factory->decoderRequests) << "one attempt and 199 more";
}

TEST_F(BusyFile, DeletedDuringTheRetriesFailsAsMissing)
{
    factory->onDecoderRequest = [this](int request) {
        if (request != 3) return;
        DeleteFileW(path.c_str());
        holder.Close();
    };
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), ToBitmap(path, bitmap));
    EXPECT_EQ(4, factory->decoderRequests) << "two busy attempts, then two on the missing file";
}

TEST_F(BusyFile, ACancelStopsTheWaitForIt)
{
    volatile ULONG cancel = 0;
    factory->onDecoderRequest = [&cancel](int request) {
        if (request == 2) cancel = 1;
    };
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(E_ABORT, ToBitmap(path, bitmap, nullptr, 0, 0, &cancel));
    EXPECT_EQ(2, factory->decoderRequests);
}

TEST_F(DecodeFixture, AMissingFileIsTriedTwice)
{
    auto factory = RecordingWicFactory::InstallAroundProcessFactory();
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), ToBitmap(folder.File(L"gone.jpg"), bitmap));
    EXPECT_EQ(2, factory->decoderRequests);
}

TEST_F(DecodeFixture, WorkersThatFindNoFactoryShareTheOneTheyMake)
{
    const std::wstring path = folder.File(L"shared.png");
    WriteTestPicture(path, GUID_ContainerFormatPng, {AsymmetricFrame(16, 16, GUID_WICPixelFormat24bppBGR)});
    ReleaseWicFactory();
    std::atomic<int> ready{0}, succeeded{0};
    std::vector<IWICImagingFactory*> seen(8);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < seen.size(); ++i)
        workers.emplace_back([&, i] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                DecodeThreadContext workerContext(nullptr);
                ++ready;
                while (ready < int(seen.size())) Sleep(0);
                Gdiplus::Bitmap* result = nullptr;
                if (LoadToBitmap(&workerContext, path.c_str(), 0, &result, nullptr, nullptr, false, false, true,
                                 nullptr, nullptr, 0) == S_OK)
                    ++succeeded;
                const std::unique_ptr<Gdiplus::Bitmap> owned(result);
                seen[i] = g_WicFactory.Get();
            }
            CoUninitialize();
        });
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(int(seen.size()), succeeded.load());
    ASSERT_TRUE(g_WicFactory);
    EXPECT_THAT(seen, testing::Each(g_WicFactory.Get()));
}
