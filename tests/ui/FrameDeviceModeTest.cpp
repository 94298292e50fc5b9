#include "Viewer/core/LanguageLibrary.h"
#include "tests/engine/FakeDevices.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/ui/FrameTest.h"
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
// Whether the frame's timer runs, leaving it running.
bool TimerRuns(HWND frame, UINT_PTR id)
{
    return KillTimer(frame, id) ? (SetTimer(frame, id, 60000, nullptr), true) : false;
}

std::string ReadAll(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class FrameDeviceModeTest : public FrameTest {
protected:
    void TearDown() override
    {
        // The frame's own teardown stops the watch; transfers it started end before the fakes go.
        if (m_frame.Modes().IsDeviceMode()) SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
        for (int i = 0; i < 500 && m_frame.Modes().DeviceWatcher().PendingTransfers() > 0; ++i) PumpFor(10);
        FrameTest::TearDown();
    }

    // Device mode on, with the watch available and its devices connected.
    void StartDeviceMode()
    {
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
        ASSERT_TRUE(m_frame.Modes().IsDeviceMode());
        CDeviceWatcher& watcher = m_frame.Modes().DeviceWatcher();
        for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
        SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_DEVICE_POLL, 0);
    }

    FakeDeviceWorld m_world;
    ScopedDevicePlatform m_seam{m_world.Platform()};
};

TEST_F(FrameDeviceModeTest, EachSwitchLeavesAtMostOneModeWithItsTimersAndWatch)
{
    HWND frame = m_frame.m_hWnd;
    CFrameModes& modes = m_frame.Modes();
    const struct {
        WORD command;
        bool slideshow, track, device;
    } steps[] = {
        {ID_DEVICE_MODE, false, false, true}, {ID_AUTO_MODE, true, false, false},  {ID_DEVICE_MODE, false, false, true},
        {ID_TRACK_MODE, false, true, false},  {ID_DEVICE_MODE, false, false, true}, {ID_DEVICE_MODE, false, false, false},
        {ID_TRACK_MODE, false, true, false},  {ID_TRACK_MODE, false, false, false}, {ID_AUTO_MODE, true, false, false},
        {ID_TRACK_MODE, false, true, false},  {ID_AUTO_MODE, true, false, false},   {ID_AUTO_MODE, false, false, false},
    };
    for (const auto& step : steps) {
        SendMessageW(frame, WM_COMMAND, step.command, 0);
        EXPECT_EQ(step.slideshow, modes.IsSlideshowRunning()) << step.command;
        EXPECT_EQ(step.track, modes.IsTrackMode()) << step.command;
        EXPECT_EQ(step.device, modes.IsDeviceMode()) << step.command;
        EXPECT_EQ(step.slideshow, TimerRuns(frame, TIMER_FRAME_SLIDESHOW)) << step.command;
        EXPECT_EQ(step.device, TimerRuns(frame, TIMER_FRAME_DEVICE_POLL)) << step.command;
        EXPECT_EQ(step.device, modes.DeviceWatcher().Running()) << step.command;
        EXPECT_EQ(step.device ? 90 : -1, modes.DeviceCountdown()) << step.command;
    }
}

TEST_F(FrameDeviceModeTest, TurningDeviceModeOffEndsThePollAndNoBoxFollows)
{
    const MessageBoxRecorder boxes;
    m_world.managerFailure = REGDB_E_CLASSNOTREG;
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_DEVICE_POLL));
    EXPECT_EQ(-1, m_frame.Modes().DeviceCountdown());
    PumpFor(1300);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FrameDeviceModeTest, AWatchThatNeverBecomesAvailableEndsDeviceModeAfterItsCountdown)
{
    const MessageBoxRecorder boxes;
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
    // A watch that is not available and has no failure to report: only the countdown decides.
    m_frame.Modes().DeviceWatcher().Stop();
    for (int tick = 0; tick <= 90; ++tick) {
        ASSERT_TRUE(m_frame.Modes().IsDeviceMode()) << tick;
        SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_DEVICE_POLL, 0);
    }
    EXPECT_FALSE(m_frame.Modes().IsDeviceMode());
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(LoadUiString(10057), boxes.calls[0].text) << "Windows 6 and later";
    EXPECT_EQ(LoadUiString(10055), boxes.calls[0].caption);
}

