// The platform here writes no metadata (its fast encoder answers E_NOTIMPL), so the writer's calls
// are checked through the fakes of FakeMetadataWriting.h; the files it opens, swaps and restores
// are real. One test runs the real platform on real pictures and checks that they stay untouched.
#include "Viewer/imaging/EmbeddedMetadata.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/imaging/FakeMetadataWriting.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {
const SYSTEMTIME ChangeTime = {2026, 12, 4, 10, 13, 5, 7, 123};
const wchar_t Date[] = L"2026-12-10T13:05:07.12+00:00";
const wchar_t Software[] = L"Lumenfold 1.2.3.4 (https://lumenfold.example)";
constexpr FILETIME OldTime = {0x12345678, 0x01D00000};

FILETIME LastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetLastWriteTime(const std::wstring& path, const FILETIME& time)
{
    UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return CompareFileTime(&a, &b) == 0;
}

class EmbeddedWriting : public WicFactoryTest {
protected:
    // A real file of a few bytes at name, read through a fake decoder of the container's frames.
    void Prepare(const wchar_t* name, const GUID& container, int frames = 1)
    {
        m_path = m_folder.File(name);
        WriteBytes(m_path, m_original);
        SetLastWriteTime(m_path, OldTime);
        m_fakes.container = container;
        m_fakes.frames = frames;
        m_factory = ComPtr<IWICImagingFactory>::Attach(new WritingWicFactory(g_WicFactory.Get(), m_fakes));
    }

    HRESULT Write(int value, bool isLabel, int convention, bool isUrgency)
    {
        const EmbeddedWriteContext context{Software, m_factory};
        const HRESULT hr = WriteEmbeddedMetadata(context, m_path.c_str(), value, isLabel, convention, isUrgency,
                                                 ChangeTime, [this] {
                                                     ++m_rewritten;
                                                     if (m_onRewritten) m_onRewritten();
                                                 });
        return hr;
    }

    RegistrySandbox m_sandbox;
    TempFolder m_folder;
    std::wstring m_path;
    const std::vector<uint8_t> m_original{'o', 'r', 'i', 'g', 'i', 'n', 'a', 'l'};
    WritingFakes m_fakes;
    ComPtr<IWICImagingFactory> m_factory;
    int m_rewritten = 0;
    std::function<void()> m_onRewritten;
};

struct KindCase {
    const char* name;
    const wchar_t* file;
    GUID container;
    int value;
    bool isLabel;
    int convention;
    bool isUrgency;
    std::vector<std::wstring> written;
};

std::wstring DateAt(const std::wstring& path)
{
    return path + L"=LPWSTR:" + Date;
}

const KindCase KindCases[] = {
    {"JPEG rating", L"a.jpg", GUID_ContainerFormatJpeg, 3, false, 0, false,
     {L"/xmp/xmp:Rating=LPWSTR:3", L"/app1/ifd/{ushort=18246}=UI2:3", DateAt(L"/xmp/xmp:MetadataDate"),
      L"/xmp/MicrosoftPhoto:Rating=LPWSTR:50", L"/app1/ifd/{ushort=18249}=UI2:50"}},
    {"JPEG label, convention 0", L"a.jpg", GUID_ContainerFormatJpeg, 2, true, 0, false,
     {L"/xmp/xmp:Label=LPWSTR:Yellow", DateAt(L"/xmp/xmp:MetadataDate")}},
    {"JPEG label, convention 1", L"a.jpg", GUID_ContainerFormatJpeg, 2, true, 1, false,
     {L"/xmp/xmp:Label=LPWSTR:Orange", DateAt(L"/xmp/xmp:MetadataDate"), L"/xmp/photoshop:Urgency=LPWSTR:2"}},
    {"JPEG label and urgency is a label", L"a.jpg", GUID_ContainerFormatJpeg, 4, true, 0, true,
     {L"/xmp/xmp:Label=LPWSTR:Blue", DateAt(L"/xmp/xmp:MetadataDate")}},
    {"JPEG urgency, no date", L"a.jpg", GUID_ContainerFormatJpeg, 4, false, 2, true,
     {L"/xmp/photoshop:Urgency=LPWSTR:4"}},
    {"TIFF rating", L"a.tif", GUID_ContainerFormatTiff, 5, false, 0, false,
     {L"/ifd/xmp/xmp:Rating=LPWSTR:5", L"/ifd/{ushort=18246}=UI2:5", DateAt(L"/ifd/{ushort=700}/xmp:MetadataDate"),
      L"/ifd/xmp/MicrosoftPhoto:Rating=LPWSTR:99", L"/ifd/{ushort=18249}=UI2:99"}},
    {"TIFF label, convention 2", L"a.tif", GUID_ContainerFormatTiff, 9, true, 2, false,
     {L"/ifd/{ushort=700}/xmp:Label=LPWSTR:Gray", DateAt(L"/ifd/{ushort=700}/xmp:MetadataDate"),
      L"/ifd/{ushort=700}/photoshop:Urgency=LPWSTR:9"}},
    {"TIFF urgency", L"a.tif", GUID_ContainerFormatTiff, 1, false, 0, true,
     {L"/ifd/{ushort=700}/photoshop:Urgency=LPWSTR:1"}},
};
}

