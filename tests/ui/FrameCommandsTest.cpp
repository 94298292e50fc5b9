#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"

namespace {
using FrameCommandsTest = FrameTest;

bool ClosePosted(HWND frame)
{
    MSG close{};
    return PeekMessageW(&close, frame, WM_CLOSE, WM_CLOSE, PM_REMOVE);
}

TEST_F(FrameCommandsTest, TheControlBarsQuestionsAboutTheListAreAnsweredFromTheEngine)
{
    HWND frame = m_frame.m_hWnd;
    EXPECT_EQ(0, SendMessageW(frame, WM_APP_GET_IMAGE_COUNT, 0, 0));
    EXPECT_EQ(0, SendMessageW(frame, WM_APP_QUERY_QUICK_SLOT, 10, 0)) << "no slot 10";
    ShowFileOfFolder(L"b.jpg", {L"a.jpg", L"b.jpg"});
    EXPECT_EQ(2, SendMessageW(frame, WM_APP_GET_IMAGE_COUNT, 0, 0));

    CImageEngine& engine = m_frame.Engine();
    EXPECT_EQ(0, SendMessageW(frame, WM_APP_QUERY_QUICK_SLOT, 3, 0));
    ASSERT_TRUE(engine.QuickSlots().SetQuickSlot(3, engine.GetCurrentEntry(true)));
    EXPECT_EQ(1, SendMessageW(frame, WM_APP_QUERY_QUICK_SLOT, 3, 0));

    ASSERT_EQ(S_OK, engine.SetMarkedForGroup(engine.GetCurrentEntry(true), true));
    EXPECT_EQ(1, SendMessageW(frame, WM_APP_GET_MARKED_COUNT, 0, 0));
    SendMessageW(frame, WM_COMMAND, ID_CLEAR_MARKS, 0);
    EXPECT_EQ(0, SendMessageW(frame, WM_APP_GET_MARKED_COUNT, 0, 0));
}

TEST_F(FrameCommandsTest, CheckingForACurrentPictureBeepsOnlyWithoutOne)
{
    std::vector<UINT> beeps;
    ScopedModalSeam seam{ModalSeam{.messageBeep = [&](UINT type) {
        beeps.push_back(type);
        return TRUE;
    }}};
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_CHECK_CURRENT, 0);
    EXPECT_EQ(std::vector<UINT>{MB_ICONHAND}, beeps);
    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_CHECK_CURRENT, 0);
    EXPECT_EQ(1u, beeps.size());
}

TEST_F(FrameCommandsTest, EscapeClosesTheViewerOnlyWhenTheUserAllowsIt)
{
    HWND frame = m_frame.m_hWnd;
    AppSettings::EnableExitFromEscapeKey = 0;
    SendMessageW(frame, WM_COMMAND, ID_ESCAPE, 0);
    EXPECT_FALSE(ClosePosted(frame));
    AppSettings::EnableExitFromEscapeKey = 1;
    SendMessageW(frame, WM_COMMAND, ID_ESCAPE, 0);
    EXPECT_TRUE(ClosePosted(frame));
    AppSettings::EnableExitFromEscapeKey = 0;
}

TEST_F(FrameCommandsTest, TheKioskQuestionFollowsTheModeAndFocusGoesOnToTheView)
{
    HWND frame = m_frame.m_hWnd;
    EXPECT_EQ(0, SendMessageW(frame, WM_APP_GET_KIOSK_MODE, 0, 0));
    m_frame.ToggleKioskMode();
    EXPECT_EQ(1, SendMessageW(frame, WM_APP_GET_KIOSK_MODE, 0, 0));
    m_frame.ToggleKioskMode();

    ShowWindow(frame, SW_SHOWNORMAL);
    SetFocus(frame);
    EXPECT_EQ(m_frame.View().m_hWnd, GetFocus());
}
}
