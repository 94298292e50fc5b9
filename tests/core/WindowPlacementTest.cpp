#include "Viewer/core/WindowPlacement.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>
#include <array>
#include <ostream>

namespace {
using Corners = std::array<LONG, 4>;

Corners CornersOf(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

struct ParseCase {
    const wchar_t* text;
    UINT length;
    UINT showCmd;
    Corners normal;
    int dpiX;
    int dpiY;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::wstring(c.text));
}

class PlacementTextParse : public testing::TestWithParam<ParseCase> {};

const ParseCase kParseCases[] = {
    {L"44 0 1 -10 -10 -1 -1 100 100 900 700 96 96", 44, 1, {100, 100, 900, 700}, 96, 96},
    // Written before the DPI numbers existed: still a placement, at DPI 0.
    {L"44 2 3 -1 -1 -1 -1 10 20 30 40", 44, 3, {10, 20, 30, 40}, 0, 0},
    {L"44 0 1 -1 -1 -1 -1 1 2 3 4 120 144 77 88", 44, 1, {1, 2, 3, 4}, 120, 144},
    {L"45 0 1 -1 -1 -1 -1 1 2 3 4 96 96", 45, 1, {1, 2, 3, 4}, 96, 96},
    {L"44 0 1 x 5", 44, 1, {0, 0, 0, 0}, 0, 0},
    {L"", 0, 0, {0, 0, 0, 0}, 0, 0},
};
}

TEST(PlacementText, IsThirteenNumbersSeparatedByOneBlank)
{
    WINDOWPLACEMENT p{};
    p.length = 44;
    p.flags = 2;
    p.showCmd = 3;
    p.ptMinPosition = {-10, -11};
    p.ptMaxPosition = {-1, -2};
    p.rcNormalPosition = {100, 101, 900, 701};
    EXPECT_EQ(L"44 2 3 -10 -11 -1 -2 100 101 900 701 120 96", FormatPlacementText(p, 120, 96));
}

TEST_P(PlacementTextParse, ReadsTheFieldsItHas)
{
    const ParseCase& c = GetParam();
    const ParsedPlacement parsed = ParsePlacementText(c.text);
    EXPECT_EQ(c.length, parsed.placement.length);
    EXPECT_EQ(c.showCmd, parsed.placement.showCmd);
    EXPECT_EQ(c.normal, CornersOf(parsed.placement.rcNormalPosition));
    EXPECT_EQ(c.dpiX, parsed.dpiX);
    EXPECT_EQ(c.dpiY, parsed.dpiY);
}
INSTANTIATE_TEST_SUITE_P(Cases, PlacementTextParse, testing::ValuesIn(kParseCases));

TEST(RectFit, ClampKeepsTheSizeAndSticksAnOversizedRectToTheLeftAndTop)
{
    const RECT area{0, 0, 1920, 1040};
    EXPECT_EQ((Corners{0, 10, 3000, 110}), CornersOf(ClampRectToArea(RECT{500, 10, 3500, 110}, area)));
    EXPECT_EQ((Corners{1820, 940, 1920, 1040}), CornersOf(ClampRectToArea(RECT{1900, 1000, 2000, 1100}, area)));
    EXPECT_EQ((Corners{0, 0, 100, 100}), CornersOf(ClampRectToArea(RECT{-50, -70, 50, 30}, area)));
    EXPECT_EQ((Corners{0, 0, 1920, 2000}), CornersOf(ClampRectToArea(RECT{0, 500, 1920, 2500}, area)));
}

TEST(RectFit, CentringDividesTowardZero)
{
    EXPECT_EQ((Corners{559, 219, 1360, 820}),
              CornersOf(FitRectToArea(RECT{0, 0, 801, 601}, RECT{0, 0, 1920, 1040}, true)));
    EXPECT_EQ((Corners{-40, 0, 1960, 100}),
              CornersOf(FitRectToArea(RECT{0, 0, 2000, 100}, RECT{0, -50, 1920, 150}, true)));
}

namespace {
// A plain top-level window whose placement the tests store and apply, in a private settings key.
class PlacementWindow : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExW(0, L"STATIC", L"placement", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_window);
    }
    void TearDown() override { DestroyWindow(m_window); }

    void Store(const wchar_t* name, const wchar_t* text)
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        ASSERT_EQ(ERROR_SUCCESS, key.SetString(name, text));
    }
    void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size));
    }
    WINDOWPLACEMENT Placement() const
    {
        WINDOWPLACEMENT p{};
        p.length = sizeof(p);
        GetWindowPlacement(m_window, &p);
        return p;
    }

    RegistrySandbox m_sandbox;
    HWND m_window = nullptr;
};
}

TEST_F(PlacementWindow, StoredValueRestoresANormalWindow)
{
    Store(L"AppWindow", L"44 0 1 -10 -10 -1 -1 100 100 900 700 96 96");
    EXPECT_TRUE(LoadWindowPlacement(m_window, -1, AppSettings::KeyPath, L"AppWindow"));
    EXPECT_EQ((Corners{100, 100, 900, 700}), CornersOf(Placement().rcNormalPosition));
    EXPECT_EQ(UINT{SW_SHOWNORMAL}, Placement().showCmd);
    EXPECT_TRUE(IsWindowVisible(m_window));
}