TEST_F(EmbeddedWriting, EachKindWritesItsPathsTypesAndValuesInPlace)
{
    for (const KindCase& c : KindCases) {
        SCOPED_TRACE(c.name);
        m_fakes.log.clear();
        Prepare(c.file, c.container);
        ASSERT_EQ(S_OK, Write(c.value, c.isLabel, c.convention, c.isUrgency));
        EXPECT_EQ(c.written, m_fakes.log);
        EXPECT_EQ(0, m_rewritten);
    }
}

TEST_F(EmbeddedWriting, InPlaceKeepsTheLastWriteTimeUnlessAskedNotTo)
{
    Prepare(L"a.jpg", GUID_ContainerFormatJpeg);
    ASSERT_EQ(S_OK, Write(3, false, 0, false));
    std::vector<uint8_t> changed = m_original;
    changed.push_back('!');
    EXPECT_EQ(changed, ReadBytes(m_path)) << "the fake's change went through the picture's own stream";
    EXPECT_TRUE(SameTime(OldTime, LastWriteTime(m_path)));
    EXPECT_EQ(std::vector<std::wstring>{L"a.jpg"}, m_folder.FileNames());

    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(L"UpdateLastWriteTimeWhenRating", 1));
    Prepare(L"a.jpg", GUID_ContainerFormatJpeg);
    ASSERT_EQ(S_OK, Write(3, false, 0, false));
    EXPECT_FALSE(SameTime(OldTime, LastWriteTime(m_path)));
}

TEST_F(EmbeddedWriting, AFailingPropertyEndsThePassBeforeTheCommit)
{
    Prepare(L"a.jpg", GUID_ContainerFormatJpeg);
    m_fakes.failingName = L"/app1/ifd/{ushort=18246}";
    EXPECT_EQ(E_FAIL, Write(3, false, 0, false));
    EXPECT_EQ(2u, m_fakes.log.size());
    EXPECT_EQ(m_original, ReadBytes(m_path));
}

TEST_F(EmbeddedWriting, AFailedCommitReencodesWithPaddingAndSoftwareAndSwapsTheFiles)
{
    Prepare(L"a.jpg", GUID_ContainerFormatJpeg, 2);
    m_fakes.fastCommitResult = WINCODEC_ERR_TOOMUCHMETADATA;
    ASSERT_EQ(S_OK, Write(3, false, 0, false));
    const std::vector<std::wstring> reencoded(m_fakes.log.begin() + 5, m_fakes.log.end());
    const std::vector<std::wstring> expected = {
        L"/app1/ifd/PaddingSchema:Padding=UI4:1024", L"/app1/ifd/exif/PaddingSchema:Padding=UI4:1024",
        L"/xmp/PaddingSchema:Padding=UI4:1024", L"/xmp/xmp:Rating=LPWSTR:3", L"/app1/ifd/{ushort=18246}=UI2:3",
        DateAt(L"/xmp/xmp:MetadataDate"), L"/xmp/MicrosoftPhoto:Rating=LPWSTR:50",
        L"/app1/ifd/{ushort=18249}=UI2:50", std::wstring(L"/xmp/xmp:CreatorTool=LPWSTR:") + Software,
        std::wstring(L"/xmp/tiff:Software=LPWSTR:") + Software,
        std::wstring(L"/app13/irb/8bimiptc/iptc/Originating Program=LPSTR:") + Software,
        std::wstring(L"/app1/ifd/{ushort=305}=LPSTR:") + Software};
    EXPECT_EQ(expected, reencoded);
    EXPECT_EQ(2, m_fakes.framesWritten);
    const std::string bytes(ReencodedBytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), ReadBytes(m_path));
    EXPECT_TRUE(SameTime(OldTime, LastWriteTime(m_path)));
    EXPECT_EQ(1, m_rewritten);
    EXPECT_EQ(std::vector<std::wstring>{L"a.jpg"}, m_folder.FileNames()) << "no temporary file or backup is left";
}

