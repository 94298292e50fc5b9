#include "Viewer/imaging/ColourManagement.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/IccProfile.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/imaging/FakeWic.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "tests/imaging/TestPictures.h"
#include "tests/imaging/TestProfiles.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

namespace {
uint32_t BigEndian32(const ByteVector& b, size_t at)
{
    return uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

std::wstring Description(const ByteVector& bytes)
{
    Bstr text = ReadIccProfileDescription(bytes.data(), bytes.size());
    return text.Get() ? std::wstring(text.View()) : L"(null)";
}

// The XYZ value of a tag of a profile.
std::array<double, 3> TagXyz(const ByteVector& p, const char* signature)
{
    for (uint32_t i = 0; i < BigEndian32(p, 128); ++i) {
        size_t entry = 132 + 12 * i;
        if (memcmp(&p[entry], signature, 4) != 0) continue;
        size_t tag = BigEndian32(p, entry + 4);
        std::array<double, 3> v;
        for (int c = 0; c < 3; ++c) v[c] = static_cast<int32_t>(BigEndian32(p, tag + 8 + 4 * c)) / 65536.0;
        return v;
    }
    return {0, 0, 0};
}
}

TEST(IccProfile, DescriptionFromDescAndMlucTags)
{
    EXPECT_EQ(L"Wide Gamut", Description(ProfileWithDescription("desc", L"Wide Gamut")));
    EXPECT_EQ(L"sRGB IEC61966-2.1", Description(ProfileWithDescription("mluc", L"sRGB IEC61966-2.1")));
    EXPECT_EQ(L"(null)", Description(ProfileWithDescription("text", L"Other type")));

    ByteVector p = ProfileWithDescription("desc", L"Wide Gamut");
    ByteVector longer = p;
    longer.push_back(0);
    EXPECT_EQ(L"(null)", Description(longer)) << "size field differs from the length";
    EXPECT_EQ(L"(null)", Description(ByteVector(p.begin(), p.begin() + 131))) << "shorter than 132 bytes";
    ByteVector noSignature = p;
    noSignature[36] = 'x';
    EXPECT_EQ(L"(null)", Description(noSignature));
    ByteVector noTags = p;
    noTags[131] = 0;
    EXPECT_EQ(L"(null)", Description(noTags));
    ByteVector textPastEnd = p;
    textPastEnd[144 + 11] = 0x7F;  // ASCII count far beyond the data
    EXPECT_EQ(L"(null)", Description(textPastEnd));
    ByteVector mluc = ProfileWithDescription("mluc", L"Display");
    mluc[144 + 27] = 0x70;  // string offset beyond the data
    EXPECT_EQ(L"(null)", Description(mluc));
}

TEST(IccProfile, ProgramProfilesParseBackAsDisplayProfiles)
{
    struct { UINT id; const wchar_t* name; double gamma; } profiles[] = {
        {238, L"Adobe RGB (1998)", 563.0 / 256}, {245, L"ProPhoto RGB", 1.8}};
    for (auto& expected : profiles) {
        ByteVector p = ProgramResource(expected.id);
        EXPECT_EQ(expected.name, Description(p));
        EXPECT_EQ(p.size(), BigEndian32(p, 0));
        EXPECT_EQ(0x02100000u, BigEndian32(p, 8));
        EXPECT_EQ(0, memcmp(&p[12], "mntrRGB XYZ ", 12));
        // The colorants of a matrix profile add up to the D50 white of the connection space.
        auto r = TagXyz(p, "rXYZ"), g = TagXyz(p, "gXYZ"), b = TagXyz(p, "bXYZ");
        EXPECT_NEAR(0.9642, r[0] + g[0] + b[0], 0.0005) << expected.id;
        EXPECT_NEAR(1.0, r[1] + g[1] + b[1], 0.0005) << expected.id;
        EXPECT_NEAR(0.8249, r[2] + g[2] + b[2], 0.0005) << expected.id;
        EXPECT_GT(r[0], r[1]) << "red is red";
        // The tone curve: one gamma value, unsigned 8.8.
        for (uint32_t i = 0; i < BigEndian32(p, 128); ++i) {
            size_t entry = 132 + 12 * i;
            if (memcmp(&p[entry], "gTRC", 4) != 0) continue;
            size_t tag = BigEndian32(p, entry + 4);
            EXPECT_EQ(0, memcmp(&p[tag], "curv", 4));
            EXPECT_EQ(1u, BigEndian32(p, tag + 8));
            EXPECT_NEAR(expected.gamma, (p[tag + 12] << 8 | p[tag + 13]) / 256.0, 0.002);
        }
    }
}

namespace {
class ColourTransformTest : public WicFactoryTest {
protected:
    void SetUp() override
    {
        WicFactoryTest::SetUp();
        m_recorder = RecordingWicFactory::InstallAroundProcessFactory();
        ProfileWarningCount = 0;
    }
    void TearDown() override
    {
        AppSettings::CustomTargetColorProfile = Bstr();
        g_WicFactory = nullptr;
        m_recorder = nullptr;
        WicFactoryTest::TearDown();
    }