TEST_F(FrameDeviceModeTest, ANewPictureOnTheCameraIsCopiedListedAndShown)
{
    const MessageBoxRecorder boxes;
    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    const TempFolder elsewhere;
    const std::wstring source = elsewhere.File(L"source.png");
    WriteTestPicture(source, GUID_ContainerFormatPng, {PlainFrame(8, 8, Rgba{1, 2, 3, 255})});
    const std::string picture = ReadAll(source);
    const auto camera = m_world.AddCamera(L"usb#1", L"Alpha");
    camera->objects[L"o1"] = {picture};
    StartDeviceMode();
    ASSERT_EQ(1u, m_frame.Modes().DeviceWatcher().CountDevicesWithContent());
    ASSERT_EQ(S_OK, m_world.RaiseObjectAdded(*camera, L"o1", L"", L"IMG_0001.PNG"));
    CImageEngine& engine = m_frame.Engine();
    const std::wstring expected = m_folder.File(L"IMG_0001");
    for (int i = 0; i < 500; ++i) {
        PumpFor(10);
        CImageEntry* current = engine.GetCurrentEntry(true);
        if (current && current->GetBasePath() == expected) break;
    }
    EXPECT_EQ(picture, ReadAll(m_folder.File(L"IMG_0001.PNG")));
    EXPECT_EQ(2u, engine.GetEntryCount());
    CImageEntry* current = engine.GetCurrentEntry(true);
    ASSERT_TRUE(current);
    EXPECT_EQ(expected, current->GetBasePath());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(FrameDeviceModeTest, ARemovedDeviceLosesItsRecord)
{
    const auto camera = m_world.AddCamera(L"usb#1", L"Alpha");
    StartDeviceMode();
    ASSERT_EQ(1u, m_frame.Modes().DeviceWatcher().CountDevicesWithContent());
    SendMessageW(m_frame.m_hWnd, WM_APP_DEVICE_REMOVED, 0, reinterpret_cast<LPARAM>(SysAllocString(L"usb#1")));
    EXPECT_EQ(0u, m_frame.Modes().DeviceWatcher().CountDevicesWithContent());
    EXPECT_EQ(camera->adviseCookies, camera->unadvisedCookies);
}

TEST_F(FrameDeviceModeTest, TheImportFolderIsTheOpenFolderOrOneTheUserChooses)
{
    BSTR answer = nullptr;
    std::vector<std::wstring> browses;
    bool choose = false;
    const ScopedModalSeam seam(ModalSeam{
        .browseForFolder = [&](HWND, const wchar_t*, UINT, const wchar_t*, std::wstring& chosen) {
            browses.emplace_back(L"asked");
            if (!choose) return false;
            chosen = m_folder.Path();
            return true;
        }});
    SendMessageW(m_frame.m_hWnd, WM_APP_QUERY_IMPORT_FOLDER, 0, reinterpret_cast<LPARAM>(&answer));
    EXPECT_EQ(nullptr, answer) << "no folder open and the browse cancelled";
    EXPECT_EQ(1u, browses.size());
    choose = true;
    SendMessageW(m_frame.m_hWnd, WM_APP_QUERY_IMPORT_FOLDER, 0, reinterpret_cast<LPARAM>(&answer));
    ASSERT_NE(nullptr, answer);
    EXPECT_EQ(m_folder.Path(), answer);
    SysFreeString(answer);
    answer = nullptr;
    SendMessageW(m_frame.m_hWnd, WM_APP_QUERY_IMPORT_FOLDER, 0, reinterpret_cast<LPARAM>(&answer));
    EXPECT_EQ(2u, browses.size()) << "an open folder is answered at once";
    EXPECT_EQ(m_folder.Path(), answer);
    SysFreeString(answer);
}

TEST_F(FrameDeviceModeTest, TheStatusLineNamesTheCamerasAndTheBarComesUpWhenTheyOrTheImportChange)
{
    const DWORD autoHide = AppSettings::AutoHideTaskbar;
    AppSettings::AutoHideTaskbar = 1;
    HWND frame = m_frame.m_hWnd;
    SetWindowPos(frame, nullptr, 100, 100, 900, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    SendMessageW(frame, WM_APP_APPLY_TASKBAR_LAYOUT, 0, 0);
    SetCursorPos(5, 5);
    HWND bar = m_frame.ControlBar().m_hWnd;
    // The switch itself brought the bar; it is sent away before each change is looked at.
    const auto sendBarAway = [&] {
        SendMessageW(frame, WM_TIMER, TIMER_FRAME_BAR_HIDE, 0);
        ASSERT_FALSE(IsWindowVisible(bar));
    };
    const auto tick = [&] {
        SendMessageW(frame, WM_TIMER, TIMER_FRAME_TICK, 0);
        return std::wstring(m_frame.Caption().StatusLine().View());
    };
    const auto endsWith = [](const std::wstring& line, const std::wstring& suffix) {
        return line.size() >= suffix.size() && line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0;
    };

    SendMessageW(frame, WM_COMMAND, ID_DEVICE_MODE, 0);
    sendBarAway();
    std::wstring line = tick();
    EXPECT_TRUE(endsWith(line, L"  " + LoadUiString(10061))) << line;
    EXPECT_FALSE(IsWindowVisible(bar)) << "no device before and none now";

    m_world.AddCamera(L"usb#1", L"Alpha");
    CDeviceWatcher& watcher = m_frame.Modes().DeviceWatcher();
    for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
    SendMessageW(frame, WM_TIMER, TIMER_FRAME_DEVICE_POLL, 0);
    for (int i = 0; i < 500 && watcher.CountDevicesWithContent() == 0; ++i) PumpFor(10);
    line = tick();
    EXPECT_TRUE(endsWith(line, L"  [Alpha]")) << line;
    EXPECT_TRUE(IsWindowVisible(bar)) << "a camera came";
    EXPECT_TRUE(m_frame.IsBarVisible());

    sendBarAway();
    line = tick();
    EXPECT_FALSE(IsWindowVisible(bar)) << "nothing changed";

    SendMessageW(frame, WM_APP_SET_FRAME_FLAG, 1, 0);
    line = tick();
    EXPECT_TRUE(endsWith(line, L"  " + LoadUiString(10063))) << line;
    EXPECT_TRUE(IsWindowVisible(bar)) << "an import began";
    AppSettings::AutoHideTaskbar = autoHide;
}

TEST_F(FrameDeviceModeTest, TheBarMenuChecksTheModeThatRuns)
{
    HMENU menu = nullptr;
    const ScopedModalSeam seam(ModalSeam{.trackPopup = [&](HMENU shown, UINT, int, int, HWND owner) {
        menu = shown;
        SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(shown), 0);
        return TRUE;
    }});
    const auto checked = [&](UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    const struct {
        WORD command;
        bool slideshow, track, device;
    } steps[] = {
        {ID_DEVICE_MODE, false, false, true},
        {ID_TRACK_MODE, false, true, false},
        {ID_AUTO_MODE, true, false, false},
        {ID_AUTO_MODE, false, false, false},
    };
    for (const auto& step : steps) {
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, step.command, 0);
        SendMessageW(m_frame.ControlBar().m_hWnd, WM_CONTEXTMENU, 0, MAKELPARAM(300, 300));
        ASSERT_TRUE(menu);
        EXPECT_EQ(step.device, checked(ID_DEVICE_MODE)) << step.command;
        EXPECT_EQ(step.track, checked(ID_TRACK_MODE)) << step.command;
        EXPECT_EQ(step.slideshow, checked(ID_AUTO_MODE)) << step.command;
    }
}

// Under this platform there are no portable devices: the first poll reports the failure and device
// mode ends. This frame meets the platform's own device classes.
using FrameDevicePlatformTest = FrameTest;

TEST_F(FrameDevicePlatformTest, WithoutPortableDevicesThePollReportsTheFailureAndEndsDeviceMode)
{
    const MessageBoxRecorder boxes;
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_DEVICE_MODE, 0);
    for (int i = 0; i < 500 && m_frame.Modes().DeviceWatcher().GetStatus() == S_OK; ++i) Sleep(10);
    SendMessageW(m_frame.m_hWnd, WM_TIMER, TIMER_FRAME_DEVICE_POLL, 0);
    EXPECT_FALSE(m_frame.Modes().IsDeviceMode());
    EXPECT_FALSE(TimerRuns(m_frame.m_hWnd, TIMER_FRAME_DEVICE_POLL));
    ASSERT_EQ(1u, boxes.calls.size());
    wchar_t expected[256]{};
    swprintf_s(expected, LoadUiString(10056).c_str(), 0x80040154u);
    EXPECT_EQ(expected, boxes.calls[0].text);
    EXPECT_EQ(LoadUiString(10055), boxes.calls[0].caption);
    EXPECT_EQ(UINT(MB_ICONHAND), boxes.calls[0].type);
}
}
