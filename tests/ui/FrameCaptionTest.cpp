#include "tests/ui/FrameTest.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/engine/ImageEntry.h"
#include <commctrl.h>

namespace {
EntryRef Entry(const wchar_t* base, uint16_t pageIndex = 0, uint16_t pageCount = 1)
{
    return MakeEntry(nullptr, std::wstring(base), nullptr, pageIndex, pageCount, L"jpg", false);
}

TEST(CaptionTextTest, TheNameTextShowsCompanionsAndPagesAndTheCaptionItsFileName)
{
    EntryRef single = Entry(L"C:\\p\\a");
    ASSERT_TRUE(single->AddCompanionExtension(L"cr2"));
    EXPECT_EQ(L"C:\\p\\a.jpg+cr2", BuildNameText(*single));
    EntryRef page = Entry(L"C:\\p\\scan", 1, 5);
    EXPECT_EQ(L"C:\\p\\scan.jpg [2/5]", BuildNameText(*page));

    EXPECT_EQ(L"a.jpg+cr2 - Lumenfold", BuildCaption(L"C:\\p\\a.jpg+cr2", true, L"Lumenfold"));
    EXPECT_EQ(L"Lumenfold", BuildCaption(L"C:\\p\\a.jpg+cr2", false, L"Lumenfold"));
    EXPECT_EQ(L"Lumenfold", BuildCaption(L"", true, L"Lumenfold"));
    EXPECT_EQ(L"", BuildCaption(L"", true, L""));
}

TEST(StatusLineTest, MarksZoomPositionSortSlotBookmarkAndModeInTheirPlaces)
{
    const ScopedResourceModule library{L"Lumenfold.Core.EN.dll"};
    const std::wstring byName = LoadUiString(10073);
    const std::wstring byDate = LoadUiString(10074);
    EntryRef rated = Entry(L"C:\\p\\a");
    rated->rating = 3;
    rated->label = 2;
    *rated->GetCopiedFlag() = 1;
    EntryRef slotted = Entry(L"C:\\p\\b");
    slotted->quickSlot = 4;
    rated->SwapBookmarkName(L"Best");

    StatusFacts facts;
    facts.position = L"7";
    facts.count = L"1,234";
    facts.entry = rated.Get();
    facts.zoomPercentage = 50;
    const std::wstring marks = LoadUiString(10068) + L", rating 3, label 2";
    EXPECT_EQ(L"[" + marks + L"] 50%  7/1,234  " + byName + L" [Best]", BuildStatusLine(facts));

    facts.entry = slotted.Get();
    facts.sortByDateTime = 2;
    facts.slideshow = true;
    EXPECT_EQ(L"50%  7/1,234  " + byDate + L" [4]  " + LoadUiString(10062), BuildStatusLine(facts));

    facts.entry = nullptr;
    facts.sortByDateTime = 9;
    facts.slideshow = false;
    facts.trackMode = true;
    EXPECT_EQ(L"50%  7/1,234  " + LoadUiString(10064), BuildStatusLine(facts));
}

TEST(StatusLineTest, DeviceModeNamesItsDevicesOrSaysItWaitsOrImports)
{
    const ScopedResourceModule library{L"Lumenfold.Core.EN.dll"};
    const struct {
        bool network, importing;
        size_t count;
        const wchar_t* names;
        std::wstring suffix;
    } cases[] = {
        {false, false, 0, L"", L"  " + LoadUiString(10061)},
        {false, false, 2, L"Alpha+Beta", L"  [Alpha+Beta]"},
        {false, true, 2, L"Alpha+Beta", L"  " + LoadUiString(10063)},
        {true, false, 2, L"Alpha+Beta", L"  " + LoadUiString(10066)},
    };
    for (const auto& c : cases) {
        StatusFacts facts;
        facts.position = L"1";
        facts.count = L"2";
        facts.sortByDateTime = 9;
        facts.deviceMode = true;
        facts.networkFolder = c.network;
        facts.importing = c.importing;
        facts.deviceCount = c.count;
        facts.deviceNames = c.names;
        EXPECT_EQ(L"100%  1/2" + c.suffix, BuildStatusLine(facts)) << c.count << c.importing << c.network;
    }
}

// Counts the texts set on a window.
LRESULT CALLBACK CountSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count)
{
    if (message == WM_SETTEXT) ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

using FrameCaptionTest = FrameTest;

TEST_F(FrameCaptionTest, TheCaptionIsSetOnlyWhenItChanges)
{
    int setTexts = 0;
    ASSERT_TRUE(SetWindowSubclass(m_frame.m_hWnd, CountSetText, 1, reinterpret_cast<DWORD_PTR>(&setTexts)));
    const DWORD fileNameInCaption = AppSettings::EnableFileNameInCaption;
    AppSettings::EnableFileNameInCaption = 1;
    EntryRef entry = Entry(L"C:\\p\\a");
    m_frame.Caption().SetTitleForEntry(entry.Get(), false, false);
    m_frame.Caption().SetTitleForEntry(entry.Get(), false, false);
    wchar_t caption[260]{};
    GetWindowTextW(m_frame.m_hWnd, caption, 260);
    EXPECT_EQ(L"a.jpg - " + std::wstring(m_frame.ProgramTitle().View()), caption);
    EXPECT_EQ(1, setTexts);
    EXPECT_EQ(L"C:\\p\\a.jpg", m_frame.Caption().NameText().View());

    // While it loads the name label says so and the caption keeps the file's name.
    SendMessageW(m_frame.m_hWnd, WM_APP_DECODE_WAIT_BEGIN, 0, reinterpret_cast<LPARAM>(entry.Get()));
    EXPECT_EQ(LoadUiString(10060), m_frame.Caption().NameText().View());
    EXPECT_EQ(1, setTexts);
    RemoveWindowSubclass(m_frame.m_hWnd, CountSetText, 1);
    AppSettings::EnableFileNameInCaption = fileNameInCaption;
}
}