    ComPtr<FakeFrame> Frame(std::vector<ByteVector> profiles = {})
    {
        auto frame = ComPtr<FakeFrame>::Attach(new FakeFrame(MakeNumberedBitmap(2, 2).Get(), m_reader.Get()));
        frame->profiles = std::move(profiles);
        return frame;
    }

    // A real picture file that carries one of the program's profiles, opened by the platform's decoder.
    OpenedPicture OpenWithProfile(const wchar_t* name, void (*write)(const std::wstring&, const ByteVector&),
                                  UINT profileResource)
    {
        const std::wstring path = m_folder.File(name);
        write(path, ProgramResource(profileResource));
        return OpenTestPicture(path);
    }

    // One of the program's profiles written to a file and chosen as the target; the file's path.
    std::wstring UseTargetProfileFile(UINT profileResource)
    {
        const std::wstring path = m_folder.File(L"display.icc");
        const ByteVector profile = ProgramResource(profileResource);
        std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(profile.data()), profile.size());
        AppSettings::CustomTargetColorProfile = Bstr(path);
        return path;
    }

    static bool IsTransformer(const ComPtr<IWICBitmapSource>& result)
    {
        ComPtr<IWICColorTransform> transformer;
        return result && SUCCEEDED(result.As(transformer));
    }

    TempFolder m_folder;
    ComPtr<RecordingWicFactory> m_recorder;
    ComPtr<FakeQueryReader> m_reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
    std::vector<UINT> m_boxes;
    std::vector<std::wstring> m_texts;
    ScopedResourceModule m_strings{L"Lumenfold.Core.EN.dll"};
    ScopedModalSeam m_seam{{.messageBox = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        m_boxes.push_back(type);
        m_texts.push_back(std::wstring(caption) + L": " + text);
        return IDOK;
    }}};
};
}

TEST_F(ColourTransformTest, EmbeddedProfileOfARealPngIsConvertedToSrgb)
{
    const auto [decoder, frame] = OpenWithProfile(L"adobe.png", WritePngWithProfile, AdobeRgbProfileResource);
    ASSERT_TRUE(frame);
    Bstr name;
    auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name), false);
    EXPECT_TRUE(IsTransformer(result));
    EXPECT_STREQ(L"Adobe RGB (1998)", name.c_str());
    ASSERT_EQ(1u, m_recorder->transforms.size());
    EXPECT_EQ(L"memory:Adobe RGB (1998)", m_recorder->transforms[0].sourceOrigin);
    EXPECT_EQ(L"exif:1", m_recorder->transforms[0].targetOrigin);
    EXPECT_TRUE(IsEqualGUID(GUID_WICPixelFormat24bppBGR, m_recorder->transforms[0].format)) << "the source's format";
    EXPECT_STREQ(L"Adobe RGB (1998)", GetFrameColorProfileName(frame.Get()).c_str());
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ColourTransformTest, SrgbProfileNeedsNoConversionButIsNamed)
{
    auto frame = Frame({SrgbNamedProfile()});
    Bstr name;
    auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name), false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_STREQ(L"sRGB IEC61966-2 ", name.c_str());
    EXPECT_TRUE(m_recorder->transforms.empty());
}

TEST_F(ColourTransformTest, PictureWithoutProfileIsLeftAloneOrSkipped)
{
    auto frame = Frame();
    Bstr name(L"stale");
    auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name), false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_EQ(nullptr, name.Get());
    EXPECT_FALSE(CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, true));
    EXPECT_FALSE(CreateColorTransform(nullptr, frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, false));
    EXPECT_EQ((std::vector<std::wstring>{L"/ifd/{ushort=34675}", L"/ifd/exif/{ushort=34675}",
                                         L"/app1/ifd/exif/{ushort=34675}"}),
              std::vector<std::wstring>(m_reader->asked.begin(), m_reader->asked.begin() + 3));
}