TEST_F(EmbeddedWriting, AFailingSecondMovePutsTheOriginalBack)
{
    Prepare(L"a.jpg", GUID_ContainerFormatJpeg);
    m_fakes.fastCommitResult = WINCODEC_ERR_TOOMUCHMETADATA;
    UniqueHandle held;
    // Between the two moves: another program opens the re-encoded file and lets nobody move it.
    m_onRewritten = [&] {
        for (const std::wstring& name : m_folder.FileNames()) {
            const std::vector<uint8_t> content = ReadBytes(m_folder.File(name));
            if (content.empty() || content[0] != ReencodedBytes[0]) continue;
            held = UniqueHandle(CreateFileW(m_folder.File(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        }
        ASSERT_TRUE(held);
    };
    EXPECT_TRUE(FAILED(Write(3, false, 0, false)));
    held = UniqueHandle();
    EXPECT_EQ(m_original, ReadBytes(m_path));
    for (const std::wstring& name : m_folder.FileNames())
        if (name != L"a.jpg") {
            EXPECT_NE(m_original, ReadBytes(m_folder.File(name))) << "no backup is left";
        }
}

TEST_F(EmbeddedWriting, FormatsThatCannotHoldTheMetadataAreRefusedUntouched)
{
    Prepare(L"a.gif", GUID_ContainerFormatGif);
    EXPECT_EQ(MetadataFormatUnsupported, Write(3, false, 0, false));
    EXPECT_EQ(m_original, ReadBytes(m_path));
    EXPECT_TRUE(m_fakes.log.empty());

    // A real PNG through the real platform.
    const std::wstring png = m_folder.File(L"b.png");
    WriteTestPicture(png, GUID_ContainerFormatPng, {PlainFrame(4, 4, {1, 2, 3, 255})});
    const std::vector<uint8_t> before = ReadBytes(png);
    const EmbeddedWriteContext real{Software, g_WicFactory};
    EXPECT_EQ(MetadataFormatUnsupported,
              WriteEmbeddedMetadata(real, png.c_str(), 3, false, 0, false, ChangeTime, nullptr));
    EXPECT_EQ(before, ReadBytes(png));
}

TEST_F(EmbeddedWriting, RealPicturesThePlatformWillNotWriteStayAsTheyWere)
{
    const EmbeddedWriteContext real{Software, g_WicFactory};
    for (const GUID& container : {GUID_ContainerFormatJpeg, GUID_ContainerFormatTiff}) {
        const std::wstring path = m_folder.File(container == GUID_ContainerFormatJpeg ? L"r.jpg" : L"r.tif");
        WriteTestPicture(path, container, {PlainFrame(8, 8, {10, 20, 30, 255})});
        SetLastWriteTime(path, OldTime);
        const std::vector<uint8_t> before = ReadBytes(path);
        ASSERT_FALSE(before.empty());
        const HRESULT hr = WriteEmbeddedMetadata(real, path.c_str(), 4, false, 0, false, ChangeTime, nullptr);
        EXPECT_TRUE(hr == E_NOTIMPL || hr == S_OK) << std::hex << hr;
        if (hr == E_NOTIMPL) {
            EXPECT_EQ(before, ReadBytes(path));
            EXPECT_TRUE(SameTime(OldTime, LastWriteTime(path)));
        }
    }
    EXPECT_EQ(E_UNEXPECTED, WriteEmbeddedMetadata({Software, {}}, m_folder.File(L"r.jpg").c_str(), 4, false, 0, false,
                                                  ChangeTime, nullptr));
}
