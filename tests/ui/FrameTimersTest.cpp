#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"

namespace {
using FrameTimersTest = FrameTest;

// The WM_COMMAND the frame has posted to itself, if any: its command and lParam.
bool TakePostedCommand(HWND frame, WPARAM& command, LPARAM& variant)
{
    MSG message{};
    if (!PeekMessageW(&message, frame, WM_COMMAND, WM_COMMAND, PM_REMOVE)) return false;
    command = message.wParam;
    variant = message.lParam;
    return true;
}

TEST(UpdateNoticeTest, TheBalloonTellsTheDescriptionFirstAndThenTheInvitation)
{
    const ScopedResourceModule library{L"Lumenfold.Core.EN.dll"};
    const std::wstring invitation = LoadUiString(10054);
    const struct {
        std::wstring description;
        std::wstring balloon;
    } cases[] = {
        {L"", L"\r\n" + invitation},
        {L"Faster", L"\r\nFaster\r\n\r\n" + invitation},
    };
    for (const auto& c : cases) {
        const NOTIFYICONDATAW notice = BuildUpdateNotice(nullptr, nullptr, c.description);
        EXPECT_EQ(c.balloon, notice.szInfo) << "description \"" << std::string(c.description.begin(), c.description.end()) << "\"";
        EXPECT_EQ(23u, notice.uFlags);
        EXPECT_EQ(1u, notice.uID);
        EXPECT_EQ(static_cast<UINT>(WM_APP_TRAY_NOTIFY), notice.uCallbackMessage);
        EXPECT_EQ(LoadUiString(10052), notice.szInfoTitle);
        EXPECT_EQ(LoadUiString(10053), notice.szTip);
    }
}

TEST_F(FrameTimersTest, WithoutANewerVersionTheNoticeTimerEndsAndShowsNothing)
{
    AppSettings::NewVersionAvailable = false;
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_NOTICE, 15000, nullptr);
    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_NOTICE, 0);
    EXPECT_FALSE(m_frame.Timers().TrayIconShown());
    EXPECT_FALSE(KillTimer(m_frame.m_hWnd, TIMER_FRAME_NOTICE)) << "the timer is gone";
}

TEST_F(FrameTimersTest, OnlyALeftClickOnTheNoticeOpensTheDownloadsPageWithTheRunningVersion)
{
    std::vector<std::wstring> opened;
    ScopedModalSeam seam{ModalSeam{.openWithShell = [&](HWND, const wchar_t*, const wchar_t* file, const wchar_t*,
                                                        const wchar_t*, int) {
        opened.emplace_back(file);
        return reinterpret_cast<HINSTANCE>(33);
    }}};
    SendMessageW(m_frame.m_hWnd, WM_APP_TRAY_NOTIFY, 1, WM_RBUTTONUP);
    EXPECT_TRUE(opened.empty());
    SendMessageW(m_frame.m_hWnd, WM_APP_TRAY_NOTIFY, 1, WM_LBUTTONUP);
    ASSERT_EQ(1u, opened.size());
    WORD major = 0, minor = 0, build = 0, revision = 0;
    GetAppVersion(&major, &minor, &build, &revision, nullptr, 0, nullptr);
    const std::wstring query = L"?curver=" + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
                               std::to_wstring(build) + L"." + std::to_wstring(revision);
    EXPECT_EQ(query, opened[0].substr(opened[0].find(L'?')));
}

TEST_F(FrameTimersTest, ADeferredFileIsOpenedByNameAfterItsTimerAndOnlyTheLastOfABurst)
{
    HWND frame = m_frame.m_hWnd;
    PostMessageW(frame, WM_APP_OPEN_FILE_DEFERRED, 1, reinterpret_cast<LPARAM>(SysAllocString(L"C:\\shoot\\a")));
    PostMessageW(frame, WM_APP_OPEN_FILE_DEFERRED, 2, reinterpret_cast<LPARAM>(SysAllocString(L"C:\\shoot\\b")));
    MSG message{};
    while (PeekMessageW(&message, frame, WM_APP_OPEN_FILE_DEFERRED, WM_APP_OPEN_FILE_DEFERRED, PM_REMOVE))
        DispatchMessageW(&message);
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_DEFERRED_OPEN, 0);
    WPARAM command = 0;
    LPARAM variant = 0;
    ASSERT_TRUE(TakePostedCommand(frame, command, variant));
    EXPECT_EQ(ID_NAV_NEXT, command);
    EXPECT_EQ(-2, variant);
    EXPECT_FALSE(TakePostedCommand(frame, command, variant)) << "one open for the burst";
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_DEFERRED_OPEN, 0);
    EXPECT_FALSE(TakePostedCommand(frame, command, variant)) << "nothing left to open";
}

TEST_F(FrameTimersTest, SlideshowAndAutoAdvanceStepsPostNextWhileTheSlideshowWaitsOnAnEmptyList)
{
    HWND frame = m_frame.m_hWnd;
    WPARAM command = 0;
    LPARAM variant = 0;
    SetTimer(frame, TIMER_FRAME_SLIDESHOW, 60000, nullptr);
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_SLIDESHOW, 0);
    EXPECT_FALSE(TakePostedCommand(frame, command, variant)) << command << " " << variant;
    EXPECT_TRUE(KillTimer(frame, TIMER_FRAME_SLIDESHOW)) << "the slideshow keeps waiting";

    SetTimer(frame, TIMER_FRAME_AUTO_ADVANCE, 60000, nullptr);
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_AUTO_ADVANCE, 0);
    ASSERT_TRUE(TakePostedCommand(frame, command, variant));
    EXPECT_EQ(ID_NAV_NEXT, command);
    EXPECT_EQ(0, variant);
    EXPECT_FALSE(KillTimer(frame, TIMER_FRAME_AUTO_ADVANCE));
}

TEST_F(FrameTimersTest, TheTickRunsFromTheFramesCreation)
{
    const uint32_t before = m_frame.Timers().TickCount();
    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_TICK, 0);
    EXPECT_EQ(before + 1, m_frame.Timers().TickCount());
    EXPECT_TRUE(KillTimer(m_frame.m_hWnd, TIMER_FRAME_TICK)) << "armed when the window was created";
}

// A change that no command reports (here the marks) reaches the status line at the next tick.
TEST_F(FrameTimersTest, TheTickRefreshesTheStatusLine)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg", L"b.jpg"});
    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_TICK, 0);
    const std::wstring before(m_frame.Caption().StatusLine().View());
    ASSERT_EQ(S_OK, m_frame.Engine().SetMarkedForGroup(m_frame.Engine().GetCurrentEntry(true), true));
    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_TICK, 0);
    EXPECT_NE(before, m_frame.Caption().StatusLine().View());
}
}
