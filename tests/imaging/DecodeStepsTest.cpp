// The pipeline's steps seen through a recording factory and fake frames, for what the platform here
// cannot show on real files: EXIF orientation (its metadata reader finds no EXIF in a JPEG) and the
// colour transform (its transformer leaves the pixels as they were).
#include "tests/imaging/DecodeFixture.h"
#include "tests/imaging/FakeBitmapSource.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "tests/imaging/TestProfiles.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/ColourManagement.h"
#include "Viewer/imaging/WicFactory.h"
#include <gmock/gmock.h>
#include <cstring>
#include <tuple>

namespace {
constexpr UINT StoredWidth = 7;
constexpr UINT StoredHeight = 5;

// The asymmetric picture's stored pixel that shows at (x, y) of the upright picture.
Rgba StoredPixelShownAt(int orientation, UINT x, UINT y)
{
    const POINT stored = StoredPositionShownAt(orientation, x, y, StoredWidth, StoredHeight);
    return AsymmetricPixel(UINT(stored.x), UINT(stored.y));
}
}

class DecodeSteps : public DecodeFixture {
protected:
    void SetUp() override
    {
        DecodeFixture::SetUp();
        factory = RecordingWicFactory::InstallAroundProcessFactory();
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
        const HistogramData counted = ShownHistogram(shown);
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
    // The record of an earlier decode that was turned and scaled.
    info.rotated = 1;
    info.downscaled = 1;
    ASSERT_EQ(S_OK, LoadToBitmap(context.get(), path.c_str(), 0, &result, &width, &height, false, false, false, &info,
                                 nullptr, 0));
    const std::unique_ptr<Gdiplus::Bitmap> bitmap(result);
    EXPECT_EQ(StoredWidth, width);
    EXPECT_EQ(0, info.rotated);
    EXPECT_EQ(0, info.downscaled);
}

TEST_F(DecodeSteps, TheFormatConverterTakesTheSourceAndMakesTheTarget)
{
    // A format that the histogram copy does not widen by itself.
    pixels = MakeNumberedBitmap(StoredWidth, StoredHeight);
    FakeFrame* fake = UseFrame(nullptr);
    ComPtr<IDirect3DSurface9> surface;
    ASSERT_EQ(S_OK, ToSurface(path, surface));
    ASSERT_EQ(1u, factory->converterInits.size());
    EXPECT_EQ(static_cast<IWICBitmapSource*>(fake), factory->converterInits[0].source)
        << "the frame itself, no transform asked for";
    EXPECT_EQ(GUID_WICPixelFormat32bppPBGRA, factory->converterInits[0].format) << "the X8R8G8B8 display's target";
    EXPECT_TRUE(factory->transforms.empty());
}

TEST_F(DecodeSteps, TwentyFourBitColourIsWidenedByTheHistogramCopyOnBothRoads)
{
    UseFrame(nullptr);
    std::vector<Rgba> expected;
    for (UINT y = 0; y < StoredHeight; ++y)
        for (UINT x = 0; x < StoredWidth; ++x) expected.push_back(AsymmetricPixel(x, y));
    ComPtr<IDirect3DSurface9> surface;
    ImageInfo info;
    ASSERT_EQ(S_OK, ToSurface(path, surface, &info));
    EXPECT_EQ(expected, PixelsOf(surface.Get(), width, height));
    const HistogramData counted = ShownHistogram(expected);
    EXPECT_EQ(0, std::memcmp(&counted, &info.histogram, sizeof(counted)));
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ASSERT_EQ(S_OK, ToBitmap(path, bitmap));
    EXPECT_EQ(expected, PixelsOf(bitmap.get()));
    EXPECT_TRUE(factory->converterInits.empty());
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

namespace {
// A camera file's decoder whose container also carries a preview picture of one colour.
class DecoderWithPreview : public FakeDecoder {
public:
    DecoderWithPreview(IWICBitmapSource* preview) : FakeDecoder(GUID_ContainerFormatJpeg), m_preview(preview) {}
    HRESULT STDMETHODCALLTYPE GetPreview(IWICBitmapSource** preview) override
    {
        *preview = ComPtr<IWICBitmapSource>(m_preview.Get()).Detach();
        return S_OK;
    }

private:
    ComPtr<IWICBitmapSource> m_preview;
};
}

class PreviewRoad : public DecodeSteps {
protected:
    // Decodes with a preview of that size preferred; the frame is the small asymmetric picture,
    // stored with orientation 6 (to be turned a quarter).
    HRESULT Decode(UINT previewWidth, UINT previewHeight, std::unique_ptr<Gdiplus::Bitmap>& bitmap, ImageInfo& info,
                   bool preferPreview = true)
    {
        previewFrame = PlainFrame(previewWidth, previewHeight, previewColour);
        ComPtr<IWICBitmap> preview;
        EXPECT_EQ(S_OK, factory->CreateBitmapFromMemory(previewWidth, previewHeight, previewFrame.format,
                                                        previewFrame.stride, UINT(previewFrame.pixels.size()),
                                                        previewFrame.pixels.data(), &preview));
        auto reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
        reader->SetUInt16(L"System.Photo.Orientation", 6);
        auto decoder = ComPtr<DecoderWithPreview>::Attach(new DecoderWithPreview(preview.Get()));
        decoder->AddFrame(ComPtr<FakeFrame>::Attach(new FakeFrame(pixels.Get(), reader.Get())).Get());
        factory->decoder = ComPtr<IWICBitmapDecoder>(decoder.Get());
        Gdiplus::Bitmap* result = nullptr;
        const HRESULT hr = LoadToBitmap(context.get(), path.c_str(), 0, &result, &width, &height, false,
                                        preferPreview, true, &info, nullptr, 0);
        bitmap.reset(result);
        return hr;
    }

    const Rgba previewColour = {90, 160, 220, 255};
    TestFrame previewFrame;
};

TEST_F(PreviewRoad, ALargeEnoughPreviewReplacesTheFrame)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, Decode(1024, 768, bitmap, info));
    // A landscape preview of a landscape frame is turned like the frame.
    EXPECT_EQ(768u, width);
    EXPECT_EQ(1024u, height);
    EXPECT_EQ(1, info.rotated);
    Gdiplus::Color c;
    bitmap->GetPixel(100, 100, &c);
    EXPECT_EQ((Rgba{previewColour}), (Rgba{c.GetR(), c.GetG(), c.GetB(), 255}));
}

