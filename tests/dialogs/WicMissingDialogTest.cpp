#include "Viewer/dialogs/WicMissingDialog.h"
#include "Viewer/core/GdiPlus.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

namespace {
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

TEST(WicMissingDialog, EachLinkShowsItsAddressAsATooltip)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    DialogDriver driver([](HWND dialog) {
        std::vector<HWND> tooltips;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                wchar_t name[64]{};
                GetClassNameW(window, name, 64);
                if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&tooltips));
        for (WORD id : kLinks) {
            std::wstring shown;
            for (HWND tooltip : tooltips) {
                wchar_t text[512]{};
                TTTOOLINFOW tool{};
                tool.cbSize = sizeof(tool);
                tool.hwnd = dialog;
                tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
                tool.lpszText = text;
                SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
                if (*text) shown = text;
            }
            EXPECT_EQ(CWicMissingDialog::LinkText(id), shown) << id;
        }
    });
    CWicMissingDialog dialog;
    dialog.DoModal(nullptr);
}

TEST(WicMissingDialog, PaintsItsBackgroundPictureStretchedToTheDialog)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    GdiPlusAcquire();
    std::vector<UINT> asked;
    SkinImageLoader loader = [&asked](UINT id) {
        asked.push_back(id);
        auto picture = std::make_unique<Gdiplus::Bitmap>(40, 30, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(picture.get());
        graphics.Clear(Gdiplus::Color(255, 10, 120, 30));
        return picture;
    };
    DialogDriver driver([](HWND dialog) {
        RECT client{};
        GetClientRect(dialog, &client);
        HDC screen = GetDC(dialog);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
        EXPECT_EQ(RGB(10, 120, 30), GetPixel(memory, client.right / 2, client.bottom / 2));
        EXPECT_EQ(RGB(10, 120, 30), GetPixel(memory, client.right * 3 / 4, client.bottom * 3 / 4));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(dialog, screen);
    });
    {
        CWicMissingDialog dialog(loader);
        dialog.DoModal(nullptr);
    }
    GdiPlusRelease();
    EXPECT_EQ((std::vector<UINT>{218, 219, 201, 200}), asked) << "the background, then the OK button's images";
}
