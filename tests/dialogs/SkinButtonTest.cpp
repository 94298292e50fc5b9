#include "Viewer/dialogs/SkinButton.h"
#include "tests/dialogs/SkinTestWindows.h"
#include <gtest/gtest.h>

namespace {
constexpr int kBoxId = 1027;
constexpr COLORREF kPicture = RGB(10, 120, 30);

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.Create());
        box = CreateWindowExW(0, L"BUTTON", L"WWWWWW", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 40, 50,
                              160, 24, parent.m_hWnd, reinterpret_cast<HMENU>(INT_PTR{kBoxId}), nullptr, nullptr);
        button.SetBackground(parent.Paint(kPicture), false);
        ASSERT_TRUE(button.SubclassWindow(box));
    }

    int Clicks() const
    {
        int clicks = 0;
        for (WPARAM command : parent.commands)
            clicks += command == MAKEWPARAM(kBoxId, BN_CLICKED) ? 1 : 0;
        return clicks;
    }
    LRESULT State() const { return SendMessageW(box, BM_GETSTATE, 0, 0); }

    SkinTestParent parent;
    CSkinButton button;
    HWND box = nullptr;
};
}

TEST_F(SkinButtonTest, AClickTogglesOnceAndReportsPushedWhileHeld)
{
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(BST_PUSHED, State() & BST_PUSHED);
    EXPECT_EQ(0, Clicks());
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, Clicks());
    EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, State() & BST_PUSHED);

    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(2, Clicks());
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
}

TEST_F(SkinButtonTest, SpaceTogglesOnceAndDoesNothingMoreWhileTheMouseHoldsIt)
{
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0x40000000);  // auto-repeat
    EXPECT_EQ(BST_PUSHED, State() & BST_PUSHED);
    SendMessageW(box, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(1, Clicks());
    EXPECT_EQ(BST_CHECKED, State() & BST_CHECKED);

    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(box, WM_KEYUP, VK_SPACE, 0);
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(2, Clicks());
    EXPECT_EQ(BST_UNCHECKED, State() & BST_CHECKED);
}

TEST_F(SkinButtonTest, SetCheckAndFocusShowInTheState)
{
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, SendMessageW(box, BM_GETCHECK, 0, 0));
    SendMessageW(box, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(BST_CHECKED | BST_FOCUS, State());
    SendMessageW(box, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(BST_CHECKED, State());
    EXPECT_EQ(0, Clicks()) << "setting the check is no click";
}

TEST_F(SkinButtonTest, PaintsThePictureUnderItAndItsTextInTheDialogsGrey)
{
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "the skinned check box paints only with visual styles";
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(box, GWL_STYLE) & BS_TYPEMASK);
    PixelCanvas canvas(160, 24);
    const RECT text{20, 0, 160, 24};
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(kPicture, canvas.At(159, 23));
    EXPECT_GT(canvas.Count(SkinTextColor, text), 0);
    EXPECT_EQ(0, canvas.Count(SkinDisabledTextColor, text));

    EnableWindow(box, FALSE);
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_GT(canvas.Count(SkinDisabledTextColor, text), 0);
    EXPECT_EQ(0, canvas.Count(SkinTextColor, text));
}

TEST(SkinButton, ANestedBoxShowsThePictureOfItsGreatGrandparentWhereverTheDialogMoves)
{
    SkinTestParent dialog;
    ASSERT_TRUE(dialog.Create());
    Gdiplus::Bitmap* picture = dialog.Paint(RGB(0, 0, 0));
    {
        // The picture is black except for the square that lies under the box.
        Gdiplus::Graphics graphics(picture);
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 200, 100, 50));
        graphics.FillRectangle(&brush, 60, 70, 30, 30);
    }
    SkinTestParent host;
    ASSERT_TRUE(host.Create(300, 200, dialog.m_hWnd));
    SkinTestParent page;
    ASSERT_TRUE(page.Create(250, 150, host.m_hWnd));
    // host at (20,20) of the dialog, page at (20,20) of the host: the box's (20,30) is the dialog's (60,70).
    HWND box = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 20, 30, 20, 20, page.m_hWnd,
                               nullptr, nullptr, nullptr);
    CSkinButton button;
    button.SetBackground(picture, true);
    ASSERT_TRUE(button.SubclassWindow(box));
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "the skinned check box paints only with visual styles";

    PixelCanvas canvas(20, 20);
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(RGB(200, 100, 50), canvas.At(19, 19));
    SetWindowPos(dialog.m_hWnd, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(RGB(200, 100, 50), canvas.At(19, 19));
}