TEST_F(PreviewRoad, APortraitPreviewIsAlreadyUpright)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, Decode(768, 1024, bitmap, info));
    EXPECT_EQ(768u, width);
    EXPECT_EQ(1024u, height);
    EXPECT_EQ(0, info.rotated);
}

TEST_F(PreviewRoad, APreviewBelow768PixelsEitherWayOrNotAskedForLeavesTheFrame)
{
    for (auto [w, h, prefer] : {std::tuple{767u, 1000u, true}, std::tuple{1000u, 767u, true}, std::tuple{1024u, 768u, false}}) {
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        ImageInfo info;
        ASSERT_EQ(S_OK, Decode(w, h, bitmap, info, prefer));
        EXPECT_EQ(StoredHeight, width) << w << "x" << h;
        EXPECT_EQ(StoredWidth, height);
        EXPECT_EQ(1, info.rotated);
    }
}

namespace {
// Pixels whose first copy is where the user gives up waiting.
class CancellingSource : public FakeBitmapSource {
public:
    CancellingSource(volatile ULONG& cancel) : FakeBitmapSource(8, 2000, GUID_WICPixelFormat32bppPBGRA, 4), m_cancel(cancel) {}
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        m_cancel = 1;
        return FakeBitmapSource::CopyPixels(rect, stride, size, buffer);
    }

private:
    volatile ULONG& m_cancel;
};
}

TEST_F(DecodeSteps, ACancelDuringTheCopyStopsItAfterTheBandAndStoresNothing)
{
    volatile ULONG cancel = 0;
    CancellingSource source(cancel);
    auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(GUID_ContainerFormatJpeg));
    decoder->AddFrame(ComPtr<FakeFrame>::Attach(new FakeFrame(&source, nullptr)).Get());
    factory->decoder = ComPtr<IWICBitmapDecoder>(decoder.Get());
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    EXPECT_EQ(E_ABORT, ToBitmap(path, bitmap, nullptr, 0, 0, &cancel));
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(1u, source.copies.size()) << "one band, then the progress report saw the cancel";
    factory->decoder = nullptr;
    decoder = nullptr;
}

class ColourStep : public DecodeSteps {
protected:
    void TearDown() override
    {
        AppSettings::WarnOnInvalidProfile = savedWarn;
        AppSettings::CustomTargetColorProfile = savedTarget;
        ProfileWarningCount = 0;
        DecodeSteps::TearDown();
    }

