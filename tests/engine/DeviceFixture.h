#pragma once
// The fixture of the device watcher's and the import's tests: fake cameras through the creation
// seam, a stand-in main window that names a real temporary folder for the pictures, and a watcher.
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DeviceWatcher.h"
#include "tests/engine/FakeDevices.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/support/ScopedComApartment.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The import's two boxes, as the user reads them.
inline constexpr wchar_t kOverwriteCaption[] = L"Lumenfold - Confirm Destination File Overwrite";
inline constexpr wchar_t kFailureCaption[] = L"Lumenfold - File Import";

inline std::wstring OverwriteQuestion(const std::wstring& target)
{
    return target + L"\r\n\r\nWARNING: A file with the same name already exists in the destination folder.\r\n\r\n"
                    L"Do you REALLY want to OVERWRITE the existing file?";
}

inline std::wstring ImportFailureText(const std::wstring& error)
{
    return L"An error occured while copying a file.\r\n\r\nThe operation failed with error " + error +
           L" and the file was NOT copied, please check disk space and access rights.";
}

// A picture on an image-acquisition camera that the camera delivers at once.
inline FakeWiaPicture WiaPicture(const std::wstring& name, const std::wstring& extension, const std::string& bytes)
{
    FakeWiaPicture picture;
    picture.itemName = name;
    picture.extension = extension;
    picture.bytes = bytes;
    return picture;
}

class DeviceFixture : public testing::Test {
protected:
    void SetUp() override { frame.importFolder = folder.Path(); }
    void TearDown() override
    {
        watcher.Stop();
        DrainTransfers();
    }

    // Starts watching portable devices and waits until the fake manager is there.
    void StartWatching()
    {
        ASSERT_EQ(S_OK, watcher.Init(false));
        for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
        ASSERT_TRUE(watcher.IsAvailable());
        ASSERT_EQ(S_OK, watcher.RefreshDeviceList());
    }

    // Starts watching image-acquisition devices and waits until the first enumeration has run.
    void StartWatchingWia()
    {
        ASSERT_EQ(S_OK, watcher.Init(true));
        for (int i = 0; i < 500 && !watcher.IsAvailable(); ++i) Sleep(10);
        ASSERT_TRUE(watcher.IsAvailable());
        RefreshWia();
    }

    // Refreshes the image-acquisition devices and waits until the enumeration has ended.
    void RefreshWia()
    {
        const int before = world.wiaEnumerations;
        ASSERT_EQ(S_OK, watcher.RefreshDeviceList());
        for (int i = 0; i < 500 && world.wiaEnumerations == before; ++i) Sleep(10);
        ASSERT_LT(before, world.wiaEnumerations.load());
        // The enumeration holds the watcher's lock from before it asks the manager until it ends.
        watcher.CountDevicesWithContent();
    }

    // Serves the stand-in window until no transfer is queued or running.
    void DrainTransfers()
    {
        for (int i = 0; i < 1000 && watcher.PendingTransfers() > 0; ++i) frame.PumpFor(10);
        ASSERT_EQ(0, watcher.PendingTransfers());
    }

    // Serves the stand-in window (a transfer asks it for the folder) until the event is set; false
    // when it is not within five seconds.
    bool PumpUntilSet(HANDLE event)
    {
        for (int i = 0; i < 500; ++i) {
            if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return true;
            frame.PumpFor(10);
        }
        return false;
    }

    // Serves the stand-in window until a device's removal is posted; it must be this device's.
    void ExpectRemovalReported(const std::wstring& deviceId)
    {
        for (int i = 0; i < 500 && frame.removedDevices.empty(); ++i) frame.PumpFor(10);
        ASSERT_EQ(std::vector<std::wstring>{deviceId}, frame.removedDevices);
        EXPECT_EQ(0u, frame.Of(WM_APP_DEVICE_REMOVED)[0].wParam);
    }

    static std::string ReadAll(const std::wstring& path)
    {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    static void WriteAll(const std::wstring& path, const std::string& bytes)
    {
        std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
    }

    // The names of the files in the folder, in the system's order.
    std::vector<std::wstring> FolderFiles() const { return folder.FileNames(); }

    const ScopedComApartment apartment;
    FakeDeviceWorld world;
    ScopedDevicePlatform seam{world.Platform()};
    TempFolder folder;
    FrameRecorder frame;
    CDeviceWatcher watcher{frame.m_hWnd};
};
