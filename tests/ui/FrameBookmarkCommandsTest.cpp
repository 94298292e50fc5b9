#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"

namespace {
// The frame with a.jpg ... d.jpg listed and c.jpg current; beeps are recorded and Control is held, so
// that a new bookmark takes its prefix without the prefix dialog.
class FrameBookmarkCommandsTest : public FrameTest {
protected:
    void Command(WORD command) { SendMessageW(m_frame.m_hWnd, WM_COMMAND, command, 0); }
    uint32_t Position() { return m_frame.Engine().GetCurrentPosition(); }
    CImageEntry* At(uint32_t position) { return m_frame.Engine().GetEntryAtPosition(position); }
    // Handles the engine's request to show a picture, and only that: other posts of the listing
    // would move the current picture too.
    bool HandleGoToEntry()
    {
        MSG message{};
        if (!PeekMessageW(&message, m_frame.m_hWnd, WM_APP_GO_TO_ENTRY, WM_APP_GO_TO_ENTRY, PM_REMOVE)) return false;
        DispatchMessageW(&message);
        return true;
    }

    std::vector<UINT> m_beeps;
    ScopedModalSeam m_seam{ModalSeam{
        .messageBeep = [this](UINT type) {
            m_beeps.push_back(type);
            return TRUE;
        },
        .keyState = [](int key) -> SHORT { return key == VK_CONTROL ? -128 : 0; },
    }};
};

TEST_F(FrameBookmarkCommandsTest, ASlotKeyStoresTheCurrentPictureAndClearsItFromThatPictureOnly)
{
    Command(ID_TOGGLE_QUICK_SLOT_0 + 3);
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, m_beeps) << "nothing listed";
    m_beeps.clear();
    ShowFileOfFolder(L"c.jpg", {L"a.jpg", L"b.jpg", L"c.jpg", L"d.jpg"});
    CQuickSlots& slots = m_frame.Engine().QuickSlots();

    Command(ID_TOGGLE_QUICK_SLOT_0 + 3);
    EXPECT_EQ(At(3), slots.EntryAt(3));
    m_frame.Engine().GoToPosition(1);
    Command(ID_TOGGLE_QUICK_SLOT_0 + 3);
    EXPECT_EQ(At(1), slots.EntryAt(3)) << "another picture takes the slot";
    EXPECT_EQ(-1, At(3)->quickSlot);
    Command(ID_TOGGLE_QUICK_SLOT_0 + 3);
    EXPECT_EQ(nullptr, slots.EntryAt(3)) << "its own picture clears it";
    EXPECT_EQ(-1, At(1)->quickSlot);

    // Going to the slot shows its picture; an empty slot beeps.
    Command(ID_TOGGLE_QUICK_SLOT_0 + 9);
    m_frame.Engine().GoToPosition(4);
    Command(ID_GO_QUICK_SLOT_0 + 9);
    EXPECT_EQ(1u, Position());
    Command(ID_GO_QUICK_SLOT_0 + 3);
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, m_beeps);
}

TEST_F(FrameBookmarkCommandsTest, ASlotKeyBringsUpABarThatHidesItselfWhenItStoresOrClears)
{
    const DWORD autoHide = AppSettings::AutoHideTaskbar;
    AppSettings::AutoHideTaskbar = 1;
    HWND frame = m_frame.m_hWnd;
    SetWindowPos(frame, nullptr, 100, 100, 900, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    SetCursorPos(5, 5);
    ShowFileOfFolder(L"c.jpg", {L"a.jpg", L"b.jpg", L"c.jpg", L"d.jpg"});
    HWND bar = m_frame.ControlBar().m_hWnd;
    const auto sendBarAway = [&] {
        SendMessageW(frame, WM_APP_APPLY_TASKBAR_LAYOUT, 0, 0);
        ASSERT_FALSE(IsWindowVisible(bar));
    };
    sendBarAway();
    Command(ID_TOGGLE_QUICK_SLOT_0 + 2);
    EXPECT_TRUE(IsWindowVisible(bar)) << "stored";
    sendBarAway();
    Command(ID_TOGGLE_QUICK_SLOT_0 + 2);
    EXPECT_TRUE(IsWindowVisible(bar)) << "cleared";
    AppSettings::AutoHideTaskbar = autoHide;
}

TEST_F(FrameBookmarkCommandsTest, TheBookmarkButtonsToggleAndStepThroughTheBookmarks)
{
    Command(ID_NEXT_BOOKMARK);
    Command(ID_TOGGLE_BOOKMARK);
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), m_beeps) << "nothing listed";
    m_beeps.clear();
    ShowFileOfFolder(L"c.jpg", {L"a.jpg", L"b.jpg", L"c.jpg", L"d.jpg"});

    Command(ID_TOGGLE_BOOKMARK);
    EXPECT_FALSE(At(3)->GetBookmarkName().Empty());
    m_frame.Engine().GoToPosition(1);
    Command(ID_TOGGLE_BOOKMARK);
    EXPECT_FALSE(At(1)->GetBookmarkName().Empty());

    // The engine asks the frame to show the bookmarked picture.
    Command(ID_NEXT_BOOKMARK);
    ASSERT_TRUE(HandleGoToEntry());
    EXPECT_EQ(3u, Position());
    Command(ID_PREVIOUS_BOOKMARK);
    ASSERT_TRUE(HandleGoToEntry());
    EXPECT_EQ(1u, Position());
    EXPECT_TRUE(m_beeps.empty());
}

TEST_F(FrameBookmarkCommandsTest, TheMarkKeyTogglesTheMarkOfTheCurrentPicture)
{
    Command(ID_TOGGLE_MARK);
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, m_beeps) << "nothing listed";
    ShowFileOfFolder(L"b.jpg", {L"a.jpg", L"b.jpg"});
    Command(ID_TOGGLE_MARK);
    EXPECT_NE(0, *At(2)->GetMarkedFlag());
    EXPECT_EQ(0, *At(1)->GetMarkedFlag());
    EXPECT_EQ(1u, m_frame.Engine().GetMarkedCount());
    Command(ID_TOGGLE_MARK);
    EXPECT_EQ(0, *At(2)->GetMarkedFlag());
    EXPECT_EQ(1u, m_beeps.size());
}
}  // namespace
