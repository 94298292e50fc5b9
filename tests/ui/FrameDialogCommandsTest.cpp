#include "tests/ui/FrameTest.h"
#include "tests/support/DialogDriver.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/dialogs/PageHost.h"
#include "Viewer/engine/CacheSizer.h"
#include <commctrl.h>
#include <functional>

namespace {
// The page of the options dialog that holds the control.
HWND OptionsControl(HWND dialog, int marker, int id)
{
    for (HWND page = GetWindow(GetDlgItem(dialog, 1057), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, marker)) return GetDlgItem(page, id);
    return nullptr;
}

// Answers the frame's dialogs: each is driven, then closed with Cancel or the button given.
class DialogAnswers {
public:
    explicit DialogAnswers(std::function<void(HWND)> drive, WPARAM closeWith = IDCANCEL)
        : m_driver([drive = std::move(drive), closeWith](HWND dialog) {
              if (drive) drive(dialog);
              SendMessageW(dialog, WM_COMMAND, closeWith, 0);
          })
    {
    }

    const std::vector<UINT>& Templates() const { return m_driver.templates; }
    std::vector<std::wstring> Messages() const
    {
        std::vector<std::wstring> texts;
        for (const ShownMessage& message : m_driver.messages) texts.push_back(message.text);
        return texts;
    }

private:
    DialogDriver m_driver;
};

// Counts the paintings of a window from now on.
class PaintCounter {
public:
    explicit PaintCounter(HWND window) : m_window(window) { SetWindowSubclass(window, &Count, 1, reinterpret_cast<DWORD_PTR>(this)); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    ~PaintCounter() { RemoveWindowSubclass(m_window, &Count, 1); }
    int paints = 0;

private:
    static LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
    {
        if (message == WM_PAINT) ++reinterpret_cast<PaintCounter*>(self)->paints;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND m_window;
};

class FrameDialogCommandsTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        RegKey settings;
        settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath);
        m_sort = AppSettings::SortByDateTime;
        m_memory = AppSettings::MemoryUsageGuideNumber;
        LastOptionsPage = 0;
    }
    void TearDown() override
    {
        AppSettings::SortByDateTime = m_sort;
        AppSettings::MemoryUsageGuideNumber = m_memory;
        LastOptionsPage = 0;
        FrameTest::TearDown();
    }

private:
    DWORD m_sort = 0;
    DWORD m_memory = 0;
};
}

TEST_F(FrameDialogCommandsTest, HelpAndAboutOpenTheirTemplates)
{
    DialogAnswers answers(nullptr);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_HELP_DIALOG, 0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_ABOUT, 0);
    EXPECT_EQ((std::vector<UINT>{106, 104}), answers.Templates());
}

TEST_F(FrameDialogCommandsTest, AChangedSortingIsAnnouncedOnceUnlessTheRestartNoticeWasShown)
{
    AppSettings::SortByDateTime = 0;
    {
        DialogAnswers answers([](HWND dialog) { SendMessageW(OptionsControl(dialog, 1032, 1102), BM_CLICK, 0, 0); });
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(std::vector<UINT>{108}, answers.Templates());
        EXPECT_EQ(std::vector<std::wstring>{LoadUiString(10044)}, answers.Messages());
        EXPECT_EQ(1u, AppSettings::SortByDateTime);
    }
    {
        DialogAnswers answers([](HWND dialog) {
            SendMessageW(OptionsControl(dialog, 1032, 1102), BM_CLICK, 0, 0);
            SendMessageW(OptionsControl(dialog, 1027, 1031), BM_CLICK, 0, 0);
        });
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(std::vector<std::wstring>{LoadUiString(10109)}, answers.Messages());
        EXPECT_EQ(0u, AppSettings::SortByDateTime);
    }
}

TEST_F(FrameDialogCommandsTest, TheOptionsStoreTheirNormalisedValuesWhateverTheResult)
{
    AppSettings::MemoryUsageGuideNumber = 500;
    DialogAnswers answers(nullptr);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
    RegKey settings;
    ASSERT_EQ(ERROR_SUCCESS, settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath));
    EXPECT_EQ(96u, settings.QueryDword(L"MemoryUsageGuideNumber").value_or(0));
    EXPECT_EQ(96u, AppSettings::MemoryUsageGuideNumber);
}

TEST_F(FrameDialogCommandsTest, AfterOkTheCacheIsRecomputedAndAnOpenPanelRepaintsAtOnce)
{
    CImageEngine& engine = m_frame.Engine();
    const uint64_t available = uint64_t(300) << 20;
    engine.SetMemoryProbe([available] { return MemoryReading{available, 10}; });
    AppSettings::MemoryUsageGuideNumber = 32;
    engine.SetCacheQuotas(CacheQuotas{7, 7});
    m_frame.View().ToggleHistogramPanel();
    ASSERT_TRUE(m_frame.View().Histogram().IsWindow());
    ImageInfo info;
    m_frame.View().Histogram().SetImageInfo(&info);
    {
        PaintCounter counter(m_frame.View().Histogram().m_hWnd);
        DialogAnswers answers(
            [](HWND dialog) { SendMessageW(OptionsControl(dialog, 1120, 1123), TBM_SETPOS, TRUE, 64); }, IDOK);
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(64u, AppSettings::MemoryUsageGuideNumber);
        EXPECT_EQ(QuotasForFreeMemory(available, 64, AppSettings::DownscaleLargeImages), engine.GetCacheQuotas());
        EXPECT_GT(counter.paints, 0) << "the panel repaints before the command returns";
    }
    m_frame.View().Histogram().ForgetImageInfo();
    m_frame.View().ToggleHistogramPanel();
}
