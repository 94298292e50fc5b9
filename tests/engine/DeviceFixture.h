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

    // Serves the stand-in window until no transfer is queued or running.
    void DrainTransfers()
    {
        for (int i = 0; i < 1000 && watcher.PendingTransfers() > 0; ++i) frame.PumpFor(10);
        ASSERT_EQ(0, watcher.PendingTransfers());
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
