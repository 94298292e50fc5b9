#include "Viewer/dialogs/AboutDialog.h"
#include "Viewer/dialogs/HelpDialog.h"
#include "Viewer/dialogs/OptionsDialog.h"
#include "Viewer/dialogs/WicMissingDialog.h"
#include "tests/dialogs/SkinTestWindows.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace {
// Runs one of the dark dialogs with a skin loader; the driver does the rest.
using DialogRun = std::function<void(SkinImageLoader)>;

template <class Dialog>
DialogRun Plain()
{
    return [](SkinImageLoader loader) {
        Dialog dialog(std::move(loader));
        dialog.DoModal(nullptr);
    };
}

DialogRun Options()
{
    return [](SkinImageLoader loader) {
        COptionsDialog dialog(OptionsServices{.loadSkinImage = std::move(loader)});
        dialog.DoModal(nullptr);
    };
}

struct Case {
    const char* name;
    DialogRun run;
};
}

TEST(DialogButtons, TheDarkDialogsDrawTheirOkButtonFromTheSkinImagesInEachState)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    const RegistrySandbox registry;
    const ScopedGdiPlus gdiPlus;
    const Case cases[] = {
        {"about", Plain<CAboutDialog>()},
        {"help", Plain<CHelpDialog>()},
        {"imaging missing", Plain<CWicMissingDialog>()},
        {"options", Options()},
    };
    for (const Case& c : cases) {
        bool driven = false;
        DialogDriver driver([&](HWND dialog) {
            driven = true;
            HWND ok = GetDlgItem(dialog, IDOK);
            EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK) << c.name;
            SendMessageW(ok, WM_KILLFOCUS, 0, 0);
            EXPECT_EQ(kSkinButtonNormal, PrintedPixel(ok, 3, 3)) << c.name;
            // Without the hover style the focus makes it hot.
            SendMessageW(ok, WM_SETFOCUS, 0, 0);
            EXPECT_EQ(kSkinButtonHot, PrintedPixel(ok, 3, 3)) << c.name;
            SendMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            EXPECT_EQ(kSkinButtonPushed, PrintedPixel(ok, 3, 3)) << c.name;
            ReleaseCapture();
        });
        c.run(ColourSkinLoader());
        EXPECT_TRUE(driven) << c.name;
    }
}

TEST(DialogButtons, WithoutTheSkinImagesTheOkButtonKeepsItsSystemLook)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    DialogDriver driver([](HWND dialog) {
        EXPECT_NE(BS_OWNERDRAW, GetWindowLongPtrW(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK);
    });
    CAboutDialog dialog([](UINT) { return std::unique_ptr<Gdiplus::Bitmap>(); });
    dialog.DoModal(nullptr);
    EXPECT_EQ(std::vector<UINT>{104}, driver.templates);
}
