#pragma once
// The fixture of the frame's tests.
#include "Viewer/ui/MainFrame.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedComApartment.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <string>
#include <iterator>
#include <utility>
#include <vector>

// The frame as Run makes it: the English library as resource module, a registered message loop and a
// private settings key. The wake-up message is one of this test's own, so that a viewer's real
// wake-up broadcast never reaches this frame (nor this test's a viewer).
class FrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        m_previousWakeUp = WakeUpMessage;
        WakeUpMessage = RegisterWindowMessageW(
            (L"LumenfoldFrameTestWakeUp." + std::to_wstring(GetCurrentProcessId())).c_str());
        RegisterMessageLoop(&m_loop);
        // The floating windows open only where a test asks for them.
        for (size_t i = 0; i < std::size(kShowSettings); ++i) {
            m_shown[i] = *kShowSettings[i];
            *kShowSettings[i] = 0;
        }
        ASSERT_TRUE(m_frame.CreateMainWindow());
    }

    void TearDown() override
    {
        m_frame.DestroyWindow();
        UnregisterMessageLoop();
        WakeUpMessage = m_previousWakeUp;
        for (size_t i = 0; i < std::size(kShowSettings); ++i) *kShowSettings[i] = m_shown[i];
    }

    // Sends the wake-up with a new atom holding text; returns the text.
    std::wstring WakeUp(const std::wstring& text)
    {
        SendMessageW(m_frame.m_hWnd, WakeUpMessage, GlobalAddAtomW(text.c_str()), 0);
        return text;
    }

    // By its text: the number of a deleted atom soon names another one (the table is the desktop's).
    static bool AtomExists(const std::wstring& text) { return GlobalFindAtomW(text.c_str()) != 0; }

    static std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    // Lists the image folder (subfolders too) in the frame's engine and makes the named file current.
    void ShowFileOfFolder(const std::wstring& relativePath, const std::vector<std::wstring>& files)
    {
        for (const std::wstring& name : files) {
            const std::wstring path = m_folder.File(name);
            CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
            UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_TRUE(file);
        }
        const DWORD subFolders = AppSettings::SubFoldersBrowsing;
        AppSettings::SubFoldersBrowsing = 1;
        const bool opened = m_frame.OpenRequests().OpenPath(m_folder.Path().c_str(), nullptr);
        AppSettings::SubFoldersBrowsing = subFolders;
        ASSERT_TRUE(opened);
        CImageEngine& engine = m_frame.Engine();
        for (int i = 0; i < 500 && engine.GetEntryCount() < files.size(); ++i) PumpFor(20);
        ASSERT_EQ(files.size(), engine.GetEntryCount());
        for (uint32_t position = 1; position <= files.size(); ++position) {
            CImageEntry* entry = engine.GoToPosition(position);
            if (entry && entry->GetBasePath() + L".jpg" == m_folder.File(relativePath)) return;
        }
        FAIL() << "not listed";
    }

    static void PumpFor(DWORD milliseconds)
    {
        const DWORD start = GetTickCount();
        MSG message{};
        while (GetTickCount() - start < milliseconds) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
    }

    RegKey Settings() const
    {
        RegKey key;
        key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ);
        return key;
    }

    const ScopedComApartment m_apartment;
    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox m_sandbox;
    TempFolder m_folder;
    MessageLoop m_loop;
    CMainFrame m_frame{false, false};

private:
    UINT m_previousWakeUp = 0;
    static constexpr DWORD* kShowSettings[] = {&AppSettings::ShowHistogram, &AppSettings::ShowShootingData,
                                                &AppSettings::ShowBookmarkList, &AppSettings::ShowExternalEditors};
    DWORD m_shown[std::size(kShowSettings)]{};
};