TEST_F(ColourTransformTest, ProfileInTheExifTagIsUsedLikeAnEmbeddedOne)
{
    m_reader->SetBlob(L"/app1/ifd/exif/{ushort=34675}", ProgramResource(ProPhotoRgbProfileResource));
    auto frame = Frame();
    Bstr name;
    auto result = CreateColorTransform(frame.Get(), frame.Get(), false, GUID_WICPixelFormat32bppPBGRA, std::addressof(name), false);
    EXPECT_TRUE(IsTransformer(result));
    EXPECT_STREQ(L"ProPhoto RGB", name.c_str());
    ASSERT_EQ(1u, m_recorder->transforms.size());
    EXPECT_EQ(L"memory:ProPhoto RGB", m_recorder->transforms[0].sourceOrigin);
}

TEST_F(ColourTransformTest, RejectedTargetProfileFallsBackToSrgbWarningOncePerProcess)
{
    const std::wstring target = UseTargetProfileFile(AdobeRgbProfileResource);
    auto frame = Frame({ProgramResource(ProPhotoRgbProfileResource)});
    for (int picture = 0; picture < 2; ++picture) {
        m_recorder->transformResults = {HRESULT_FROM_WIN32(ERROR_INVALID_PROFILE)};
        auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, false);
        EXPECT_TRUE(IsTransformer(result));
    }
    ASSERT_EQ(4u, m_recorder->transforms.size());
    EXPECT_EQ(L"file:" + target, m_recorder->transforms[0].targetOrigin);
    EXPECT_EQ(L"exif:1", m_recorder->transforms[1].targetOrigin);
    EXPECT_EQ(L"memory:ProPhoto RGB", m_recorder->transforms[1].sourceOrigin);
    EXPECT_EQ(std::vector<UINT>{MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST}, m_boxes);
    EXPECT_EQ(std::vector<std::wstring>{L"Colour profile: The chosen display colour profile is not valid; sRGB is "
                                        L"used instead (error 0x800707DB)."},
              m_texts);
    EXPECT_EQ(2, ProfileWarningCount);

    // Without a target setting the rejection is final.
    AppSettings::CustomTargetColorProfile = Bstr();
    m_recorder->transformResults = {HRESULT_FROM_WIN32(ERROR_INVALID_PROFILE)};
    auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
}

TEST_F(ColourTransformTest, TargetFileThatCannotBeLoadedLeavesThePictureUnconverted)
{
    AppSettings::CustomTargetColorProfile = Bstr(m_folder.File(L"missing.icc"));
    auto frame = Frame({ProgramResource(AdobeRgbProfileResource)});
    auto result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_TRUE(m_recorder->transforms.empty());
}

TEST_F(ColourTransformTest, UnreadableEmbeddedProfileWarnsUnlessATargetIsSet)
{
    auto frame = Frame();
    frame->colorContextsResult = WINCODEC_ERR_BADHEADER;
    auto result = CreateColorTransform(frame.Get(), frame.Get(), false, GUID_WICPixelFormat32bppPBGRA, nullptr, false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_TRUE(m_boxes.empty()) << "warn flag off";
    result = CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, nullptr, false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_EQ(std::vector<std::wstring>{L"Colour profile: The colour profile embedded in this picture cannot be read "
                                        L"(error 0x88982F61)."},
              m_texts);
}

TEST_F(ColourTransformTest, UnsupportedFormatIsConvertedToTheTargetFormatFirst)
{
    auto frame = Frame({ProgramResource(AdobeRgbProfileResource)});
    m_recorder->transformResults = {WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT};
    auto result = CreateColorTransform(frame.Get(), frame.Get(), false, GUID_WICPixelFormat24bppBGR, nullptr, false);
    EXPECT_TRUE(IsTransformer(result));
    ASSERT_EQ(2u, m_recorder->transforms.size());
    EXPECT_TRUE(IsEqualGUID(GUID_WICPixelFormat32bppBGRA, m_recorder->transforms[0].format));
    EXPECT_TRUE(IsEqualGUID(GUID_WICPixelFormat24bppBGR, m_recorder->transforms[1].format));

    m_recorder->transformResults = {WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT};
    result = CreateColorTransform(frame.Get(), frame.Get(), false, GUID_WICPixelFormat32bppBGRA, nullptr, false);
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get()) << "already in the target format: give up";
}

