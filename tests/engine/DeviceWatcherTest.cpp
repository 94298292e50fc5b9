#include "Viewer/engine/DeviceEventCallbacks.h"
#include "Framework/UniqueHandle.h"
#include "tests/engine/DeviceFixture.h"
#include "tests/support/MessageBoxRecorder.h"
#include <atomic>

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
    ExpectRemovalReported(L"usb#1");
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

// The system may deliver an event to a callback it still holds after the watch let go of the
// device (removed while the watch goes on, or the watch stopped); the callback then has no target
// and queues nothing.
TEST_F(DeviceWatcherTest, ACallbackKeptAfterItsDeviceWasLetGoIgnoresItsEvents)
{
    const auto camera = world.AddCamera(L"usb#1", L"Alpha");
    camera->objects[L"o1"] = {"late"};
    StartWatching();
    const ComPtr<IPortableDeviceEventCallback> kept = camera->callback;
    ASSERT_TRUE(kept);
    const ComPtr<IPortableDeviceValues> event =
        FakeDeviceWorld::ObjectAddedEvent(*camera, L"o1", L"", L"IMG_1.JPG");
    ASSERT_TRUE(watcher.RemoveDevice(L"usb#1"));
    EXPECT_EQ(S_OK, kept->OnEvent(event.Get()));
    EXPECT_EQ(0, watcher.PendingTransfers());
    ASSERT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(S_OK, kept->OnEvent(event.Get()));
    EXPECT_EQ(0, watcher.PendingTransfers());
    DrainTransfers();
    EXPECT_TRUE(FolderFiles().empty());
    EXPECT_TRUE(frame.Of(WM_APP_QUERY_IMPORT_FOLDER).empty());
}

TEST_F(DeviceWatcherTest, ImageAcquisitionConnectsCamerasWithBothEventsAndNamesThem)
{
    world.AddWiaCamera(L"wia#1", L"Alpha");
    world.AddWiaCamera(L"wia#2", L"");
    world.AddWiaCamera(L"wia#3", L"Beta");
    world.AddWiaCamera(L"wia#4", L"Unopened")->createFailure = WIA_ERROR_OFFLINE;
    const auto halfRegistered = world.AddWiaCamera(L"wia#5", L"Deaf");
    halfRegistered->refusedEvent = WIA_EVENT_DEVICE_DISCONNECTED;
    const auto numbered = world.AddWiaCamera(L"wia#6", L"Numbered");
    numbered->idAsNumber = true;
    StartWatchingWia();
    EXPECT_EQ(3u, watcher.CountDevicesWithContent()) << "Alpha, the nameless one and Beta";
    size_t count = 0;
    EXPECT_EQ(L"Alpha+Beta", std::wstring(watcher.GetDeviceNamesText(&count).View()));
    EXPECT_EQ(2u, count);

    const auto alpha = world.FindWia(L"wia#1");
    ASSERT_EQ(2u, alpha->registeredEvents.size());
    EXPECT_TRUE(IsEqualGUID(WIA_EVENT_ITEM_CREATED, alpha->registeredEvents[0]));
    EXPECT_TRUE(IsEqualGUID(WIA_EVENT_DEVICE_DISCONNECTED, alpha->registeredEvents[1]));
    EXPECT_EQ(2, alpha->liveRegistrations);
    EXPECT_EQ(2u, halfRegistered->registeredEvents.size());
    EXPECT_EQ(0, halfRegistered->liveRegistrations) << "the registration that worked is given back";
    EXPECT_EQ(0, numbered->creates) << "a device without a string identifier is not recorded";
}

