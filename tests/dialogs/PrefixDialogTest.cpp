#include "Viewer/dialogs/PrefixDialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/ThemeHelper.h"
#include "tests/dialogs/SkinTestWindows.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace {
constexpr int None = CPrefixDialog::IDC_PREFIX_NONE;
constexpr int Custom = CPrefixDialog::IDC_PREFIX_CUSTOM;

std::wstring Text(HWND dialog, int id)
{
    wchar_t text[128]{};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
    return text;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Runs the dialog as the frame does, through the modal seam, as a modeless window that the test
// drives; the drive's return value is the button that ends it.
class PrefixDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    }

    INT_PTR Run(BookmarkPrefixRequest& request, const std::function<int(HWND)>& drive, SkinImageLoader loader = {})
    {
        ScopedModalSeam seam{ModalSeam{
            .modalDialog = [&](HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM parameter) {
                EXPECT_EQ(static_cast<UINT>(CPrefixDialog::IDD), templateId);
                HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), owner, procedure, parameter);
                if (!dialog) return INT_PTR{-1};
                const int button = drive(dialog);
                SendMessageW(dialog, WM_COMMAND, button, 0);
                DestroyWindow(dialog);
                return INT_PTR{button};
            }}};
        CPrefixDialog dialog(request, std::move(loader));
        return dialog.DoModal(nullptr);
    }

    void Store(DWORD style, const wchar_t* custom)
    {
        settings.SetDword(L"BookmarkPrefixesStyle", style);
        settings.SetString(L"CustomBookmarkPrefix", custom);
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox registry;
    RegKey settings;
};

TEST_F(PrefixDialogTest, TheChoicesFollowTheFolderNamesOfThePicture)
{
    struct Case {
        const wchar_t* folder;
        const wchar_t* picture;
        DWORD storedStyle;
        std::wstring shownPrefix;
        bool levels[3];
    };
    const Case cases[] = {
        {L"C:\\Photos", L"C:\\Photos\\2009\\Trip\\IMG_0001", 3, L"Trip", {true, true, true}},
        {L"C:\\Photos\\2009\\Trip", L"C:\\Photos\\2009\\Trip\\IMG_0001", 3, L"Trip", {true, false, false}},
        {L"\\\\nas\\photos\\2009", nullptr, 2, L"photos", {true, true, true}},
        {L"C:\\", nullptr, 2, L"", {false, false, false}},
        {L"C:\\2009-07-14 Summer holidays in the Alps", nullptr, 1, L"2009-07-14 S~in the Alps",
         {true, false, false}},
    };
    for (const Case& c : cases) {
        Store(c.storedStyle, L"");
        BookmarkPrefixRequest request{L"old", c.folder, c.picture};
        Run(request, [&](HWND dialog) {
            for (int level = 1; level <= 3; ++level)
                EXPECT_EQ(c.levels[level - 1], Enabled(dialog, None + level)) << c.folder << " level " << level;
            return IDOK;
        });
        EXPECT_EQ(c.shownPrefix, request.prefix) << c.folder;
        EXPECT_EQ(c.storedStyle, settings.QueryDword(L"BookmarkPrefixesStyle").value_or(99)) << "OK untouched";
    }
}

TEST_F(PrefixDialogTest, TheStoredStyleFallsBackAndTheCustomTextIsOfferedAsItIs)
{
    struct Case {
        DWORD stored;
        int checked;
        bool editEnabled;
    };
    const Case cases[] = {{0, None, false}, {3, None + 1, false}, {4, Custom, true}, {9, None + 1, false}};
    for (const Case& c : cases) {
        Store(c.stored, L"Mine");
        BookmarkPrefixRequest request{L"", L"C:\\Photos\\2009\\Trip", L"C:\\Photos\\2009\\Trip\\IMG_0001"};
        Run(request, [&](HWND dialog) {
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, c.checked)) << c.stored;
            EXPECT_EQ(c.editEnabled, Enabled(dialog, CPrefixDialog::IDC_CUSTOM_PREFIX)) << c.stored;
            EXPECT_EQ(L"Mine", Text(dialog, CPrefixDialog::IDC_CUSTOM_PREFIX));
            return IDCANCEL;
        });
        EXPECT_EQ(c.stored, settings.QueryDword(L"BookmarkPrefixesStyle").value_or(99)) << "untouched, kept";
    }
}

