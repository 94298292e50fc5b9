#include "tests/ui/FrameTest.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/MyPictures.h"

namespace {
using MainFrameTest = FrameTest;
}

TEST_F(MainFrameTest, WindowHasTheLibraryTitleNoMenuAndTheLibraryAccelerators)
{
    wchar_t className[64]{};
    GetClassNameW(m_frame.m_hWnd, className, 64);
    EXPECT_STREQ(L"Lumenfold_Frame", className);
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(GetClassLongPtrW(m_frame.m_hWnd, GCLP_HICON))) << "the program's icon";
    EXPECT_EQ(LoadResourceString(kFrameResourceId), m_frame.ProgramTitle().View());
    EXPECT_FALSE(m_frame.ProgramTitle().Empty());
    EXPECT_EQ(nullptr, GetMenu(m_frame.m_hWnd));

    // F11 is the kiosk-mode key of the table; the loop asks the frame, which translates it.
    MSG key{m_frame.m_hWnd, WM_KEYDOWN, VK_F11, 0, 0, {}};
    EXPECT_TRUE(m_loop.PreTranslateMessage(&key));
    EXPECT_TRUE(m_frame.IsKioskMode());
    MSG other{m_frame.m_hWnd, WM_KEYDOWN, VK_F7, 0, 0, {}};
    EXPECT_FALSE(m_loop.PreTranslateMessage(&other));
}

TEST_F(MainFrameTest, MinimumTrackSizeFollowsTheScreenDpi)
{
    HDC screen = GetDC(m_frame.m_hWnd);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(m_frame.m_hWnd, screen);
    MINMAXINFO info{};
    SendMessageW(m_frame.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (dpi == 96) {
        EXPECT_EQ(820, info.ptMinTrackSize.x);
        EXPECT_EQ(506, info.ptMinTrackSize.y);
    } else {
        EXPECT_EQ(static_cast<LONG>(820.0f * dpi / 96.0f + 0.5f), info.ptMinTrackSize.x);
    }
}

TEST_F(MainFrameTest, WakeUpWithAFolderOpensItDeletesTheAtomAndGuardsFourSeconds)
{
    EXPECT_FALSE(AtomExists(WakeUp(L"-i " + Quoted(m_folder.Path()))));
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View());

    TempFolder other;
    EXPECT_FALSE(AtomExists(WakeUp(L"-i " + Quoted(other.Path()))))
        << "a request within the guard only loses its atom";
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View());

    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_RECENTLY_WOKEN, 0);
    WakeUp(L"/imageFolder:" + other.Path());
    EXPECT_EQ(other.Path(), m_frame.ImageFolderPath().View());
}

TEST_F(MainFrameTest, WakeUpWithAKeepCopyFolderSetsItAfterTheImageFolder)
{
    TempFolder keepCopy;
    WakeUp(L"-c " + Quoted(keepCopy.Path()) + L" -i " + Quoted(m_folder.Path()));
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View());
    EXPECT_EQ(keepCopy.Path(), m_frame.KeepCopyFolderPath().View());
}

TEST_F(MainFrameTest, WakeUpWithAnEmptyImageFolderOpensMyPicturesWithoutTheGuard)
{
    const std::wstring myPictures = MyPicturesFolder();
    CreateDirectoryW(myPictures.c_str(), nullptr);
    WakeUp(L"-i -t");
    EXPECT_EQ(myPictures, m_frame.ImageFolderPath().View());
    WakeUp(L"-i " + Quoted(m_folder.Path()));
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View()) << "My Pictures does not start the guard";
}

TEST_F(MainFrameTest, WakeUpThatOpensNothingStartsNoGuard)
{
    WakeUp(L"-i " + Quoted(m_folder.File(L"missing")));
    EXPECT_TRUE(m_frame.ImageFolderPath().Empty());
    WakeUp(L"-imageFolder:" + m_folder.Path() + L" -c");
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View());
    EXPECT_TRUE(m_frame.KeepCopyFolderPath().Empty());
}

TEST_F(MainFrameTest, WakeUpWithAnUnreadableAtomDoesNothing)
{
    EXPECT_EQ(0, SendMessageW(m_frame.m_hWnd, WakeUpMessage, 0, 0));
    EXPECT_TRUE(m_frame.ImageFolderPath().Empty());
}

