#include "Framework/ModalSeam.h"
#include <gtest/gtest.h>
#include <string>

TEST(ModalSeam, ReplacementsRecordAndAnswerAndAreRestored)
{
    std::wstring seenText, seenCaption;
    UINT seenType = 0, seenBeep = 0;
    {
        ScopedModalSeam seam({
            .messageBox = [&](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
                seenText = text; seenCaption = caption; seenType = type; return IDYES;
            },
            .messageBeep = [&](UINT type) { seenBeep = type; return TRUE; },
            .keyState = [](int key) -> SHORT { return key == VK_SHIFT ? SHORT(0x8000) : SHORT(0); },
        });
        EXPECT_EQ(IDYES, ShowMessageBox(nullptr, L"Delete?", L"Lumenfold", MB_YESNO));
        EXPECT_TRUE(PlayMessageBeep(MB_ICONEXCLAMATION));
        EXPECT_LT(QueryKeyState(VK_SHIFT), 0);
        EXPECT_EQ(0, QueryKeyState(VK_CONTROL));

        {
            ScopedModalSeam inner({.messageBox = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDNO; }});
            EXPECT_EQ(IDNO, ShowMessageBox(nullptr, L"x", L"y", MB_YESNO));
        }
        EXPECT_EQ(IDYES, ShowMessageBox(nullptr, L"again", L"Lumenfold", MB_YESNO)) << "the outer seam is back";
    }
    EXPECT_EQ(L"again", seenText);
    EXPECT_EQ(L"Lumenfold", seenCaption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), seenType);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), seenBeep);
}
