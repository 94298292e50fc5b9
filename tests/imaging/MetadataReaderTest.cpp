#include "Viewer/imaging/MetadataReader.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/ImageFormats.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/imaging/FakeWic.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <cmath>
#include <fstream>

namespace {
// Under this platform the metadata reader of JPEG files answers nothing, so the frame's metadata
// comes from a table (FakeQueryReader); the TIFF test at the end runs on the real codec.
class MetadataReaderTest : public WicFactoryTest {
protected:
    void TearDown() override
    {
        AppSettings::CreateSidecarFiles = 0;
        WicFactoryTest::TearDown();
    }

    HRESULT Read(const GUID& container, uint16_t frameIndex = 0, const wchar_t* profile = nullptr)
    {
        auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(container));
        auto pixels = MakeNumberedBitmap(6, 4);
        decoder->AddFrame(ComPtr<FakeFrame>::Attach(new FakeFrame(pixels.Get(), reader.Get())).Get());
        return ReadImageMetadata(nullptr, m_picture.c_str(), &info, pixels.Get(), decoder.Get(), frameIndex, profile);
    }

    void WriteSidecar(const char* text) { std::ofstream(m_folder.File(L"IMG_0001.xmp").c_str()) << text; }

    ComPtr<FakeQueryReader> reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
    ImageInfo info;
    TempFolder m_folder;
    std::wstring m_picture = m_folder.File(L"IMG_0001.JPG");
};

const char SidecarWithRating4[] =
    "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
    "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\"4\"/></rdf:RDF></x:xmpmeta>";

SYSTEMTIME TimeOf(const FILETIME& time)
{
    SYSTEMTIME parts;
    FileTimeToSystemTime(&time, &parts);
    return parts;
}
}

TEST_F(MetadataReaderTest, PictureWithoutMetadataHasNoFlagsAndNoRatingWords)
{
    info.flags = 0x123;
    info.ratingWords = {0, 0, 0, 0};
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
    EXPECT_EQ(0u, info.flags);
    EXPECT_EQ(-1, info.ratingWords.ratingPercent);
    EXPECT_EQ(-1, info.ratingWords.rating);
    EXPECT_EQ(-1, info.ratingWords.label);
    EXPECT_EQ(-1, info.ratingWords.urgency);
    EXPECT_EQ(6u, info.sourceWidth);
    EXPECT_EQ(4u, info.sourceHeight);
}

TEST_F(MetadataReaderTest, UnreadFormatsStillReadTheSidecar)
{
    WriteSidecar(SidecarWithRating4);
    ASSERT_EQ(S_FALSE, Read(GUID_ContainerFormatPng));
    EXPECT_EQ(0u, info.flags);
    EXPECT_EQ(-1, info.ratingWords.rating);
    AppSettings::CreateSidecarFiles = 1;
    ASSERT_EQ(S_FALSE, Read(GUID_ContainerFormatPng));
    EXPECT_EQ(4, info.ratingWords.rating);
    EXPECT_EQ(0x10000u, info.flags);
    EXPECT_TRUE(reader->asked.empty());
}

TEST_F(MetadataReaderTest, FrameIndexOutOfRangeReadsNothing)
{
    WriteSidecar(SidecarWithRating4);
    AppSettings::CreateSidecarFiles = 1;
    EXPECT_EQ(S_FALSE, Read(GUID_ContainerFormatTiff, 1));
    EXPECT_EQ(-1, info.ratingWords.rating) << "no sidecar either";
    EXPECT_TRUE(reader->asked.empty());
}

TEST_F(MetadataReaderTest, ArgumentsAndFactoryAreChecked)
{
    auto pixels = MakeNumberedBitmap(2, 2);
    auto decoder = ComPtr<FakeDecoder>::Attach(new FakeDecoder(GUID_ContainerFormatJpeg));
    EXPECT_EQ(E_INVALIDARG, ReadImageMetadata(nullptr, L"x.jpg", nullptr, pixels.Get(), decoder.Get(), 0, nullptr));
    EXPECT_EQ(E_INVALIDARG, ReadImageMetadata(nullptr, L"x.jpg", &info, nullptr, decoder.Get(), 0, nullptr));
    EXPECT_EQ(E_INVALIDARG, ReadImageMetadata(nullptr, L"x.jpg", &info, pixels.Get(), nullptr, 0, nullptr));
    ComPtr<IWICImagingFactory> factory = std::move(g_WicFactory);
    EXPECT_EQ(E_UNEXPECTED, ReadImageMetadata(nullptr, L"x.jpg", &info, pixels.Get(), decoder.Get(), 0, nullptr));
    g_WicFactory = std::move(factory);
}

