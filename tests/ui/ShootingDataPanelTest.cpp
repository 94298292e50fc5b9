#include "tests/ui/PanelFixture.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/ui/ShootingDataText.h"
#include <functional>

namespace {
using Fill = std::function<void(ImageInfo&)>;

struct TextCase {
    const char* name;
    Fill fill;
    std::wstring heading;  // empty: the language library's title
    std::wstring block;
};

void PrintTo(const TextCase& c, std::ostream* out)
{
    *out << c.name;
}

void Exposure(ImageInfo& i, double seconds, int numerator, int denominator)
{
    i.flags |= ImageInfoExposureTime;
    i.exposureTime = seconds;
    i.exposureNumerator = numerator;
    i.exposureDenominator = denominator;
}

void Size(ImageInfo& i, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height, bool rotated)
{
    i.sourceWidth = sourceWidth;
    i.sourceHeight = sourceHeight;
    i.width = width;
    i.height = height;
    i.rotated = rotated ? 1 : 0;
}

const TextCase kTextCases[] = {
    {"1/250 stored as such", [](ImageInfo& i) { Exposure(i, 0.004, 1, 250); }, L"1/250s", L""},
    {"1/250 stored as 10/2500", [](ImageInfo& i) { Exposure(i, 0.004, 10, 2500); }, L"1/250s", L""},
    {"0.6 s as 6/10", [](ImageInfo& i) { Exposure(i, 0.6, 6, 10); }, L"1/1s", L""},
    {"whole and half seconds", [](ImageInfo& i) { Exposure(i, 2.5, 5, 2); }, L"2.5s", L""},
    {"aperture, ISO and bias",
     [](ImageInfo& i) {
         Exposure(i, 2.0, 2, 1);
         i.flags |= ImageInfoFNumber | ImageInfoIsoSpeed | ImageInfoExposureBias;
         i.fNumber = 5.6;
         i.isoSpeed = 400;
         i.exposureBias = -0.7;
     },
     L"2s, f/5.6, ISO400, -0.7Ev", L""},
    {"whole aperture and zero bias",
     [](ImageInfo& i) {
         i.flags |= ImageInfoFNumber | ImageInfoExposureBias;
         i.fNumber = 8;
         i.exposureBias = 0;
     },
     L"f/8, +0Ev", L""},
    {"three lines",
     [](ImageInfo& i) {
         i.flags |= ImageInfoIsoSpeed | ImageInfoExposureProgram | ImageInfoMeteringMode | ImageInfoFlash |
                    ImageInfoWhiteBalance | ImageInfoLightSource | ImageInfoFocalLength | ImageInfoSubjectDistance |
                    ImageInfoProfileName | ImageInfoCameraModel | ImageInfoLensModel | ImageInfoComment;
         i.isoSpeed = 100;
         i.exposureProgram = 3;
         i.meteringMode = 5;
         i.flash = 1;
         i.whiteBalance = 0;
         i.lightSource = 20;
         i.focalLength = 50;
         i.subjectDistance = 25;
         i.profileName = Bstr(L"sRGB");
         i.cameraModel = Bstr(L"Cam");
         i.lensModel = Bstr(L"Lens");
         i.comment = Bstr(L"Note");
         Size(i, 6000, 4000, 3000, 2000, false);
     },
     L"ISO100",
     L"Mode: A, Meter: Matrix, Flash, Auto WB, D55\r\nFocal: 50mm, Distance: 25m, sRGB\r\n"
     L"24.0MP* (6,000x4,000) Cam, Lens, Note"},
    {"focal length opens the block, distance starts a new line",
     [](ImageInfo& i) {
         i.flags |= ImageInfoFocalLength | ImageInfoSubjectDistance | ImageInfoFlash | ImageInfoLightSource;
         i.focalLength = 35;
         i.subjectDistance = 3.54;
         i.flash = 0;
         i.lightSource = 255;  // no name: no item
     },
     L"", L"No Flash\r\nFocal: 35mm, Distance: 3.5m"},
    {"a profile without exposure values is named as one",
     [](ImageInfo& i) {
         i.flags |= ImageInfoProfileName;
         i.profileName = Bstr(L"Adobe RGB");
     },
     L"", L"Color Profile: Adobe RGB"},
    {"size alone opens the block and the camera goes on a new line",
     [](ImageInfo& i) {
         i.flags |= ImageInfoCameraModel;
         i.cameraModel = Bstr(L"Cam");
         Size(i, 6000, 4000, 4000, 6000, true);  // a quarter turn at full size: no star
     },
     L"", L"24.0MP (6,000x4,000)\r\nCam"},
    {"a picture without capture data shows its size",
     [](ImageInfo& i) { Size(i, 300, 200, 300, 200, false); }, L"", L"60.0KP (300x200)"},
    {"unknown program and metering give no items",
     [](ImageInfo& i) {
         i.flags |= ImageInfoExposureProgram | ImageInfoMeteringMode | ImageInfoWhiteBalance;
         i.exposureProgram = 9;
         i.meteringMode = 255;
         i.whiteBalance = 2;
     },
     L"", L""},
};

class ShootingDataTexts : public testing::TestWithParam<TextCase> {};
}

