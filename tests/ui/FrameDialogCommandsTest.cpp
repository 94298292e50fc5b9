#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/dialogs/PageHost.h"
#include <functional>

namespace {
// The page of the options dialog that holds the control.
HWND OptionsControl(HWND dialog, int marker, int id)
{
    for (HWND page = GetWindow(GetDlgItem(dialog, 1057), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (GetDlgItem(page, marker)) return GetDlgItem(page, id);
    return nullptr;
}

// Answers the frame's dialogs: each is made modeless, driven, and closed with Cancel.
class DialogAnswers {
public:
    explicit DialogAnswers(std::function<void(HWND)> drive)
        : m_seam(ModalSeam{
              .messageBox =
                  [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
                      messages.push_back(text);
                      return IDOK;
                  },
              .modalDialog =
                  [this](HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM initParam) {
                      templates.push_back(templateId);
                      HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), owner, procedure,
                                                       initParam);
                      if (!dialog) return INT_PTR{-1};
                      if (m_drive) m_drive(dialog);
                      SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                      DestroyWindow(dialog);
                      return INT_PTR{IDCANCEL};
                  }}),
          m_drive(std::move(drive))
    {
    }

    std::vector<UINT> templates;
    std::vector<std::wstring> messages;

private:
    ScopedModalSeam m_seam;
    std::function<void(HWND)> m_drive;
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
    EXPECT_EQ((std::vector<UINT>{106, 104}), answers.templates);
}

TEST_F(FrameDialogCommandsTest, AChangedSortingIsAnnouncedOnceUnlessTheRestartNoticeWasShown)
{
    AppSettings::SortByDateTime = 0;
    {
        DialogAnswers answers([](HWND dialog) { SendMessageW(OptionsControl(dialog, 1032, 1102), BM_CLICK, 0, 0); });
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(std::vector<UINT>{108}, answers.templates);
        EXPECT_EQ(std::vector<std::wstring>{LoadUiString(10044)}, answers.messages);
        EXPECT_EQ(1u, AppSettings::SortByDateTime);
    }
    {
        DialogAnswers answers([](HWND dialog) {
            SendMessageW(OptionsControl(dialog, 1032, 1102), BM_CLICK, 0, 0);
            SendMessageW(OptionsControl(dialog, 1027, 1031), BM_CLICK, 0, 0);
        });
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(std::vector<std::wstring>{LoadUiString(10109)}, answers.messages);
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