TEST_F(MetadataReaderTest, ExposureFractions)
{
    struct { ULONG n, d; double seconds; int num, den; bool flagged; } cases[] = {
        {1, 200, 0.005, 1, 200, true}, {10, 2000, 0.005, 1, 200, true}, {3, 2, 1.5, 3, 2, true},
        {0, 1, 0, 0, 0, false},        {4, 2, 2.0, 2, 1, true},         {1, 0, 0, 0, 0, false},
    };
    for (auto& c : cases) {
        reader->SetRational(L"/app1/ifd/exif/{ushort=33434}", c.n, c.d);
        ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
        EXPECT_DOUBLE_EQ(c.seconds, info.exposureTime) << c.n << "/" << c.d;
        EXPECT_EQ(c.num, info.exposureNumerator) << c.n << "/" << c.d;
        EXPECT_EQ(c.den, info.exposureDenominator) << c.n << "/" << c.d;
        EXPECT_EQ(c.flagged, (info.flags & 0x4) != 0) << c.n << "/" << c.d;
        info = ImageInfo();
    }
    reader->SetText(L"/xmp/exif:ExposureTime", L"10/2000");
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
    EXPECT_DOUBLE_EQ(0.005, info.exposureTime);
    EXPECT_EQ(1, info.exposureNumerator);
    EXPECT_EQ(200, info.exposureDenominator);
}

TEST_F(MetadataReaderTest, ApexValuesStandInForMissingTimeAndAperture)
{
    reader->SetRational(L"/app1/ifd/exif/{ushort=37377}", 7, 1);
    reader->SetSignedRational(L"/app1/ifd/exif/{ushort=37378}", 5, 1);
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
    EXPECT_DOUBLE_EQ(1.0 / 128, info.exposureTime);
    EXPECT_EQ(1, info.exposureNumerator);
    EXPECT_EQ(128, info.exposureDenominator);
    EXPECT_NEAR(5.657, info.fNumber, 0.001);
    EXPECT_EQ(0x14u, info.flags & 0x14);
}

TEST_F(MetadataReaderTest, QueryPathsFollowTheContainer)
{
    reader->SetRational(L"/ifd/exif/{ushort=33437}", 28, 10);
    reader->SetText(L"/ifd/xmp/exif:FocalLength", L"50/1");
    reader->SetText(L"/ifd/{ushort=700}/xmp:Label", L"Red");
    reader->SetText(L"/ifd/{ushort=700}/photoshop:Urgency", L"3");
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatTiff));
    EXPECT_DOUBLE_EQ(2.8, info.fNumber);
    EXPECT_DOUBLE_EQ(50, info.focalLength);
    EXPECT_EQ(1, info.ratingWords.label);
    EXPECT_EQ(3, info.ratingWords.urgency);
    EXPECT_EQ(0x10030u, info.flags);

    info = ImageInfo();
    ASSERT_EQ(S_OK, Read(ContainerFormatCr2)) << "CR2 is JPEG-rooted";
    EXPECT_EQ(0u, info.flags);
    EXPECT_NE(reader->asked.end(), std::find(reader->asked.begin(), reader->asked.end(), L"/app1/ifd/exif/{ushort=33437}"));
    EXPECT_NE(reader->asked.end(), std::find(reader->asked.begin(), reader->asked.end(), L"/xmp/xmp:Label"));
}

TEST_F(MetadataReaderTest, CaptureDateForms)
{
    struct { VARTYPE type; const char* text; bool taken; WORD hour; } cases[] = {
        {VT_LPSTR, "2011:05:07 10:11:12", true, 10},     // EXIF as the codec hands it
        {VT_LPWSTR, "2011:05:07 10:11:12", true, 10},
        {VT_LPWSTR, "2011-05-07T10:11:12", false, 0},    // XMP without a zone is not taken
        {VT_LPWSTR, "2011-05-07T10:11:12+02:00", true, 10},
        {VT_LPSTR, "2011-05-07T10:11:12+02:00", false, 0},
        {VT_LPWSTR, "2011:13:07 10:11:12", false, 0},
    };
    for (auto& c : cases) {
        reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
        std::wstring wide(c.text, c.text + strlen(c.text));
        if (c.type == VT_LPSTR) reader->SetAnsi(L"/app1/ifd/exif/{ushort=36868}", c.text);
        else reader->SetText(L"/xmp/exif:DateTimeOriginal", wide.c_str());
        info = ImageInfo();
        ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
        EXPECT_EQ(c.taken, (info.flags & 1) != 0) << c.text;
        if (!c.taken) continue;
        SYSTEMTIME t = TimeOf(info.dateTaken);
        EXPECT_EQ(2011, t.wYear);
        EXPECT_EQ(5, t.wMonth);
        EXPECT_EQ(7, t.wDay);
        EXPECT_EQ(c.hour, t.wHour) << "no zone conversion";
        EXPECT_EQ(11, t.wMinute);
        EXPECT_EQ(12, t.wSecond);
    }
    FILETIME direct = {0x12345678, 0x01CD0000};
    reader->SetFileTime(L"System.Photo.DateTaken", direct);
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
    EXPECT_EQ(direct.dwLowDateTime, info.dateTaken.dwLowDateTime);
}