TEST_P(ShootingDataTexts, HeadingAndBlock)
{
    const TextCase& c = GetParam();
    ImageInfo info;
    c.fill(info);
    NumberFormatRecord numbers;
    numbers.locale = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    const ShootingDataText text = BuildShootingDataText(&info, numbers);
    EXPECT_EQ(c.heading.empty() ? LoadUiString(10091) : c.heading, text.heading);
    EXPECT_EQ(c.block, text.block);
}
INSTANTIATE_TEST_SUITE_P(Cases, ShootingDataTexts, testing::ValuesIn(kTextCases));

TEST(ShootingDataText, NoPictureShowsTheTitleAloneAtTheLowerOpacity)
{
    NumberFormatRecord numbers;
    const ShootingDataText text = BuildShootingDataText(nullptr, numbers);
    EXPECT_EQ(LoadUiString(10091), text.heading);
    EXPECT_EQ(L"", text.block);
    EXPECT_FLOAT_EQ(0.57f, text.minOpacity);
}

TEST(ShootingDataText, LightSourceNames)
{
    EXPECT_STREQ(L"", GetLightSourceName(0));
    EXPECT_STREQ(L"D55", GetLightSourceName(20));
    EXPECT_STREQ(L"ISO Tungsten", GetLightSourceName(24));
    EXPECT_STREQ(L"", GetLightSourceName(16));
    EXPECT_STREQ(L"", GetLightSourceName(255));
}

// The camera's clock is local time already: whatever the zone of the machine, 10:29:31 stays 10:29:31.
TEST(ShootingDataText, TheCaptureDateIsShownAsTheCameraRecordedIt)
{
    SYSTEMTIME taken{2024, 6, 0, 15, 10, 29, 31, 0};
    FILETIME stored{};
    ASSERT_TRUE(SystemTimeToFileTime(&taken, &stored));
    const std::wstring text = CaptureDateText(stored);
    EXPECT_NE(std::wstring::npos, text.find(L"10:29:31")) << testing::PrintToString(text);
    EXPECT_NE(std::wstring::npos, text.find(L"15")) << testing::PrintToString(text);
}

TEST_F(PanelWindowTest, TheShootingDataPanelDrawsItsHeadingAndBlock)
{
    Command(ID_SHOW_SHOOTING_DATA);
    CShootingDataWindow& panel = View().ShootingData();
    ImageInfo info;
    info.flags = ImageInfoIsoSpeed | ImageInfoFocalLength;
    info.isoSpeed = 200;
    info.focalLength = 50;
    info.sourceWidth = info.width = 300;
    info.sourceHeight = info.height = 200;
    panel.SetImageInfo(&info);
    const PanelPixels pixels = PrintClient(panel.m_hWnd);
    ASSERT_EQ(365, pixels.width);
    ASSERT_EQ(73, pixels.height);
    EXPECT_GT(pixels.InkIn(RECT{5, 2, 120, 26}, 60), 30);   // the bold heading
    EXPECT_GT(pixels.InkIn(RECT{5, 30, 200, 70}, 90), 30);  // the block's lines
    EXPECT_FLOAT_EQ(0.78f, panel.Fade().minOpacity);

    View().ClearPanelsImageInfo();
    EXPECT_EQ(nullptr, panel.Information());
    EXPECT_FLOAT_EQ(0.57f, panel.Fade().minOpacity);
}