TEST_F(PrefixDialogTest, ThePreviewShowsTheNamesAndOnlyATouchedDialogStoresItsChoice)
{
    Store(1, L"");
    BookmarkPrefixRequest request{L"", L"C:\\Photos", L"C:\\Photos\\2009\\Trip\\IMG_0001"};
    EXPECT_EQ(IDOK, Run(request, [](HWND dialog) {
        EXPECT_EQ(L"Photos_nnn", Text(dialog, CPrefixDialog::IDC_PREFIX_PREVIEW));
        Click(dialog, None);
        EXPECT_EQ(L"nnn", Text(dialog, CPrefixDialog::IDC_PREFIX_PREVIEW));
        Click(dialog, None + 1);
        return IDOK;
    }));
    EXPECT_EQ(L"Photos", request.prefix);
    EXPECT_EQ(1u, settings.QueryDword(L"BookmarkPrefixesStyle").value_or(99));

    // Cancel after a change stores the change too; the caller throws the prefix away.
    Run(request, [](HWND dialog) {
        Click(dialog, Custom);
        EXPECT_TRUE(Enabled(dialog, CPrefixDialog::IDC_CUSTOM_PREFIX));
        SetDlgItemTextW(dialog, CPrefixDialog::IDC_CUSTOM_PREFIX, L"  Alps  ");
        EXPECT_EQ(L"Alps_nnn", Text(dialog, CPrefixDialog::IDC_PREFIX_PREVIEW));
        return IDCANCEL;
    });
    EXPECT_EQ(4u, settings.QueryDword(L"BookmarkPrefixesStyle").value_or(99));
    EXPECT_EQ(L"Alps", settings.QueryString(L"CustomBookmarkPrefix").value_or(L"?"));
}
}

TEST_F(PrefixDialogTest, WearsTheSkinAndItsThemedRadioButtonsChooseByMouse)
{
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "the themed buttons take over only with visual styles";
    const ScopedGdiPlus gdiPlus;
    Store(0, L"");
    BookmarkPrefixRequest request{L"", L"C:\\Photos", L"C:\\Photos\\2009\\Trip\\IMG_0001"};
    Run(
        request,
        [](HWND dialog) {
            for (int id = None; id <= Custom; ++id)
                EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & BS_TYPEMASK) << id;
            RECT client{};
            GetClientRect(dialog, &client);
            PixelCanvas background(client.right, client.bottom);
            SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(background.Dc()), 0);
            EXPECT_EQ(kSkinBackground, background.At(client.right / 2, client.bottom / 2));

            // The preview is drawn whole over the picture, in the dialog's grey.
            HWND preview = GetDlgItem(dialog, CPrefixDialog::IDC_PREFIX_PREVIEW);
            GetClientRect(preview, &client);
            PixelCanvas canvas(client.right, client.bottom);
            SendMessageW(preview, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
            EXPECT_EQ(kSkinBackground, canvas.At(client.right - 1, client.bottom - 1));
            EXPECT_GT(canvas.Count(SkinTextColor, client), 0);

            for (int button : {IDOK, IDCANCEL}) {
                SendDlgItemMessageW(dialog, button, WM_KILLFOCUS, 0, 0);
                EXPECT_EQ(kSkinButtonNormal, PrintedPixel(GetDlgItem(dialog, button), 3, 3)) << button;
            }

            HWND second = GetDlgItem(dialog, None + 2);
            SendMessageW(second, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            SendMessageW(second, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, None + 2));
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, None));
            EXPECT_EQ(L"2009_nnn", Text(dialog, CPrefixDialog::IDC_PREFIX_PREVIEW));
            return IDOK;
        },
        ColourSkinLoader());
    EXPECT_EQ(L"2009", request.prefix);
    EXPECT_EQ(2u, settings.QueryDword(L"BookmarkPrefixesStyle").value_or(99));
}
