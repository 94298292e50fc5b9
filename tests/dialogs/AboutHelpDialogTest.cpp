#include "Viewer/dialogs/AboutDialog.h"
#include "Viewer/dialogs/HelpDialog.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::wstring ControlText(HWND dialog, int id)
{
    wchar_t text[512]{};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
    return text;
}

void Command(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class AboutHelpDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_library.Loaded()); }
    ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
};
}

TEST_F(AboutHelpDialogTest, AboutShowsTheVersionAndOpensItsLinksThroughTheShell)
{
    DialogDriver driver([](HWND dialog) {
        wchar_t version[260]{};
        GetAppVersion(nullptr, nullptr, nullptr, nullptr, version, std::size(version), L"Build");
        EXPECT_EQ(std::wstring(L"Version ") + version, ControlText(dialog, CAboutDialog::VersionLine));
        EXPECT_EQ(LoadUiString(10000), ControlText(dialog, CAboutDialog::WebSiteLink));
        EXPECT_EQ(LoadUiString(10001), ControlText(dialog, CAboutDialog::MailLink));
        Command(dialog, CAboutDialog::WebSiteLink);
        Command(dialog, CAboutDialog::MailLink);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "a link leaves the dialog open";
        Command(dialog, CAboutDialog::CloseButton);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    CAboutDialog dialog;
    dialog.DoModal(nullptr);
    EXPECT_EQ(std::vector<UINT>{104}, driver.templates);
    ASSERT_EQ(2u, driver.opened.size());
    EXPECT_EQ(CAboutDialog::WebSite, driver.opened[0].file);
    EXPECT_EQ(LoadUiString(10010), driver.opened[1].file);
    EXPECT_EQ(L"open", driver.opened[1].verb);
}

TEST_F(AboutHelpDialogTest, HelpOpensTheOnlineHelpAndShowsItsHeadingsInBold)
{
    DialogDriver driver([](HWND dialog) {
        EXPECT_EQ(LoadUiString(10003), ControlText(dialog, CHelpDialog::HelpLink));
        for (int heading : {CHelpDialog::FirstHeading, CHelpDialog::SecondHeading}) {
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, heading, WM_GETFONT, 0, 0)), sizeof(font), &font);
            EXPECT_EQ(FW_BOLD, font.lfWeight) << heading;
        }
        Command(dialog, CHelpDialog::HelpLink);
        Command(dialog, IDOK);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    CHelpDialog dialog;
    dialog.DoModal(nullptr);
    ASSERT_EQ(1u, driver.opened.size());
    EXPECT_EQ(CHelpDialog::HelpPage, driver.opened[0].file);
}

TEST_F(AboutHelpDialogTest, ALinkClickReachesTheDialogAsAButtonClick)
{
    DialogDriver driver([](HWND dialog) {
        HWND link = GetDlgItem(dialog, CHelpDialog::HelpLink);
        SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(IsWindowVisible(dialog));
    });
    CHelpDialog dialog;
    dialog.DoModal(nullptr);
    ASSERT_EQ(1u, driver.opened.size());
}