TEST_F(ColourTransformTest, PreviewUsesTheMakerNoteColourSpace)
{
    // Big-endian Nikon note: colour space entry (tag 0x1E) = 2, Adobe RGB.
    m_reader->SetBlob(L"System.Photo.MakerNote", {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'M', 'M', 0, 0x2A, 0, 0, 0,
                                                  8, 0, 1, 0, 0x1E, 0, 3, 0, 0, 0, 1, 0, 2, 0, 0});
    auto frame = Frame();
    Bstr name;
    auto result = CreatePreviewColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name));
    EXPECT_TRUE(IsTransformer(result));
    EXPECT_STREQ(L"Adobe RGB", name.c_str());
    ASSERT_EQ(1u, m_recorder->transforms.size());
    EXPECT_EQ(L"memory:Adobe RGB (1998)", m_recorder->transforms[0].sourceOrigin);
    EXPECT_EQ(L"exif:1", m_recorder->transforms[0].targetOrigin);
}

TEST_F(ColourTransformTest, PreviewWithoutColourSpaceConvertsOnlyForATargetSetting)
{
    auto frame = Frame();
    Bstr name;
    auto result = CreatePreviewColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name));
    EXPECT_EQ(static_cast<IWICBitmapSource*>(frame.Get()), result.Get());
    EXPECT_EQ(nullptr, name.Get());

    const std::wstring target = UseTargetProfileFile(ProPhotoRgbProfileResource);
    result = CreatePreviewColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA, std::addressof(name));
    EXPECT_TRUE(IsTransformer(result));
    EXPECT_STREQ(L"sRGB IEC61966-2.1", name.c_str());
    ASSERT_FALSE(m_recorder->transforms.empty());
    EXPECT_EQ(L"exif:1", m_recorder->transforms.back().sourceOrigin);
    EXPECT_EQ(L"file:" + target, m_recorder->transforms.back().targetOrigin);
}

TEST(ColourTargets, TargetProfilePathFollowsTheSetting)
{
    EXPECT_EQ(nullptr, GetTargetProfilePath().Get());
    AppSettings::CustomTargetColorProfile = Bstr(L"C:\\Profiles\\Display.icc");
    EXPECT_STREQ(L"C:\\Profiles\\Display.icc", GetTargetProfilePath().c_str());
    // The display's profile, whatever case the setting is written in: never the setting's text itself.
    AppSettings::CustomTargetColorProfile = Bstr(L"<automatic>");
    Bstr display = GetTargetProfilePath();
    EXPECT_STRNE(L"<automatic>", display.c_str());
    if (display.Get()) {
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(display.c_str())) << display.c_str();
    }
    AppSettings::CustomTargetColorProfile = Bstr();
}

// A real TIFF whose profile sits in tag 34675: the frame's own contexts, and (with the contexts
// hidden) the raw tag through the real metadata reader.
TEST_F(ColourTransformTest, ProfileOfARealTiffIsUsedThroughItsContextsOrItsTag)
{
    const auto [decoder, frame] = OpenWithProfile(L"scan.tif", WriteTiffWithProfile, ProPhotoRgbProfileResource);
    ASSERT_TRUE(frame);
    Bstr name;
    EXPECT_TRUE(IsTransformer(CreateColorTransform(frame.Get(), frame.Get(), true, GUID_WICPixelFormat32bppPBGRA,
                                                   std::addressof(name), false)));
    EXPECT_STREQ(L"ProPhoto RGB", name.c_str());

    ComPtr<IWICMetadataQueryReader> realReader;
    ASSERT_EQ(S_OK, frame->GetMetadataQueryReader(&realReader));
    auto tagOnly = ComPtr<FakeFrame>::Attach(new FakeFrame(frame.Get(), realReader.Get()));
    m_recorder->transforms.clear();
    EXPECT_TRUE(IsTransformer(CreateColorTransform(tagOnly.Get(), tagOnly.Get(), true, GUID_WICPixelFormat32bppPBGRA,
                                                   std::addressof(name), false)));
    ASSERT_EQ(1u, m_recorder->transforms.size());
    EXPECT_EQ(L"memory:ProPhoto RGB", m_recorder->transforms[0].sourceOrigin);
    EXPECT_TRUE(m_boxes.empty());
}
