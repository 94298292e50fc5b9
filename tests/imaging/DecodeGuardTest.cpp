// Hostile pictures through the whole pipeline as the viewer calls it: a codec or metadata handler
// that faults anywhere on the road ends as a fault in the pixel copy ends (the message naming the
// file, through the seam), and a file whose claimed sizes overflow is refused before anything is
// decoded.
#include "tests/imaging/DecodeFixture.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "Framework/ModalSeam.h"
#include "Viewer/imaging/GuardedCopyPixels.h"
#include <gmock/gmock.h>
#include <cstring>

namespace {
// A handler's own code reading through a wild pointer, as a damaged file makes it do.
[[noreturn]] __attribute__((noinline)) void Fault()
{
    volatile uintptr_t wild = 0x10;
    *reinterpret_cast<volatile int*>(wild) = 1;
    __builtin_unreachable();
}

enum class FaultSite { MetadataQuery, QueryReader, ColourContexts, FrameSize, PixelFormat, Pixels };

struct FaultCase {
    const char* name;
    FaultSite site;
};

std::ostream& operator<<(std::ostream& out, const FaultCase& c)
{
    return out << c.name;
}

class FaultingQueryReader : public FakeQueryReader {
public:
    HRESULT STDMETHODCALLTYPE GetMetadataByName(LPCWSTR, PROPVARIANT*) override { Fault(); }
};

// A frame whose chosen method faults; the others answer from the real bitmap.
class FaultingFrame : public FakeFrame {
public:
    FaultingFrame(IWICBitmapSource* pixels, IWICMetadataQueryReader* reader, FaultSite site)
        : FakeFrame(pixels, reader), m_site(site)
    {
    }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader** reader) override
    {
        if (m_site == FaultSite::QueryReader) Fault();
        return FakeFrame::GetMetadataQueryReader(reader);
    }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT count, IWICColorContext** contexts, UINT* actual) override
    {
        if (m_site == FaultSite::ColourContexts) Fault();
        return FakeFrame::GetColorContexts(count, contexts, actual);
    }
    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override
    {
        if (m_site == FaultSite::FrameSize) Fault();
        return FakeFrame::GetSize(w, h);
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override
    {
        if (m_site == FaultSite::PixelFormat) Fault();
        return FakeFrame::GetPixelFormat(format);
    }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        if (m_site == FaultSite::Pixels) Fault();
        return FakeFrame::CopyPixels(rect, stride, size, buffer);
    }

private:
    FaultSite m_site;
};

struct GuardedEnding {
    std::vector<std::wstring> messages;
    std::vector<UINT> processEnds;
    std::vector<DWORD> threadEnds;
};

// Records the guard's endings instead of letting them end the test program.
class RecordedEndings {
public:
    RecordedEndings() { CodecCrashCount = 0; }
    ~RecordedEndings() { CodecCrashCount = 0; }
    GuardedEnding seen;

private:
    ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            seen.messages.push_back(text);
            return IDOK;
        },
        .endProcess = [this](UINT code) { seen.processEnds.push_back(code); },
        .endCurrentThread = [this](DWORD code) { seen.threadEnds.push_back(code); },
    }};
};
}

class FaultingHandler : public DecodeFixture, public testing::WithParamInterface<FaultCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.Loaded());
        DecodeFixture::SetUp();
        factory = RecordingWicFactory::InstallAroundProcessFactory();
        const TestFrame frame = AsymmetricFrame(7, 5, GUID_WICPixelFormat24bppBGR);
        ASSERT_EQ(S_OK, factory->CreateBitmapFromMemory(frame.width, frame.height, frame.format, frame.stride,
                                                        UINT(frame.pixels.size()),
                                                        const_cast<BYTE*>(frame.pixels.data()), &pixels));
        path = folder.File(L"damaged.tif");
        WriteBytes(path, std::vector<uint8_t>(64, 0x49));
        // Only the faulting method faults: a reader that answers keeps the other sites reachable.
        auto reader = GetParam().site == FaultSite::MetadataQuery
                          ? ComPtr<FakeQueryReader>::Attach(new FaultingQueryReader)
                          : ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
        auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(GUID_ContainerFormatTiff));
        decoder->AddFrame(ComPtr<FakeFrame>::Attach(new FaultingFrame(pixels.Get(), reader.Get(), GetParam().site)).Get());
        factory->decoder = ComPtr<IWICBitmapDecoder>(decoder.Get());
    }

    void ExpectGuardedEnding(HRESULT hr, const GuardedEnding& seen)
    {
        EXPECT_EQ(CodecFaultResult, hr);
        ASSERT_EQ(1u, seen.messages.size());
        EXPECT_THAT(seen.messages[0], testing::HasSubstr(path));
        EXPECT_THAT(seen.processEnds, testing::ElementsAre(0xFFFFFFFFu));
        EXPECT_EQ(0u, width);
        EXPECT_EQ(0u, height);
    }

    ComPtr<RecordingWicFactory> factory;
    ComPtr<IWICBitmap> pixels;
    std::wstring path;
};

