#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/imaging/TestPictures.h"

namespace {
constexpr WORD kFromKeyboard = 1;

// A frame on a folder of twelve small pictures, p00 to p11, the first one shown.
class FrameNavigationTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(S_OK, CreateWicFactoryIfMissing());
        for (int i = 0; i < kPictures; ++i) {
            wchar_t name[16]{};
            swprintf_s(name, L"p%02d.png", i);
            WriteTestPicture(m_folder.File(name), GUID_ContainerFormatPng,
                             {PlainFrame(16, 16, Rgba{static_cast<BYTE>(i * 20), 0, 0, 255})});
        }
        ASSERT_TRUE(m_frame.OpenRequests().OpenPath(m_folder.Path().c_str(), nullptr));
        ASSERT_TRUE(WaitUntilShown(1));
    }

    // Pumps the frame's messages until the picture at the position is the one in the view.
    bool WaitUntilShown(uint32_t position)
    {
        for (int i = 0; i < 500; ++i) {
            PumpFor(10);
            if (Shown() == position) return true;
        }
        return false;
    }

    // The position of the current entry when its picture is the one displayed, else 0.
    uint32_t Shown()
    {
        CImageEngine& engine = m_frame.Engine();
        CImageEntry* current = engine.GetCurrentEntry(true);
        CriticalSectionScope lock(ViewLock);
        if (!current || !current->GetBitmap() || DisplayedBitmap != current->GetBitmap()) return 0;
        return engine.GetCurrentPosition();
    }

    uint32_t Command(WORD command, WORD code = kFromKeyboard)
    {
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(command, code), 0);
        return Shown();
    }

    static constexpr int kPictures = 12;
    std::vector<UINT> m_beeps;
    ScopedModalSeam m_seam{ModalSeam{.messageBeep = [this](UINT type) {
        m_beeps.push_back(type);
        return TRUE;
    }}};
};

TEST_F(FrameNavigationTest, TheKeysMoveThroughTheListAndShowEachPicture)
{
    const struct {
        WORD command;
        uint32_t shown;
    } steps[] = {
        {ID_NAV_NEXT, 2},   {ID_FORWARD_10, 12}, {ID_NAV_PREVIOUS, 11}, {ID_BACK_10, 1},
        {ID_NAV_LAST, 12},  {ID_NAV_FIRST, 1},   {ID_NAV_PREVIOUS, 12},
    };
    for (const auto& step : steps) EXPECT_EQ(step.shown, Command(step.command)) << "command " << step.command;
    EXPECT_EQ(std::vector<UINT>{MB_ICONASTERISK}, m_beeps) << "wrapping round beeps once";
    EXPECT_EQ(12u, Command(ID_NAV_LAST)) << "no move: nothing new";
    EXPECT_EQ((std::vector<UINT>{MB_ICONASTERISK, MB_ICONEXCLAMATION}), m_beeps) << "a jump that cannot move beeps";
}

TEST_F(FrameNavigationTest, TheWheelStepsAndAClickOnABarButtonSwallowsTheNextStep)
{
    HWND frame = m_frame.m_hWnd;
    SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(2u, Shown());
    SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(1u, Shown());

    SendMessageW(frame, RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK"), 0, 0);
    SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(1u, Shown());
    SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(2u, Shown());
}

TEST_F(FrameNavigationTest, QuickSlotsAndTheCaptionFollowThePictureShown)
{
    EXPECT_EQ(1u, Command(ID_GO_QUICK_SLOT_0 + 3));
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, m_beeps) << "an empty slot beeps";
    CImageEngine& engine = m_frame.Engine();
    ASSERT_TRUE(engine.QuickSlots().SetQuickSlot(3, engine.GetEntryAtPosition(7)));
    EXPECT_EQ(7u, Command(ID_GO_QUICK_SLOT_0 + 3));
    EXPECT_EQ(m_folder.File(L"p06.png"), m_frame.Caption().NameText().View());
    wchar_t caption[260]{};
    GetWindowTextW(m_frame.m_hWnd, caption, 260);
    EXPECT_EQ(L"p06.png - " + std::wstring(m_frame.ProgramTitle().View()), caption);
}

TEST_F(FrameNavigationTest, ReloadingDecodesTheCurrentPictureAgain)
{
    EXPECT_EQ(2u, Command(ID_NAV_NEXT));
    m_frame.Engine().GetCurrentEntry(true)->ReleaseDecodedImage();
    EXPECT_EQ(nullptr, DisplayedBitmap) << "a released picture leaves the view";
    EXPECT_EQ(2u, Command(ID_RELOAD_CURRENT));
}
}

namespace {
// Whether the frame's timer runs, leaving it running.
bool TimerRuns(HWND frame, UINT_PTR id)
{
    return KillTimer(frame, id) ? (SetTimer(frame, id, 60000, nullptr), true) : false;
}
}

TEST_F(FrameNavigationTest, RotationTurnsThePictureOnScreenAndItsEntryKeepsTheTurns)
{
    CImageEntry* first = m_frame.Engine().GetCurrentEntry(true);
    ASSERT_TRUE(first);
    const struct {
        WORD command;
        int entryTurns, viewTurns;
    } steps[] = {
        {ID_ROTATE_BACK, -1, 3},   {ID_ROTATE_BACK, -2, 2},   {ID_ROTATE_FORWARD, -1, 3}, {ID_ROTATE_FORWARD, 0, 0},
        {ID_ROTATE_FORWARD, 1, 1}, {ID_ROTATE_FORWARD, 2, 2}, {ID_ROTATE_FORWARD, 3, 3},  {ID_ROTATE_FORWARD, 0, 0},
        {ID_ROTATE_BACK, -1, 3},   {ID_ROTATE_BACK, -2, 2},   {ID_ROTATE_BACK, -3, 1},    {ID_ROTATE_BACK, 0, 0},
        {ID_ROTATE_FORWARD, 1, 1},
    };
    for (const auto& step : steps) {
        Command(step.command, 0);
        EXPECT_EQ(step.entryTurns, static_cast<int>(first->GetState())) << step.command;
        EXPECT_EQ(step.viewTurns, m_frame.View().RotationState()) << step.command;
    }
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE)) << "the bar stays below the view";

    // Another picture shows its own turns; the turned one comes back turned.
    ASSERT_EQ(2u, Command(ID_NAV_NEXT));
    EXPECT_EQ(0, m_frame.View().RotationState());
    ASSERT_EQ(1u, Command(ID_NAV_PREVIOUS));
    EXPECT_EQ(1, m_frame.View().RotationState());

    // From the keyboard a bar that hides itself is sent away after the turn.
    const DWORD autoHide = AppSettings::AutoHideTaskbar;
    AppSettings::AutoHideTaskbar = 1;
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE);
    Command(ID_ROTATE_FORWARD, 0);
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE));
    Command(ID_ROTATE_FORWARD);
    EXPECT_TRUE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE));
    AppSettings::AutoHideTaskbar = autoHide;
    EXPECT_EQ(3, static_cast<int>(first->GetState()));
}

using FrameWithoutPicturesTest = FrameTest;

TEST_F(FrameWithoutPicturesTest, RotationWithoutAPictureDoesNothing)
{
    m_frame.View().SetRotationState(2);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_ROTATE_BACK, 0);
    EXPECT_EQ(2, m_frame.View().RotationState());
}