TEST_F(MetadataReaderTest, TextsProfileIsoAndSettings)
{
    reader->SetText(L"System.Photo.CameraModel", L"  X100  ");
    reader->SetText(L"/xmp/tiff:Model", L"not asked");
    reader->SetText(L"System.Photo.LensModel", L"   ");
    reader->SetTextVector(L"System.Comment", {L" harbour at dusk", L"second"});
    reader->SetText(L"/xmp/tiff:Orientation", L"6");
    reader->SetUInt16(L"System.Photo.Flash", 0);
    reader->SetText(L"/xmp/exif:WhiteBalance", L"1");
    reader->SetUInt16(L"System.SimpleRating", 3);
    reader->SetUInt16(L"System.Rating", 50);
    // Big-endian Nikon note whose ISO-info byte is 84.
    reader->SetBlob(L"System.Photo.MakerNote", {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'M', 'M', 0, 0x2A, 0, 0, 0, 8,
                                                0, 1, 0, 0x25, 0, 7, 0, 0, 0, 1, 0, 0, 0, 22, 84});
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg, 0, L"opRGB"));
    EXPECT_STREQ(L"X100", info.cameraModel.c_str());
    EXPECT_EQ(nullptr, info.lensModel.Get());
    EXPECT_STREQ(L"harbour at dusk", info.comment.c_str());
    EXPECT_STREQ(L"Adobe RGB", info.profileName.c_str());
    EXPECT_EQ(6, info.orientation);
    EXPECT_EQ(1, info.whiteBalance);
    EXPECT_EQ(400, info.isoSpeed);
    EXPECT_EQ(3, info.ratingWords.rating);
    EXPECT_EQ(50, info.ratingWords.ratingPercent);
    EXPECT_EQ(0x20000u | 0x80000 | 0x4000 | 0x200 | 0x1000 | 0x8 | 0x80 | 0x10000, info.flags);

    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg, 0, L"sRGB IEC61966-2.1"));
    EXPECT_STREQ(L"sRGB IEC61966-2.1", info.profileName.c_str());
}

TEST_F(MetadataReaderTest, SidecarOverridesEmbeddedWords)
{
    reader->SetUInt16(L"System.SimpleRating", 2);
    reader->SetText(L"/xmp/xmp:Label", L"Green");
    WriteSidecar(SidecarWithRating4);
    AppSettings::CreateSidecarFiles = 1;
    ASSERT_EQ(S_OK, Read(GUID_ContainerFormatJpeg));
    EXPECT_EQ(4, info.ratingWords.rating);
    EXPECT_EQ(3, info.ratingWords.label);
}

TEST(RationalToDouble, ValueAndTextForms)
{
    PROPVARIANT v;
    PropVariantInit(&v);
    v.vt = VT_I8;
    v.hVal.QuadPart = (static_cast<LONGLONG>(3) << 32) | 0xFFFFFFFEu;  // -2/3
    EXPECT_DOUBLE_EQ(-2.0 / 3, RationalToDouble(v));
    v.hVal.QuadPart = 5;
    EXPECT_EQ(0.0, RationalToDouble(v));
    wchar_t text[] = L"7/4", noSlash[] = L"7", empty[] = L"";
    v.vt = VT_LPWSTR;
    v.pwszVal = text;
    EXPECT_DOUBLE_EQ(1.75, RationalToDouble(v));
    v.pwszVal = noSlash;
    EXPECT_EQ(0.0, RationalToDouble(v));
    v.pwszVal = empty;
    EXPECT_EQ(0.0, RationalToDouble(v));
    v.pwszVal = nullptr;
    EXPECT_EQ(0.0, RationalToDouble(v));
}

class MetadataReaderOnFiles : public WicFactoryTest {};

// The real codec end to end: a TIFF written by the platform's encoder, read back.
TEST_F(MetadataReaderOnFiles, TiffWithoutTagsReadsItsGeometryAndNoValues)
{
    TempFolder folder;
    std::wstring path = folder.File(L"plain.tif");
    WriteTestPicture(path, GUID_ContainerFormatTiff, {AsymmetricFrame(5, 3, GUID_WICPixelFormat24bppBGR)});
    const auto [decoder, frame] = OpenTestPicture(path);
    ASSERT_TRUE(frame);
    ImageInfo info;
    ASSERT_EQ(S_OK, ReadImageMetadata(nullptr, path.c_str(), &info, frame.Get(), decoder.Get(), 0, nullptr));
    EXPECT_EQ(5u, info.sourceWidth);
    EXPECT_EQ(3u, info.sourceHeight);
    EXPECT_EQ(0u, info.flags & ~0x200u) << "at most the orientation the encoder wrote";
    EXPECT_EQ(-1, info.ratingWords.rating);
    EXPECT_EQ(S_FALSE, ReadImageMetadata(nullptr, path.c_str(), &info, frame.Get(), decoder.Get(), 1, nullptr));
}