TEST_P(FaultingHandler, EndsTheLoadThroughTheGuardOnBothRoads)
{
    {
        RecordedEndings endings;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        ImageInfo info;
        const HRESULT hr = ToBitmap(path, bitmap, &info);
        EXPECT_FALSE(bitmap);
        ExpectGuardedEnding(hr, endings.seen);
    }
    {
        RecordedEndings endings;
        ComPtr<IDirect3DSurface9> surface;
        ImageInfo info;
        const HRESULT hr = ToSurface(path, surface, &info);
        EXPECT_FALSE(surface);
        ExpectGuardedEnding(hr, endings.seen);
    }
}

INSTANTIATE_TEST_SUITE_P(Sites, FaultingHandler,
                         testing::Values(FaultCase{"MetadataQuery", FaultSite::MetadataQuery},
                                         FaultCase{"QueryReader", FaultSite::QueryReader},
                                         FaultCase{"ColourContexts", FaultSite::ColourContexts},
                                         FaultCase{"FrameSize", FaultSite::FrameSize},
                                         FaultCase{"PixelFormat", FaultSite::PixelFormat},
                                         FaultCase{"Pixels", FaultSite::Pixels}),
                         [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

namespace {
// A BMP of the given header sizes and a few bytes of pixels, as a damaged or hostile file claims.
std::vector<uint8_t> BmpClaiming(int32_t width, int32_t height, uint16_t bitsPerPixel)
{
    std::vector<uint8_t> bytes(54 + 64, 0x7F);
    auto put16 = [&bytes](size_t at, uint16_t v) { std::memcpy(&bytes[at], &v, 2); };
    auto put32 = [&bytes](size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
    bytes[0] = 'B', bytes[1] = 'M';
    put32(2, uint32_t(bytes.size()));
    put32(6, 0);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    put16(26, 1);
    put16(28, bitsPerPixel);
    put32(30, 0);  // BI_RGB
    put32(34, 0);
    put32(38, 2835), put32(42, 2835), put32(46, 0), put32(50, 0);
    return bytes;
}

struct ClaimedSize {
    const char* name;
    int32_t width;
    int32_t height;
    uint16_t bitsPerPixel;
};

std::ostream& operator<<(std::ostream& out, const ClaimedSize& c)
{
    return out << c.name;
}
}

class HostileBmp : public DecodeFixture, public testing::WithParamInterface<ClaimedSize> {};

TEST_P(HostileBmp, IsRefusedWithAFailureAndNoFault)
{
    const ClaimedSize& claim = GetParam();
    const std::wstring path = folder.File(L"hostile.bmp");
    WriteBytes(path, BmpClaiming(claim.width, claim.height, claim.bitsPerPixel));
    RecordedEndings endings;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    HRESULT hr = ToBitmap(path, bitmap, &info);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(0u, width);
    EXPECT_EQ(0u, height);
    ComPtr<IDirect3DSurface9> surface;
    hr = ToSurface(path, surface, &info);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_FALSE(surface);
    EXPECT_EQ(0u, width);
    EXPECT_EQ(0u, height);
    EXPECT_EQ(0, CodecCrashCount) << "a codec faulted";
    EXPECT_TRUE(endings.seen.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Claims, HostileBmp,
    testing::Values(
        // width x 4 bytes wraps around 32 bits: the row the codec computes is a few bytes long.
        ClaimedSize{"StrideOverflows", 0x40000001, 2, 32},
        ClaimedSize{"StrideOverflows24", 0x55555556, 2, 24},
        // Each row fits, the picture does not: stride x height is beyond any 32-bit buffer.
        ClaimedSize{"SizeBeyondTheBuffer", 70000, 70000, 24},
        ClaimedSize{"TopDownSizeBeyondTheBuffer", 70000, -70000, 32},
        ClaimedSize{"HeightAtTheLimit", 16, INT32_MIN, 24}),
    [](const testing::TestParamInfo<ClaimedSize>& info) { return std::string(info.param.name); });

TEST_F(DecodeFixture, AnIconWhoseImageClaimsAWrappingSizeIsRefusedBeforeItsFrameIsOpened)
{
    // The icon's codec sizes its buffers from the image's header while it opens the frame; a height of
    // -2^31 has no absolute value in 32 bits.
    std::vector<uint8_t> icon = BmpClaiming(16, INT32_MIN, 32);
    icon.erase(icon.begin(), icon.begin() + 14);  // an icon's image has no file header
    const uint8_t directory[22] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 22, 0, 0, 0};
    icon.insert(icon.begin(), std::begin(directory), std::end(directory));
    const uint32_t imageBytes = uint32_t(icon.size() - 22);
    std::memcpy(&icon[14], &imageBytes, 4);
    const std::wstring path = folder.File(L"hostile.ico");
    WriteBytes(path, icon);
    RecordedEndings endings;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    EXPECT_EQ(WicValueOverflow, ToBitmap(path, bitmap, &info));
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(0, CodecCrashCount);
}
