#include "Viewer/dialogs/WicMissingDialog.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {
std::wstring ControlText(HWND dialog, int id)
{
    wchar_t text[512]{};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
    return text;
}

LONG ControlFontWeight(HWND dialog, int id)
{
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0));
    GetObjectW(handle ? static_cast<HGDIOBJ>(handle) : GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    return font.lfWeight;
}

constexpr WORD kLinks[] = {CWicMissingDialog::IDC_LINK_DOWNLOAD, CWicMissingDialog::IDC_LINK_MIRROR,
                           CWicMissingDialog::IDC_LINK_REDIRECT, CWicMissingDialog::IDC_LINK_ARTICLE};
}

TEST(WicMissingDialog, ShowsItsFourLinksWithTheRecommendedOneInBold)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    DialogDriver driver([](HWND dialog) {
        for (WORD id : kLinks) EXPECT_EQ(CWicMissingDialog::LinkText(id), ControlText(dialog, id)) << id;
        EXPECT_EQ(FW_BOLD, ControlFontWeight(dialog, CWicMissingDialog::IDC_LINK_REDIRECT));
        EXPECT_LT(ControlFontWeight(dialog, CWicMissingDialog::IDC_LINK_DOWNLOAD), FW_BOLD);
    });
    CWicMissingDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ(std::vector<UINT>{116}, driver.templates);
}

TEST(WicMissingDialog, EachLinkOpensItsPageAndTheDialogStaysOpen)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    DialogDriver driver([](HWND dialog) {
        for (WORD id : kLinks) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), 0);
            EXPECT_TRUE(IsWindow(dialog));
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the link " << id << " must leave the dialog open";
        }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "OK ends the dialog";
    });
    CWicMissingDialog dialog;
    dialog.DoModal(nullptr);
    ASSERT_EQ(std::size(kLinks), driver.opened.size());
    for (size_t i = 0; i < std::size(kLinks); ++i) {
        EXPECT_EQ(L"open", driver.opened[i].verb);
        EXPECT_EQ(CWicMissingDialog::LinkTarget(kLinks[i]), driver.opened[i].file);
    }
}
