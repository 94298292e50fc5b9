// The main road: the viewer started on a folder of pictures shows the first one on screen, and Page
// Down steps to the next, with and without hardware acceleration.
#include "tests/imaging/TestPictures.h"
#include "tests/process/ViewerFixture.h"
#include "tests/process/ViewerWithoutSystemLibrary.h"
#include <gmock/gmock.h>
#include "tests/support/ScopedComApartment.h"

namespace {

constexpr Rgba kFirstColour{30, 160, 90, 255};
constexpr Rgba kSecondColour{200, 40, 70, 255};
constexpr DWORD kShowTimeoutMs = 30000;

bool Near(COLORREF pixel, Rgba colour)
{
    return std::abs(GetRValue(pixel) - colour.r) <= 12 && std::abs(GetGValue(pixel) - colour.g) <= 12 &&
           std::abs(GetBValue(pixel) - colour.b) <= 12;
}

// The screen's pixel as the display server holds it, copied out of the desktop's DC.
COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    const COLORREF pixel = GetPixel(memory, 0, 0);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// Waits until the screen shows the colour at the centre of the window, kept above the windows of
// tests running beside this one.
bool ScreenShows(HWND window, Rgba colour, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        SetWindowPos(GetAncestor(window, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RECT rect{};
        GetWindowRect(window, &rect);
        const COLORREF centre = ScreenPixel((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        if (Near(centre, colour)) return true;
        Sleep(100);
    } while (GetTickCount64() < end);
    return false;
}

class MainRoadProcess : public ViewerFixture {
protected:
    // Every test has the two pictures a.png and b.png in a folder of their own.
    void SetUp() override
    {
        const ScopedComApartment apartment;
        WriteTestPicture(m_pictures.File(L"a.png"), GUID_ContainerFormatPng, {PlainFrame(640, 480, kFirstColour)});
        WriteTestPicture(m_pictures.File(L"b.png"), GUID_ContainerFormatPng, {PlainFrame(640, 480, kSecondColour)});
    }
    static void PageDown(HWND frame)
    {
        PostMessageW(frame, WM_KEYDOWN, VK_NEXT, 0);
        PostMessageW(frame, WM_KEYUP, VK_NEXT, 0xC0000001);
    }

    TempFolder m_pictures;
};

}  // namespace

TEST_F(MainRoadProcess, AViewerStartedOnAFolderShowsItsFirstPictureOnScreenAndPageDownTheNext)
{
    StoreEarlierRun(false);
    ViewerProcess viewer(Quoted(m_pictures.Path()), Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    const HWND view = FindViewWindow(frame);
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(ScreenShows(view, kFirstColour, kShowTimeoutMs));
    PageDown(frame);
    EXPECT_TRUE(ScreenShows(view, kSecondColour, kShowTimeoutMs));
}

// Presented frames of a child window do not reach the virtual display's screen here, so this road
// is followed by the caption; its pixels are checked on the back buffer by the view's own tests.
TEST_F(MainRoadProcess, WithHardwareAccelerationTheViewerStartsOnTheDeviceAndSteps)
{
    StoreEarlierRun(true);
    ViewerProcess viewer(Quoted(m_pictures.Path()), Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(Log().WaitFor(L"name", m_pictures.File(L"a.png"), kShowTimeoutMs));
    PageDown(frame);
    EXPECT_TRUE(Log().WaitFor(L"name", m_pictures.File(L"b.png"), kShowTimeoutMs));
    // The floating tool windows are dialogs too: a box would be in the log.
    EXPECT_TRUE(Log().Texts(L"messagebox").empty()) << "no box about the device";
}

TEST_F(MainRoadProcess, StartedOnAFileItShowsThatFileAndASecondStartSwitchesToAnother)
{
    StoreEarlierRun(false);
    ViewerProcess viewer(Quoted(m_pictures.File(L"b.png")), Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    const HWND view = FindViewWindow(frame);
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(ScreenShows(view, kSecondColour, kShowTimeoutMs));

    ViewerProcess second(Quoted(m_pictures.File(L"a.png")), Environment(L"second.log"));
    EXPECT_EQ(0u, second.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_TRUE(ScreenShows(view, kFirstColour, kShowTimeoutMs));
}

TEST_F(MainRoadProcess, HomeAndEndKeysShowTheFirstAndTheLastPicture)
{
    StoreEarlierRun(false);
    ViewerProcess viewer(Quoted(m_pictures.File(L"a.png")), Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(Log().WaitFor(L"name", m_pictures.File(L"a.png"), kShowTimeoutMs));
    PostMessageW(frame, WM_KEYDOWN, VK_END, 0);
    EXPECT_TRUE(Log().WaitFor(L"name", m_pictures.File(L"b.png"), kShowTimeoutMs));
    PostMessageW(frame, WM_KEYDOWN, VK_HOME, 0);
    const ULONGLONG end = GetTickCount64() + kShowTimeoutMs;
    std::vector<std::wstring> names;
    do {
        names = Log().Texts(L"name");
        if (!names.empty() && names.back() == m_pictures.File(L"a.png")) break;
        Sleep(50);
    } while (GetTickCount64() < end);
    EXPECT_EQ(m_pictures.File(L"a.png"), names.empty() ? L"" : names.back());
}

// Wine's drive Z: is the root of the host's file system, a drive root that is always there.
TEST_F(MainRoadProcess, ADriveRootOpensAsAFolder)
{
    StoreEarlierRun(false);
    ViewerProcess viewer(L"Z:\\", Environment());
    ASSERT_NE(nullptr, viewer.WaitForFrame(kStartTimeoutMs));
    EXPECT_TRUE(Log().WaitFor(L"open", L"Z:\\", kShowTimeoutMs)) << testing::PrintToString(Log().Lines());
    EXPECT_TRUE(Log().Texts(L"messagebox").empty()) << testing::PrintToString(Log().Lines());
}

TEST_F(MainRoadProcess, AFolderWithATrailingBackslashOpensAsAFolderAndAMissingPathIsNamed)
{
    StoreEarlierRun(false);
    {
        ViewerProcess viewer(Quoted(m_pictures.Path() + L"\\\\"), Environment());
        ASSERT_NE(nullptr, viewer.WaitForFrame(kStartTimeoutMs));
        EXPECT_TRUE(Log().WaitFor(L"name", m_pictures.File(L"a.png"), kShowTimeoutMs)) << testing::PrintToString(Log().Lines());
    }
    const std::wstring missing = m_pictures.File(L"gone.png");
    ViewerProcess viewer(Quoted(missing), Environment(L"missing.log"));
    ASSERT_NE(nullptr, viewer.WaitForFrame(kStartTimeoutMs));
    ASSERT_TRUE(Log(L"missing.log").WaitFor(L"messagebox", std::nullopt, kShowTimeoutMs));
    // The box's text runs over several lines of the log: its first line, then the path on its own.
    const std::wstring box = Log(L"missing.log").Texts(L"messagebox").front();
    const std::wstring intro = LanguageLibraryString(10190);
    EXPECT_EQ(0u, box.find(L"|" + intro.substr(0, intro.find(L'\n'))) - box.find(L'|')) << box;
    EXPECT_THAT(Log(L"missing.log").Lines(), testing::Contains(missing));
}

// Without Direct3D the viewer says once that it runs without hardware acceleration, and paints the
// picture through GDI+ all the same.
TEST_F(MainRoadProcess, WhenDirect3DCannotStartTheViewerSaysSoAndShowsThePictureAllTheSame)
{
    StoreEarlierRun(true);
    ViewerWithoutSystemLibrary withoutDirect3D(L"d3d9");
    ASSERT_FALSE(withoutDirect3D.Program().empty());
    ViewerProcess viewer(Quoted(m_pictures.Path()), Environment(), withoutDirect3D.Program());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(Log().WaitFor(L"messagebox", std::nullopt, kShowTimeoutMs));
    EXPECT_EQ(std::vector<std::wstring>{L"Lumenfold|" + LanguageLibraryString(10170)}, Log().Texts(L"messagebox"))
        << testing::PrintToString(Log().Lines());
    const HWND view = FindViewWindow(frame);
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(ScreenShows(view, kFirstColour, kShowTimeoutMs));
}
