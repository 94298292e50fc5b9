// The viewer's start and end as a whole program: the imaging component check, the empty start,
// the window placement rules and the clean close.
#include "Framework/ResourceModule.h"
#include "tests/process/ViewerCopy.h"
#include "tests/process/ViewerFixture.h"
#include "tests/process/ViewerWithoutSystemLibrary.h"
#include "tests/support/ScopedResourceModule.h"
#include <array>
#include <utility>
#include <vector>

namespace {
constexpr wchar_t kStoredPlacement[] = L"44 0 1 -1 -1 -1 -1 100 100 1000 700 96 96";

using Corners = std::array<LONG, 4>;

Corners WindowCorners(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT PrimaryWorkArea()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// Whether a window with that caption, owned by the frame, shows within timeoutMs.
bool OwnedWindowShows(HWND frame, const wchar_t* caption, DWORD timeoutMs)
{
    struct Search {
        HWND owner;
        const wchar_t* caption;
        bool found;
    } search{frame, caption, false};
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        EnumWindows(
            [](HWND window, LPARAM parameter) {
                auto& wanted = *reinterpret_cast<Search*>(parameter);
                wchar_t text[64]{};
                GetWindowTextW(window, text, 64);
                wanted.found = GetWindow(window, GW_OWNER) == wanted.owner && IsWindowVisible(window) &&
                               wcscmp(text, wanted.caption) == 0;
                return wanted.found ? FALSE : TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount64() >= end) return search.found;
        Sleep(100);
    }
}

class StartupProcess : public ViewerFixture {
protected:
    void StoreValues(std::initializer_list<std::pair<const wchar_t*, DWORD>> flags)
    {
        RegKey key = SettingsKey(KEY_ALL_ACCESS);
        key.SetString(L"AppWindow", kStoredPlacement);
        for (const auto& [name, value] : flags) key.SetDword(name, value);
    }

    // Starts a viewer and waits for its window to have taken its place: the viewer places its window
    // before it tells the start path, and answers messages once it runs its message loop.
    HWND StartAndWaitForFrame(ViewerProcess& viewer)
    {
        if (!viewer.Started() || !Log().WaitFor(L"status", std::nullopt, kStartTimeoutMs)) return nullptr;
        HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
        return ServedEarlierMessages(frame, kStartTimeoutMs) ? frame : nullptr;
    }
};
}

TEST_F(StartupProcess, MissingImagingComponentShowsTheDialogOnceAndEndsWithZero)
{
    ViewerWithoutSystemLibrary withoutImaging(L"windowscodecs");
    ASSERT_FALSE(withoutImaging.Program().empty());
    ViewerProcess viewer(L"", Environment(), withoutImaging.Program());
    ASSERT_TRUE(viewer.Started());
    EXPECT_EQ(0u, viewer.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_EQ(std::vector<std::wstring>{L"116"}, Log().Texts(L"dialog"));
    EXPECT_TRUE(Log().Texts(L"status").empty()) << "no window after the retry failed";
}

TEST_F(StartupProcess, WithoutALanguageLibraryTheProgramSaysSoAndEndsWithMinusOne)
{
    ViewerCopy withoutLibrary(ViewerCopy::Library::Without);
    ASSERT_FALSE(withoutLibrary.Program().empty());
    ViewerProcess viewer(L"", Environment(), withoutLibrary.Program());
    ASSERT_TRUE(viewer.Started());
    EXPECT_EQ(static_cast<DWORD>(-1), viewer.WaitForExit(kExitTimeoutMs).value_or(99));
    const std::vector<std::wstring> boxes = Log().Texts(L"messagebox");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].rfind(L"Lumenfold|Lumenfold cannot start!", 0)) << testing::PrintToString(boxes[0]);
    EXPECT_TRUE(Log().Texts(L"dialog").empty());
    EXPECT_TRUE(Log().Texts(L"status").empty());
}

