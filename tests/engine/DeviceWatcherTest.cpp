#include "tests/engine/DeviceFixture.h"

namespace {
using DeviceWatcherTest = DeviceFixture;

TEST_F(DeviceWatcherTest, StartsOnceAndStopsOnlyWhatRuns)
{
    EXPECT_EQ(E_UNEXPECTED, watcher.Stop());
    EXPECT_EQ(E_UNEXPECTED, watcher.RefreshDeviceList());
    ASSERT_EQ(S_OK, watcher.Init(false));
    EXPECT_EQ(E_UNEXPECTED, watcher.Init(false));
    EXPECT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(E_UNEXPECTED, watcher.Stop());
    EXPECT_FALSE(watcher.IsAvailable());
    EXPECT_EQ(S_OK, watcher.Init(false)) << "a stopped watch starts again";
}

TEST_F(DeviceWatcherTest, OnlyCamerasWithPicturesAreConnectedAndNamedInTheTitle)
{
    world.AddCamera(L"usb#1", L"Alpha");
    world.AddCamera(L"usb#2", L"Player")->type = 2;
    world.AddCamera(L"usb#3", L"Scanner")->pictures = false;
    world.AddCamera(L"usb#4", L"Beta");
    world.AddCamera(L"usb#0", L"");
    StartWatching();
    EXPECT_EQ(3u, watcher.CountDevicesWithContent());
    size_t count = 0;
    EXPECT_EQ(L"Alpha+Beta", std::wstring(watcher.GetDeviceNamesText(&count).View())) << "a nameless one is left out";
    EXPECT_EQ(2u, count);
    EXPECT_TRUE(world.Find(L"usb#2")->adviseCookies.empty());
    EXPECT_TRUE(world.Find(L"usb#3")->adviseCookies.empty());
}

TEST_F(DeviceWatcherTest, ARefreshLeavesAKnownDeviceAsItIs)
{
    const auto camera = world.AddCamera(L"usb#1", L"Alpha");
    StartWatching();
    ASSERT_EQ(S_OK, watcher.RefreshDeviceList());
    EXPECT_EQ(1, camera->opens);
    EXPECT_EQ(1u, camera->adviseCookies.size());
    const auto second = world.AddCamera(L"usb#2", L"Beta");
    ASSERT_EQ(S_OK, watcher.RefreshDeviceList());
    EXPECT_EQ(2u, watcher.CountDevicesWithContent());
    EXPECT_EQ(1, camera->opens);
}

TEST_F(DeviceWatcherTest, StopEndsTheEventsOfEveryDeviceWithItsCookie)
{
    const auto first = world.AddCamera(L"usb#1", L"Alpha");
    const auto second = world.AddCamera(L"usb#2", L"Beta");
    StartWatching();
    ASSERT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(first->adviseCookies, first->unadvisedCookies);
    EXPECT_EQ(second->adviseCookies, second->unadvisedCookies);
    EXPECT_EQ(0u, watcher.CountDevicesWithContent());
    EXPECT_EQ(E_UNEXPECTED, world.RaiseObjectAdded(*first, L"o1", L"", L"late.jpg")) << "no callback is left";
}

TEST_F(DeviceWatcherTest, AManagerThatCannotBeCreatedIsTheStatus)
{
    world.managerFailure = REGDB_E_CLASSNOTREG;
    ASSERT_EQ(S_OK, watcher.Init(false));
    for (int i = 0; i < 500 && watcher.GetStatus() == S_OK; ++i) Sleep(10);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, watcher.GetStatus());
    EXPECT_FALSE(watcher.IsAvailable());
    EXPECT_EQ(E_UNEXPECTED, watcher.RefreshDeviceList());
}

TEST_F(DeviceWatcherTest, ARemovedCameraIsReportedAndItsRecordDropped)
{
    const auto camera = world.AddCamera(L"usb#1", L"Alpha");
    StartWatching();
    ASSERT_EQ(S_OK, world.RaiseDeviceRemoved(*camera));
    frame.PumpFor(5000, 1);
    ASSERT_EQ(std::vector<std::wstring>{L"usb#1"}, frame.removedDevices);
    EXPECT_EQ(0u, frame.Of(WM_APP_DEVICE_REMOVED)[0].wParam);
    EXPECT_FALSE(watcher.RemoveDevice(L"USB#1")) << "identifiers compare exactly";
    EXPECT_TRUE(watcher.RemoveDevice(L"usb#1"));
    EXPECT_EQ(0u, watcher.CountDevicesWithContent());
    EXPECT_EQ(camera->adviseCookies, camera->unadvisedCookies);
}

// A camera that stays busy keeps a transfer waiting; stopping the watch, or the camera going away,
// ends the wait without a picture and without touching freed state.
TEST_F(DeviceWatcherTest, StopAndRemovalDuringATransferEndItQuietly)
{
    DevicePlatform slow;
    slow.pause = [](DWORD) { Sleep(1); };
    ScopedDevicePlatform slowPauses(slow);
    const auto camera = world.AddCamera(L"usb#1", L"Alpha");
    camera->busyAnswers = 1000000;
    camera->objects[L"o1"] = {"picture"};
    StartWatching();
    ASSERT_EQ(S_OK, world.RaiseObjectAdded(*camera, L"o1", L"", L"IMG_1.JPG"));
    ASSERT_EQ(S_OK, world.RaiseDeviceRemoved(*camera));
    frame.PumpFor(50);
    EXPECT_TRUE(watcher.RemoveDevice(L"usb#1"));
    EXPECT_EQ(1, watcher.PendingTransfers());
    ASSERT_EQ(S_OK, watcher.Stop());
    DrainTransfers();
    EXPECT_TRUE(FolderFiles().empty());
}

TEST(DeviceWatcherPlatform, WithoutPortableDevicesTheStartFailsWithClassNotRegistered)
{
    const ScopedComApartment apartment;
    const HWND frame = nullptr;
    CDeviceWatcher watcher(frame);
    ASSERT_EQ(S_OK, watcher.Init(false));
    for (int i = 0; i < 500 && watcher.GetStatus() == S_OK; ++i) Sleep(10);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, watcher.GetStatus());
    EXPECT_FALSE(watcher.IsAvailable());
    EXPECT_EQ(S_OK, watcher.Stop());
}

TEST(DeviceWatcherPlatform, ImageAcquisitionStartsAndARefreshOnItsThreadAddsNothing)
{
    const ScopedComApartment apartment;
    const HWND frame = nullptr;
    CDeviceWatcher watcher(frame);
    ASSERT_EQ(S_OK, watcher.Init(true));
    for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
    ASSERT_TRUE(watcher.IsAvailable());
    EXPECT_EQ(S_OK, watcher.GetStatus());
    EXPECT_EQ(S_OK, watcher.RefreshDeviceList()) << "queued, not run";
    Sleep(200);
    EXPECT_EQ(0u, watcher.CountDevicesWithContent());
    EXPECT_EQ(S_OK, watcher.ClearDevices());
    EXPECT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(S_OK, watcher.GetStatus());
}
}