TEST_F(PlacementWindow, StoredMinimizedComesBackNormalUnlessTheCallerGivesTheShowCommand)
{
    Store(L"AppWindow", L"44 0 2 -1 -1 -1 -1 100 100 900 700 96 96");
    EXPECT_TRUE(RestoreWindowPlacement(m_window, L"AppWindow"));
    EXPECT_EQ(UINT{SW_SHOWNORMAL}, Placement().showCmd);
    EXPECT_FALSE(IsIconic(m_window));

    HWND hidden = CreateWindowExW(0, L"STATIC", L"hidden", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    EXPECT_TRUE(LoadWindowPlacement(hidden, SW_HIDE, AppSettings::KeyPath, L"AppWindow"));
    EXPECT_FALSE(IsWindowVisible(hidden));
    DestroyWindow(hidden);
}

TEST_F(PlacementWindow, RectangleOffTheMonitorsIsMovedBackIntoTheWorkArea)
{
    Store(L"AppWindow", L"44 0 1 -1 -1 -1 -1 50000 50000 50800 50600 96 96");
    EXPECT_TRUE(RestoreWindowPlacement(m_window, L"AppWindow"));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT normal = Placement().rcNormalPosition;
    EXPECT_EQ(monitor.rcWork.right, normal.right);
    EXPECT_EQ(monitor.rcWork.bottom, normal.bottom);
    EXPECT_EQ(800, normal.right - normal.left);
}

TEST_F(PlacementWindow, RescaleAdaptsTheSizeToTheCurrentDpi)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    wchar_t text[128]{};
    swprintf(text, std::size(text), L"44 0 1 -1 -1 -1 -1 100 100 900 500 %d %d", dpi * 2, dpi * 2);
    Store(L"HistogramWindow", text);
    EXPECT_TRUE(RestoreWindowPlacement(m_window, L"HistogramWindow", HKEY_CURRENT_USER, true));
    EXPECT_EQ((Corners{100, 100, 500, 300}), CornersOf(Placement().rcNormalPosition));
}

TEST_F(PlacementWindow, UnusableValuesOnlyShowTheWindow)
{
    const wchar_t unterminated[] = {L'4', L'4', L' ', L'0'};
    const char oddSize[] = "44 0 1";
    const DWORD number = 44;
    struct Case {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {L"WrongLength", REG_SZ, L"45 0 1 -1 -1 -1 -1 100 100 900 700 96 96", 84},
        {L"WrongType", REG_DWORD, &number, sizeof(number)},
        {L"Unterminated", REG_SZ, unterminated, sizeof(unterminated)},
        {L"OddSize", REG_SZ, oddSize, 5},
    };
    for (const Case& c : cases) {
        StoreRaw(c.name, c.type, c.data, c.size);
        ShowWindow(m_window, SW_HIDE);
        const WINDOWPLACEMENT before = Placement();
        EXPECT_FALSE(RestoreWindowPlacement(m_window, c.name)) << testing::PrintToString(std::wstring(c.name));
        EXPECT_TRUE(IsWindowVisible(m_window));
        EXPECT_EQ(CornersOf(before.rcNormalPosition), CornersOf(Placement().rcNormalPosition));
    }
    EXPECT_FALSE(RestoreWindowPlacement(m_window, L"Missing"));
}

TEST_F(PlacementWindow, MissingKeyOnlyShowsTheWindow)
{
    EXPECT_FALSE(LoadWindowPlacement(m_window, -1, L"SOFTWARE\\NoSuchKey", L"AppWindow"));
    EXPECT_TRUE(IsWindowVisible(m_window));
}

TEST_F(PlacementWindow, SavedPlacementReadsBackTheSame)
{
    SetWindowPos(m_window, nullptr, 120, 130, 640, 480, SWP_NOZORDER);
    ASSERT_TRUE(SaveWindowPlacement(m_window, L"AppWindow"));
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath));
    const std::wstring text = key.QueryString(L"AppWindow").value_or(L"");
    const ParsedPlacement parsed = ParsePlacementText(text);
    EXPECT_EQ(44u, parsed.placement.length);
    EXPECT_EQ((Corners{120, 130, 760, 610}), CornersOf(parsed.placement.rcNormalPosition));
    EXPECT_GT(parsed.dpiX, 0);
    EXPECT_EQ(text, FormatPlacementText(parsed.placement, parsed.dpiX, parsed.dpiY));
}

TEST(PlacementSave, KeyThatCannotBeCreatedWritesNothing)
{
    WINDOWPLACEMENT p{};
    p.length = 44;
    EXPECT_FALSE(SaveGivenWindowPlacement(p, L"AppWindow", reinterpret_cast<HKEY>(INT_PTR{0x12345})));
}