TEST_F(StartupProcess, NothingToOpenShowsTheEmptyViewTextAndCloseSavesTheViewState)
{
    ViewerProcess viewer(L"", Environment());
    HWND frame = StartAndWaitForFrame(viewer);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(IsWindowVisible(frame));
    const std::wstring emptyViewText = LanguageLibraryString(kEmptyViewStringId);
    ASSERT_FALSE(emptyViewText.empty());
    EXPECT_EQ(std::vector<std::wstring>{emptyViewText}, Log().Texts(L"status"));
    EXPECT_TRUE(Log().Texts(L"messagebox").empty());

    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, viewer.WaitForExit(kExitTimeoutMs).value_or(99));

    RegKey key = SettingsKey();
    EXPECT_EQ(1u, key.QueryDword(L"DisableHWA").value_or(0)) << "the first run wrote its defaults";
    const std::wstring placement = key.QueryString(L"AppWindow").value_or(L"");
    EXPECT_EQ(0u, placement.rfind(L"44 ", 0)) << "placement text: " << testing::PrintToString(placement);
    EXPECT_EQ(0u, key.QueryDword(L"Maximized").value_or(7));
    EXPECT_EQ(0u, key.QueryDword(L"KioskMode").value_or(7));
    EXPECT_EQ(0u, key.QueryDword(L"KioskMode.ExitMaximized").value_or(7));
}


TEST_F(StartupProcess, MonitorSwitchFitsTheWindowIntoThatMonitor)
{
    StoreValues({});
    ViewerProcess viewer(L"-m 1", Environment());
    HWND frame = StartAndWaitForFrame(viewer);
    ASSERT_TRUE(frame);
    const RECT work = PrimaryWorkArea();
    // 900 x 600 becomes 898 x 598, centred in the work area.
    const LONG x = work.left + (work.right - work.left) / 2 - 449;
    const LONG y = work.top + (work.bottom - work.top) / 2 - 299;
    EXPECT_EQ((Corners{x, y, x + 898, y + 598}), WindowCorners(frame));
}

// Command lines after which the window stands where the stored placement puts it: none at all, and
// a monitor switch beyond the monitors there are.
class StoredPlacementProcess : public StartupProcess, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(StoredPlacementProcess, StoredPlacementIsRestored)
{
    StoreValues({});
    ViewerProcess viewer(GetParam(), Environment());
    HWND frame = StartAndWaitForFrame(viewer);
    ASSERT_TRUE(frame);
    EXPECT_EQ((Corners{100, 100, 1000, 700}), WindowCorners(frame));
}

INSTANTIATE_TEST_SUITE_P(CommandLines, StoredPlacementProcess, testing::Values(L"", L"-monitor:3"));

TEST_F(StartupProcess, StoredKioskModeStartsBorderlessAndMaximizedAndIsKeptOnClose)
{
    StoreValues({{L"KioskMode", 1}});
    ViewerProcess viewer(L"", Environment());
    HWND frame = StartAndWaitForFrame(viewer);
    ASSERT_TRUE(frame);
    EXPECT_EQ(0, GetWindowLongPtrW(frame, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(IsZoomed(frame));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, viewer.WaitForExit(kExitTimeoutMs).value_or(99));
    EXPECT_EQ(1u, SettingsKey().QueryDword(L"KioskMode").value_or(0));
}

// The editors window is open on a first run; afterwards each tool window opens as it was left.
TEST_F(StartupProcess, TheToolWindowsOpenAsTheLastCloseLeftThem)
{
    constexpr DWORD kToolWindowTimeoutMs = 10000;
    struct Run {
        const char* what;
        std::vector<std::pair<const wchar_t*, DWORD>> stored;  // written before the start
        const wchar_t* shown;
        const wchar_t* notShown;
    };
    const Run runs[] = {
        {"first run", {}, L"External editors", L"Bookmarks"},
        {"bookmarks left open, editors closed", {{L"ShowBookmarkList", 1}, {L"ShowExternalEditors", 0}},
         L"Bookmarks", L"External editors"},
    };
    for (const Run& run : runs) {
        RegKey key = SettingsKey(KEY_ALL_ACCESS);
        for (const auto& [name, value] : run.stored) key.SetDword(name, value);
        ViewerProcess viewer(L"", Environment());
        HWND frame = StartAndWaitForFrame(viewer);
        ASSERT_TRUE(frame) << run.what;
        EXPECT_TRUE(OwnedWindowShows(frame, run.shown, kToolWindowTimeoutMs)) << run.what;
        EXPECT_FALSE(OwnedWindowShows(frame, run.notShown, 0)) << run.what;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(1u, viewer.WaitForExit(kExitTimeoutMs).value_or(99)) << run.what;
    }
    // Closing the viewer closes the bookmark list with it, but it was open: it comes back next time.
    EXPECT_EQ(1u, SettingsKey().QueryDword(L"ShowBookmarkList").value_or(7));
    EXPECT_EQ(0u, SettingsKey().QueryDword(L"ShowExternalEditors").value_or(7));
}
