#include "Viewer/core/ThemeHelper.h"
#include "Viewer/dialogs/SkinButton.h"
#include "Viewer/dialogs/ThemedCaptionButton.h"
#include "Viewer/dialogs/ThemedRadioButton.h"
#include "tests/dialogs/SkinTestWindows.h"
#include <gtest/gtest.h>
#include <memory>

namespace {
constexpr int kControlId = 1990;
constexpr COLORREF kPicture = RGB(10, 120, 30);
constexpr COLORREF kUntouched = RGB(1, 2, 3);

// A themed button of each kind over a parent with a picture, made from a control as a dialog
// template would give it.
class ThemedButtonTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parent.Create()); }

    HWND Make(CThemedButton& button, const wchar_t* className, DWORD style,
              const CThemeHelper& themes = CThemeHelper::Process())
    {
        HWND control = CreateWindowExW(0, className, L"WWWWWW", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 40, 50,
                                       160, 24, parent.m_hWnd, reinterpret_cast<HMENU>(INT_PTR{kControlId}), nullptr,
                                       nullptr);
        button.SetBackground(parent.Paint(kPicture), false);
        button.SetThemeHelper(themes);
        EXPECT_TRUE(button.SubclassWindow(control));
        return control;
    }

    int Clicks() const
    {
        int clicks = 0;
        for (WPARAM command : parent.commands) clicks += command == MAKEWPARAM(kControlId, BN_CLICKED) ? 1 : 0;
        return clicks;
    }

    SkinTestParent parent;
};

// Paints the control into a canvas of one colour; the count of pixels still of that colour.
int UntouchedPixels(HWND control)
{
    PixelCanvas canvas(160, 24);
    const RECT all{0, 0, 160, 24};
    HBRUSH brush = CreateSolidBrush(kUntouched);
    FillRect(canvas.Dc(), &all, brush);
    DeleteObject(brush);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas.Count(kUntouched, all);
}
}

TEST_F(ThemedButtonTest, TheStateOfARadioButtonAndACheckBoxCombinesCheckPressAndFocus)
{
    struct Case {
        bool check;
        bool focus;
        bool press;
        LRESULT state;
    };
    const Case cases[] = {
        {false, false, false, BST_UNCHECKED},
        {true, false, false, BST_CHECKED},
        {true, true, false, BST_CHECKED | BST_FOCUS},
        {false, true, false, BST_FOCUS},
        {false, false, true, BST_PUSHED},
        {true, true, true, BST_CHECKED | BST_FOCUS | BST_PUSHED},
    };
    for (bool radio : {true, false}) {
        for (const Case& c : cases) {
            std::unique_ptr<CThemedButton> button;
            if (radio)
                button = std::make_unique<CThemedRadioButton>();
            else
                button = std::make_unique<CSkinButton>();
            HWND control = Make(*button, L"BUTTON", radio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX);
            SendMessageW(control, BM_SETCHECK, c.check ? BST_CHECKED : BST_UNCHECKED, 0);
            if (c.focus) SendMessageW(control, WM_SETFOCUS, 0, 0);
            if (c.press) SendMessageW(control, WM_KEYDOWN, VK_SPACE, 0);
            EXPECT_EQ(c.state, SendMessageW(control, BM_GETSTATE, 0, 0))
                << (radio ? "radio" : "check box") << " check " << c.check << " focus " << c.focus << " press "
                << c.press;
            EXPECT_EQ(c.check ? BST_CHECKED : BST_UNCHECKED, SendMessageW(control, BM_GETCHECK, 0, 0));
            button.reset();
        }
    }
    EXPECT_EQ(0, Clicks()) << "setting the check or the focus is no click";
}