TEST_F(MainFrameTest, StatusTextIsKeptAndCleared)
{
    m_frame.Caption().SetStatusText(L"Nothing here");
    EXPECT_EQ(L"Nothing here", m_frame.Caption().NameText().View());
    m_frame.Caption().SetStatusText(nullptr);
    EXPECT_EQ(nullptr, m_frame.Caption().NameText().Get());
}

TEST_F(MainFrameTest, CloseSavesTheViewStateDestroysTheWindowAndEndsTheLoopWithOne)
{
    SetWindowPos(m_frame.m_hWnd, nullptr, 40, 50, 900, 600, SWP_NOZORDER);
    AppSettings::ShowHistogram = 0;
    SendMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(m_frame.IsWindow());
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(1u, quit.wParam);

    const RegKey key = Settings();
    EXPECT_EQ(L"44 0 1 -1 -1 -1 -1 40 50 940 650", key.QueryString(L"AppWindow").value_or(L"").substr(0, 32));
    EXPECT_EQ(0u, key.QueryDword(L"Maximized").value_or(7));
    EXPECT_EQ(0u, key.QueryDword(L"KioskMode").value_or(7));
    EXPECT_EQ(0u, key.QueryDword(L"KioskMode.ExitMaximized").value_or(7));
    EXPECT_EQ(0u, key.QueryDword(L"ShowHistogram").value_or(7));
    AppSettings::ShowHistogram = 1;
}

TEST_F(MainFrameTest, LastImageViewedIsTheCurrentPicturesPathFromTheImageFolderOn)
{
    AppSettings::ReuseLastPictureFolder = 1;
    ShowFileOfFolder(L"Day 2\\b.jpg", {L"a.jpg", L"Day 2\\b.jpg"});
    SendMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(L"Day 2\\b.jpg", Settings().QueryString(L"LastImageViewed").value_or(L""));
    AppSettings::ReuseLastPictureFolder = 0;
}

TEST_F(MainFrameTest, LastImageViewedIsDeletedWithoutACurrentPictureOrWhenTheFolderIsNotReused)
{
    for (const DWORD reuse : {1u, 0u}) {
        AppSettings::ReuseLastPictureFolder = reuse;
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        key.SetString(L"LastImageViewed", L"old.jpg");
        if (!reuse) ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
        m_frame.Closing().SaveViewState();
        EXPECT_FALSE(Settings().QueryString(L"LastImageViewed").has_value()) << "reuse " << reuse;
    }
    AppSettings::ReuseLastPictureFolder = 0;
}