TEST_F(DeviceWatcherTest, AnImageAcquisitionRefreshReturnsBeforeTheEnumerationRuns)
{
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    // The enumeration waits until the refresh has returned; run by the refresh itself, it would
    // give up waiting and find the refresh not returned.
    const UniqueHandle returned(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> enumeratedAfterReturn{false};
    world.onEnumerate = [&] { enumeratedAfterReturn = WaitForSingleObject(returned.Get(), 5000) == WAIT_OBJECT_0; };
    ASSERT_EQ(S_OK, watcher.Init(true));
    for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
    ASSERT_TRUE(watcher.IsAvailable());
    ASSERT_EQ(S_OK, watcher.RefreshDeviceList());
    SetEvent(returned.Get());
    for (int i = 0; i < 500 && world.wiaEnumerations == 0; ++i) Sleep(10);
    EXPECT_EQ(1u, watcher.CountDevicesWithContent()) << "waits for the enumeration under way";
    EXPECT_TRUE(enumeratedAfterReturn.load());
    EXPECT_NE(GetCurrentThreadId(), world.wiaEnumerationThread.load());
    EXPECT_EQ(1, camera->creates);
}

TEST_F(DeviceWatcherTest, AnImageAcquisitionRefreshLeavesAKnownCameraAsItIs)
{
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    StartWatchingWia();
    RefreshWia();
    EXPECT_EQ(1, camera->creates);
    EXPECT_EQ(2u, camera->registeredEvents.size());
    const auto second = world.AddWiaCamera(L"wia#2", L"Beta");
    RefreshWia();
    EXPECT_EQ(2u, watcher.CountDevicesWithContent());
    EXPECT_EQ(1, camera->creates);
    EXPECT_EQ(1, second->creates);
}

TEST_F(DeviceWatcherTest, StopReleasesEveryImageAcquisitionRegistration)
{
    const auto first = world.AddWiaCamera(L"wia#1", L"Alpha");
    const auto second = world.AddWiaCamera(L"wia#2", L"Beta");
    StartWatchingWia();
    const ComPtr<IWiaEventCallback> kept = first->itemCreatedCallback;
    ASSERT_TRUE(kept);
    ASSERT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(0, first->liveRegistrations);
    EXPECT_EQ(0, second->liveRegistrations);
    EXPECT_EQ(0u, watcher.CountDevicesWithContent());
    EXPECT_EQ(E_UNEXPECTED, world.RaiseItemCreated(*first, L"Root\\IMG_1")) << "no callback is registered";

    // A callback the system still holds has no target any more.
    Bstr id(first->id), item(L"Root\\IMG_1");
    EXPECT_EQ(S_OK, kept->ImageEventCallback(&WIA_EVENT_ITEM_CREATED, nullptr, id.Get(), nullptr, 0, item.Get(),
                                             nullptr, 0));
    EXPECT_EQ(0, watcher.PendingTransfers());
}

TEST_F(DeviceWatcherTest, TheCallbacksTakeTheirTargetThroughTheProgramsOwnInterface)
{
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    StartWatchingWia();
    ComPtr<IDeviceCallbackTarget> target;
    ASSERT_EQ(S_OK, camera->itemCreatedCallback->QueryInterface(__uuidof(IDeviceCallbackTarget), target.AsVoid()));
    EXPECT_EQ(E_INVALIDARG, target->SetTarget(nullptr));
    const DeviceCallbackTarget ended{std::weak_ptr<DeviceWatchState>(), camera->id};
    EXPECT_EQ(E_INVALIDARG, target->SetTarget(&ended));
    ComPtr<IDeviceCallbackTarget> wpdTarget;
    ComPtr<CWpdEventCallback> wpdCallback;
    ASSERT_EQ(S_OK, CWpdEventCallback::Create(wpdCallback));
    EXPECT_EQ(S_OK, wpdCallback->QueryInterface(__uuidof(IDeviceCallbackTarget), wpdTarget.AsVoid()));
}

TEST_F(DeviceWatcherTest, ARemovedImageAcquisitionCameraIsReportedAndLetGo)
{
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    StartWatchingWia();
    ASSERT_EQ(S_OK, world.RaiseWiaDisconnected(*camera));
    ExpectRemovalReported(L"wia#1");
    EXPECT_TRUE(watcher.RemoveDevice(L"wia#1"));
    EXPECT_EQ(0, camera->liveRegistrations);
    EXPECT_EQ(0u, watcher.CountDevicesWithContent());
}

// A picture whose delivery always fails after a part of it was written.
FakeWiaPicture UndeliveredPicture()
{
    FakeWiaPicture picture = WiaPicture(L"IMG_1", L"JPG", "picture");
    picture.transferFailures = -1;
    picture.partialBytes = 3;
    return picture;
}

// The same on the image-acquisition road, where the transfer works on the device's objects: Stop
// while the camera is delivering, and removal between two tries of a failing delivery. The picture
// held by the transfer outlives the record; the record is never reached once it is gone.
TEST_F(DeviceWatcherTest, StopWhileAnImageAcquisitionTransferRunsEndsItQuietly)
{
    const MessageBoxRecorder boxes(IDYES);
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    FakeWiaPicture picture = UndeliveredPicture();
    const UniqueHandle delivering(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    // The delivery lasts until the watch is being stopped.
    picture.onTransfer = [&] {
        SetEvent(delivering.Get());
        for (int i = 0; i < 500 && watcher.Running(); ++i) Sleep(10);
    };
    camera->items[L"Root\\IMG_1"] = picture;
    StartWatchingWia();
    ASSERT_EQ(S_OK, world.RaiseItemCreated(*camera, L"Root\\IMG_1"));
    ASSERT_TRUE(PumpUntilSet(delivering.Get()));
    ASSERT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(0, camera->liveRegistrations);
    DrainTransfers();
    EXPECT_EQ(1u, camera->transferFiles.size()) << "no try after the stop";
    EXPECT_TRUE(FolderFiles().empty()) << "no picture and no part of one";
    EXPECT_TRUE(boxes.calls.empty()) << "the user ended the watch";
}

// A picture that takes long to come over holds up no removal: the transfer keeps the item alive by
// its own reference, not by the watch's lock.
TEST_F(DeviceWatcherTest, ARemovalDuringALongImageAcquisitionTransferIsNotHeldUpByIt)
{
    const MessageBoxRecorder boxes(IDYES);
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    FakeWiaPicture picture = UndeliveredPicture();
    const UniqueHandle delivering(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueHandle removed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> removalSeenDuringTransfer{false};
    picture.onTransfer = [&] {
        SetEvent(delivering.Get());
        removalSeenDuringTransfer = WaitForSingleObject(removed.Get(), 5000) == WAIT_OBJECT_0;
    };
    camera->items[L"Root\\IMG_1"] = picture;
    StartWatchingWia();
    ASSERT_EQ(S_OK, world.RaiseItemCreated(*camera, L"Root\\IMG_1"));
    ASSERT_TRUE(PumpUntilSet(delivering.Get()));
    ASSERT_EQ(S_OK, world.RaiseWiaDisconnected(*camera));
    ExpectRemovalReported(L"wia#1");
    EXPECT_TRUE(watcher.RemoveDevice(L"wia#1"));
    SetEvent(removed.Get());
    DrainTransfers();
    EXPECT_TRUE(removalSeenDuringTransfer) << "the removal waited for the transfer";
    EXPECT_EQ(1u, camera->transferFiles.size()) << "no try after the removal";
    EXPECT_TRUE(FolderFiles().empty());
}

TEST_F(DeviceWatcherTest, RemovalBetweenTwoTriesOfAnImageAcquisitionTransferEndsIt)
{
    const MessageBoxRecorder boxes(IDYES);
    const auto camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    FakeWiaPicture picture = UndeliveredPicture();
    camera->items[L"Root\\IMG_1"] = picture;
    const UniqueHandle between(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueHandle removed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    world.onPause = [&] {
        SetEvent(between.Get());
        WaitForSingleObject(removed.Get(), 5000);
    };
    StartWatchingWia();
    ASSERT_EQ(S_OK, world.RaiseItemCreated(*camera, L"Root\\IMG_1"));
    ASSERT_TRUE(PumpUntilSet(between.Get()));
    ASSERT_EQ(S_OK, world.RaiseWiaDisconnected(*camera));
    ExpectRemovalReported(L"wia#1");
    EXPECT_TRUE(watcher.RemoveDevice(L"wia#1"));
    SetEvent(removed.Get());
    DrainTransfers();
    EXPECT_EQ(1u, camera->transferFiles.size()) << "no try after the removal";
    EXPECT_TRUE(FolderFiles().empty());
    ASSERT_EQ(1u, boxes.calls.size()) << "the picture the camera did not deliver is reported";
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"0x80210005"));
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

// The system's image-acquisition manager, counting the enumerations asked of it.
class CountingWiaManager : public WiaManagerStubs {
public:
    CountingWiaManager(ComPtr<IWiaDevMgr> system, std::atomic<int>& enumerations)
        : m_system(std::move(system)), m_enumerations(enumerations)
    {
    }
    HRESULT STDMETHODCALLTYPE EnumDeviceInfo(LONG flags, IEnumWIA_DEV_INFO** devices) override
    {
        ++m_enumerations;
        return m_system->EnumDeviceInfo(flags, devices);
    }
    HRESULT STDMETHODCALLTYPE CreateDevice(BSTR id, IWiaItem** root) override
    {
        return m_system->CreateDevice(id, root);
    }
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackInterface(LONG flags, BSTR id, const GUID* event,
                                                             IWiaEventCallback* callback,
                                                             IUnknown** registration) override
    {
        return m_system->RegisterEventCallbackInterface(flags, id, event, callback, registration);
    }

private:
    ComPtr<IWiaDevMgr> m_system;
    std::atomic<int>& m_enumerations;
};

// The system's manager is created and enumerates (under Wine it lists no device); the enumeration
// runs on the watcher thread, after the refresh has returned, and adds nothing.
TEST(DeviceWatcherPlatform, ImageAcquisitionStartsAndARefreshOnItsThreadAddsNothing)
{
    const ScopedComApartment apartment;
    std::atomic<int> enumerations{0};
    DevicePlatform counting;
    counting.createWiaManager = [system = CurrentDevicePlatform().createWiaManager,
                                 &enumerations](IWiaDevMgr** manager) {
        ComPtr<IWiaDevMgr> created;
        const HRESULT hr = system(&created);
        if (SUCCEEDED(hr)) *manager = new CountingWiaManager(created, enumerations);
        return hr;
    };
    const ScopedDevicePlatform seam(counting);
    const HWND frame = nullptr;
    CDeviceWatcher watcher(frame);
    ASSERT_EQ(S_OK, watcher.Init(true));
    for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
    ASSERT_TRUE(watcher.IsAvailable());
    EXPECT_EQ(S_OK, watcher.GetStatus());
    EXPECT_EQ(S_OK, watcher.RefreshDeviceList());
    for (int i = 0; i < 500 && enumerations == 0; ++i) Sleep(10);
    ASSERT_EQ(1, enumerations.load());
    EXPECT_EQ(0u, watcher.CountDevicesWithContent()) << "waits for the enumeration under way";
    EXPECT_EQ(S_OK, watcher.ClearDevices());
    EXPECT_EQ(S_OK, watcher.Stop());
    EXPECT_EQ(S_OK, watcher.GetStatus());
}
}