    // A frame of the container whose colour contexts are the profiles given, or fail with the result.
    FakeFrame* UseColourFrame(REFGUID container, std::vector<ByteVector> profiles, HRESULT contexts = S_OK)
    {
        auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(container));
        auto fakeFrame = ComPtr<FakeFrame>::Attach(new FakeFrame(pixels.Get(), nullptr));
        fakeFrame->profiles = std::move(profiles);
        fakeFrame->colorContextsResult = contexts;
        decoder->AddFrame(fakeFrame.Get());
        factory->decoder = ComPtr<IWICBitmapDecoder>(decoder.Get());
        return fakeFrame.Get();
    }

    HRESULT Decode(bool colourManage, ImageInfo* info = nullptr)
    {
        IDirect3DSurface9* result = nullptr;
        const HRESULT hr = LoadToSurface(context.get(), path.c_str(), 0, &result, &width, &height, colourManage, false,
                                         true, info, nullptr, 0);
        ComPtr<IDirect3DSurface9>::Attach(result);
        return hr;
    }

    // Counts warnings instead of showing them.
    int boxes = 0;
    ScopedModalSeam seam{ModalSeam{.messageBox = [this](HWND, const wchar_t*, const wchar_t*, UINT) {
        ++boxes;
        return IDOK;
    }}};
    const DWORD savedWarn = AppSettings::WarnOnInvalidProfile;
    const Bstr savedTarget = AppSettings::CustomTargetColorProfile;
};

TEST_F(ColourStep, AnEmbeddedProfileIsTransformedFromTheFrameBeforeTheConversion)
{
    FakeFrame* fake = UseColourFrame(GUID_ContainerFormatJpeg, {ProfileWithDescription("desc", L"Camera RGB")});
    ImageInfo info;
    ASSERT_EQ(S_OK, Decode(true, &info));
    ASSERT_EQ(1u, factory->transforms.size());
    EXPECT_EQ(static_cast<IWICBitmapSource*>(fake), factory->transforms[0].source) << "the frame's own pixels";
    EXPECT_EQ(L"memory:Camera RGB", factory->transforms[0].sourceOrigin);
    EXPECT_EQ(L"exif:1", factory->transforms[0].targetOrigin) << "towards sRGB";
    // Whatever the transformer makes is what the later steps take: its 24-bit colour is widened to
    // the display's format by the histogram copy, not by a converter.
    EXPECT_TRUE(factory->converterInits.empty());
    EXPECT_LT(0, factory->transformerCopies);
    EXPECT_EQ(L"Camera RGB", info.profileName.View());
    EXPECT_NE(0u, info.flags & ImageInfoProfileName);
}

TEST_F(ColourStep, WithoutColourManagementOnlyTheProfileNameIsRead)
{
    UseColourFrame(GUID_ContainerFormatJpeg, {ProfileWithDescription("desc", L"Camera RGB")});
    ImageInfo info;
    ASSERT_EQ(S_OK, Decode(false, &info));
    EXPECT_TRUE(factory->transforms.empty());
    EXPECT_EQ(L"Camera RGB", info.profileName.View());
}

TEST_F(ColourStep, OtherFormatsAreTransformedOnlyTowardsAChosenProfile)
{
    UseColourFrame(GUID_ContainerFormatBmp, {ProfileWithDescription("desc", L"Scanner RGB")});
    ASSERT_EQ(S_OK, Decode(true));
    EXPECT_TRUE(factory->transforms.empty());

    AppSettings::CustomTargetColorProfile = L"<Automatic>";
    ASSERT_EQ(S_OK, Decode(true));
    EXPECT_EQ(1u, factory->transforms.size());
}

TEST_F(ColourStep, AnUnreadableProfileWarnsOnlyForTheFamiliesThatCarryProfilesAndOnlyWhenAsked)
{
    struct Case {
        GUID container;
        DWORD warnSetting;
        bool customTarget;
        int boxes;
    };
    for (const Case& c : {Case{GUID_ContainerFormatJpeg, 1, false, 1}, Case{GUID_ContainerFormatJpeg, 0, false, 0},
                          Case{GUID_ContainerFormatTiff, 1, false, 1}, Case{GUID_ContainerFormatBmp, 1, true, 0}}) {
        boxes = 0;
        ProfileWarningCount = 0;
        AppSettings::WarnOnInvalidProfile = c.warnSetting;
        AppSettings::CustomTargetColorProfile = c.customTarget ? L"<Automatic>" : L"";
        UseColourFrame(c.container, {}, WINCODEC_ERR_BADHEADER);
        EXPECT_EQ(S_OK, Decode(true)) << "a transform never fails a decode";
        EXPECT_EQ(c.boxes, boxes) << c.warnSetting << c.customTarget;
    }
}