TEST_F(MainFrameTest, KioskModeFromAMaximizedWindowRemembersItAndComesBackMaximized)
{
    ShowWindow(m_frame.m_hWnd, SW_SHOWMAXIMIZED);
    m_frame.ToggleKioskMode();
    EXPECT_TRUE(m_frame.IsKioskMode());
    EXPECT_EQ(0, GetWindowLongPtrW(m_frame.m_hWnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(IsZoomed(m_frame.m_hWnd));
    EXPECT_TRUE(Settings().QueryString(L"AppWindow.Maximized").has_value());

    m_frame.ToggleKioskMode();
    EXPECT_FALSE(m_frame.IsKioskMode());
    EXPECT_EQ(WS_CAPTION | WS_THICKFRAME, GetWindowLongPtrW(m_frame.m_hWnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(IsZoomed(m_frame.m_hWnd));
}

TEST_F(MainFrameTest, KioskModeClosedSavesThePlacementFromBeforeIt)
{
    SetWindowPos(m_frame.m_hWnd, nullptr, 40, 50, 900, 600, SWP_NOZORDER);
    ShowWindow(m_frame.m_hWnd, SW_SHOWNORMAL);
    m_frame.ToggleKioskMode();
    EXPECT_FALSE(Settings().QueryString(L"AppWindow.Maximized").has_value());
    SendMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    const RegKey key = Settings();
    EXPECT_EQ(L"44 0 1 -1 -1 -1 -1 40 50 940 650", key.QueryString(L"AppWindow").value_or(L"").substr(0, 32));
    EXPECT_EQ(1u, key.QueryDword(L"KioskMode").value_or(0));
    EXPECT_EQ(0u, key.QueryDword(L"KioskMode.ExitMaximized").value_or(7));
}

TEST_F(MainFrameTest, EndOfSessionSavesTheViewStateAtOnceLetsTheMarkerGoAndCloses)
{
    InstanceEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SendMessageW(m_frame.m_hWnd, WM_ENDSESSION, FALSE, 0);
    EXPECT_NE(nullptr, InstanceEvent) << "a session that goes on keeps the marker";
    EXPECT_FALSE(Settings().QueryString(L"AppWindow").has_value());
    SetWindowPos(m_frame.m_hWnd, nullptr, 40, 50, 900, 600, SWP_NOZORDER);
    SendMessageW(m_frame.m_hWnd, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(nullptr, InstanceEvent);
    // Written before the posted close, which an ending session never runs.
    EXPECT_EQ(L"44 0 1 -1 -1 -1 -1 40 50 940 650", Settings().QueryString(L"AppWindow").value_or(L"").substr(0, 32));
    EXPECT_EQ(0u, Settings().QueryDword(L"KioskMode").value_or(7));
    MSG close{};
    EXPECT_TRUE(PeekMessageW(&close, m_frame.m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST(MainFrameObject, DestructionLetsTheSingleInstanceMarkerGo)
{
    const ScopedComApartment apartment;
    InstanceEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CMainFrame frame(false, false);
    }
    EXPECT_EQ(nullptr, InstanceEvent);
}

TEST_F(MainFrameTest, TheStartupsPlugInsAndTableAreTakenWhileTheFrameLivesAndDeclinedOnceItClosed)
{
    const HACCEL original = m_frame.m_hAccel;
    ASSERT_TRUE(original);
    ACCEL entries[256]{};
    const int count = CopyAcceleratorTableW(original, entries, 256);
    entries[count] = ACCEL{FVIRTKEY | FCONTROL | FNOINVERT, 'W', 3000};

    StartupPlugIns handed;
    handed.plugIns.emplace_back();
    handed.plugIns[0].DisplayName = L"Set as Wallpaper";
    handed.accelerators = CreateAcceleratorTableW(entries, count + 1);
    const HACCEL enlarged = handed.accelerators;
    EXPECT_EQ(1, SendMessageW(m_frame.m_hWnd, WM_APP_STARTUP_PLUGINS, 0, reinterpret_cast<LPARAM>(&handed)));
    EXPECT_EQ(enlarged, m_frame.m_hAccel);
    EXPECT_EQ(nullptr, handed.accelerators);
    ASSERT_EQ(1u, g_ActionPlugIns.size());
    EXPECT_EQ(L"Set as Wallpaper", g_ActionPlugIns[0].DisplayName.View());
    EXPECT_EQ(count + 1, CopyAcceleratorTableW(m_frame.m_hAccel, nullptr, 0));

    // Closed: the start-up thread's message finds no window, and what it made stays its own to free.
    const HWND closed = m_frame.m_hWnd;
    SendMessageW(closed, WM_CLOSE, 0, 0);
    RegKey noSettings;
    RunStartupTasks(noSettings, closed, enlarged, nullptr, L"");
    EXPECT_EQ(enlarged, m_frame.m_hAccel);
    EXPECT_EQ(1u, g_ActionPlugIns.size());
    g_ActionPlugIns.clear();
}

TEST_F(MainFrameTest, TheViewIsTheSplittersTopPaneAboveTheBarsPlace)
{
    HWND view = m_frame.View().m_hWnd;
    ASSERT_TRUE(IsWindow(view));
    EXPECT_EQ(m_frame.Splitter().m_hWnd, GetParent(view));
    EXPECT_EQ(m_frame.m_hWnd, GetParent(GetParent(view)));
    SetWindowPos(m_frame.m_hWnd, nullptr, 0, 0, 900, 600, SWP_NOZORDER | SWP_NOMOVE);
    RECT client{}, pane{};
    GetClientRect(m_frame.m_hWnd, &client);
    GetClientRect(view, &pane);
    EXPECT_EQ(client.right, pane.right);
    EXPECT_EQ(client.bottom - m_frame.BarHeight(), pane.bottom);
}