TEST_F(ThemedButtonTest, APressDraggedOffTheRadioButtonStillFlipsItWhereverItIsReleased)
{
    CThemedRadioButton button;
    HWND radio = Make(button, L"BUTTON", BS_AUTORADIOBUTTON);
    SendMessageW(radio, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(BST_PUSHED, SendMessageW(radio, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(radio, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-60, -60));
    EXPECT_EQ(0, SendMessageW(radio, BM_GETSTATE, 0, 0) & BST_PUSHED) << "off the control it no longer looks pressed";
    SendMessageW(radio, WM_LBUTTONUP, 0, MAKELPARAM(-60, -60));
    EXPECT_EQ(1, Clicks());
    EXPECT_EQ(BST_CHECKED, SendMessageW(radio, BM_GETCHECK, 0, 0));
    EXPECT_EQ(nullptr, GetCapture());
}

// Owner-drawn, the radio buttons are no automatic ones to the dialog manager; the arrow keys must
// still move through the group and choose the button they reach, and only they.
TEST_F(ThemedButtonTest, TheArrowKeysMoveThroughAGroupOfRadioButtonsAndChooseWhereTheyArrive)
{
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "unthemed, the buttons stay automatic ones";
    CThemedRadioButton first, second;
    HWND radios[2] = {};
    CThemedRadioButton* buttons[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        radios[i] = CreateWindowExW(0, L"BUTTON", L"choice", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON |
                                                                (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
                                    40, 50 + 30 * i, 160, 24, parent.m_hWnd,
                                    reinterpret_cast<HMENU>(INT_PTR{kControlId + i}), nullptr, nullptr);
        buttons[i]->SetBackground(parent.Paint(kPicture), false);
        ASSERT_TRUE(buttons[i]->SubclassWindow(radios[i]));
    }
    SendMessageW(radios[0], BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(radios[0]);
    ASSERT_EQ(radios[0], GetFocus());

    MSG down{radios[0], WM_KEYDOWN, VK_DOWN, 1};
    EXPECT_TRUE(IsDialogMessageW(parent.m_hWnd, &down));
    EXPECT_EQ(radios[1], GetFocus());
    EXPECT_EQ(BST_CHECKED, SendMessageW(radios[1], BM_GETCHECK, 0, 0));
    ASSERT_EQ(1u, parent.commands.size());
    EXPECT_EQ(MAKEWPARAM(kControlId + 1, BN_CLICKED), parent.commands[0]);

    // Focus that comes another way (the mouse, the tab key) chooses nothing by itself.
    SendMessageW(radios[0], BM_SETCHECK, BST_UNCHECKED, 0);
    MSG tab{radios[1], WM_KEYDOWN, VK_TAB, 1};
    SendMessageW(radios[0], WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
    SetFocus(radios[0]);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(radios[0], BM_GETCHECK, 0, 0));
    EXPECT_EQ(1u, parent.commands.size());
}

TEST_F(ThemedButtonTest, TheCaptionButtonReportsAPressReleasedAnywhereAndKeysASpace)
{
    CThemedCaptionButton button;
    HWND caption = Make(button, L"BUTTON", BS_PUSHBUTTON);
    SendMessageW(caption, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(caption, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 5));
    SendMessageW(caption, WM_LBUTTONUP, 0, MAKELPARAM(400, 5));
    EXPECT_EQ(1, Clicks());
    SendMessageW(caption, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(caption, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(2, Clicks());
}

TEST_F(ThemedButtonTest, WithoutTheVisualStylesLibraryNoneIsOwnerDrawnAndNonePaints)
{
    const CThemeHelper none(CThemeHelper::Library::None);
    EXPECT_EQ(nullptr, none.Module());
    EXPECT_FALSE(none.IsAppThemed());
    EXPECT_EQ(nullptr, none.OpenThemeData(parent.m_hWnd, L"BUTTON"));

    CThemedRadioButton radio;
    CSkinButton box;
    CThemedCaptionButton caption;
    const struct {
        CThemedButton& button;
        const wchar_t* className;
        DWORD style;
    } controls[] = {
        {radio, L"BUTTON", BS_AUTORADIOBUTTON},
        {box, L"BUTTON", BS_AUTOCHECKBOX},
        {caption, L"STATIC", SS_LEFT},
    };
    for (const auto& c : controls) {
        HWND control = Make(c.button, c.className, c.style, none);
        EXPECT_EQ(c.style, static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE) & 0xF)) << c.className;
        EXPECT_EQ(160 * 24, UntouchedPixels(control)) << c.className;
        // The state machine works all the same.
        SendMessageW(control, WM_KEYDOWN, VK_SPACE, 0);
        SendMessageW(control, WM_KEYUP, VK_SPACE, 0);
        DestroyWindow(control);
    }
    EXPECT_EQ(3, Clicks());
}

TEST_F(ThemedButtonTest, ARadioButtonPaintsItsGlyphAndCaptionOverThePicture)
{
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "the themed buttons paint only with visual styles";
    CThemedRadioButton button;
    HWND radio = Make(button, L"BUTTON", BS_AUTORADIOBUTTON);
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongPtrW(radio, GWL_STYLE) & BS_TYPEMASK);

    PixelCanvas unchecked(160, 24);
    SendMessageW(radio, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(unchecked.Dc()), PRF_CLIENT);
    const RECT glyph{0, 0, 16, 16};
    const RECT text{20, 0, 160, 24};
    EXPECT_EQ(kPicture, unchecked.At(159, 23));
    EXPECT_LT(unchecked.Count(kPicture, glyph), 16 * 16) << "the glyph is drawn";
    EXPECT_GT(unchecked.Count(SkinTextColor, text), 0);

    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    PixelCanvas checked(160, 24);
    SendMessageW(radio, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(checked.Dc()), PRF_CLIENT);
    int differing = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) differing += checked.At(x, y) != unchecked.At(x, y) ? 1 : 0;
    EXPECT_GT(differing, 0) << "the checked glyph shows its dot";

    EnableWindow(radio, FALSE);
    PixelCanvas disabled(160, 24);
    SendMessageW(radio, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(disabled.Dc()), PRF_CLIENT);
    EXPECT_GT(disabled.Count(SkinDisabledTextColor, text), 0);
    EXPECT_EQ(0, disabled.Count(SkinTextColor, text));
}

TEST_F(ThemedButtonTest, TheCaptionButtonPaintsItsTextWholeOverThePicture)
{
    if (!CThemeHelper::Process().IsAppThemed()) GTEST_SKIP() << "the themed buttons paint only with visual styles";
    CThemedCaptionButton button;
    HWND caption = Make(button, L"STATIC", SS_LEFT);
    PixelCanvas canvas(160, 24);
    const RECT all{0, 0, 160, 24};
    SendMessageW(caption, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(kPicture, canvas.At(159, 23));
    const int ink = canvas.Count(SkinTextColor, all);
    EXPECT_GT(ink, 0);
    EXPECT_GT(canvas.Count(SkinTextColor, RECT{0, 0, 8, 24}), 0) << "the text starts at the left edge, no glyph";

    // A shorter text leaves nothing of the longer one.
    SetWindowTextW(caption, L"W");
    SendMessageW(caption, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_LT(canvas.Count(SkinTextColor, all), ink);
    EXPECT_EQ(kPicture, canvas.At(100, 5));
}
