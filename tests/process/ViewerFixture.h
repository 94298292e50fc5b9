#pragma once
// A test's viewers: a private settings root, a user name and a log of their own.
#include "Framework/RegKey.h"
#include "Framework/ResourceModule.h"
#include "tests/process/ViewerProcess.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>

inline constexpr DWORD kStartTimeoutMs = 30000;
inline constexpr DWORD kExitTimeoutMs = 20000;
inline constexpr wchar_t kSettingsKeyPath[] = L"SOFTWARE\\Brenholt\\Lumenfold";

// The text the viewer shows when it opened nothing at start.
constexpr UINT kEmptyViewStringId = 10128;

inline std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

// The view window of a viewer's frame, or null. The frame is found as soon as its window exists,
// which can be before it has made its children.
inline HWND FindViewWindow(HWND frame)
{
    constexpr DWORD kChildrenTimeoutMs = 10000;
    const ULONGLONG end = GetTickCount64() + kChildrenTimeoutMs;
    HWND found = nullptr;
    for (;;) {
        EnumChildWindows(
            frame,
            [](HWND child, LPARAM result) -> BOOL {
                wchar_t name[64]{};
                GetClassNameW(child, name, 64);
                if (wcscmp(name, L"Lumenfold_View") != 0) return TRUE;
                *reinterpret_cast<HWND*>(result) = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found || GetTickCount64() >= end || !IsWindow(frame)) return found;
        Sleep(50);
    }
}

inline std::wstring LanguageLibraryString(UINT id)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    return library.Loaded() ? LoadResourceString(id) : std::wstring();
}

class ViewerFixture : public testing::Test {
protected:
    ViewerEnvironment Environment(const std::wstring& logName = L"viewer.log") const
    {
        return ViewerEnvironment{m_user, m_sandbox.RealPath(), m_temp.File(logName)};
    }
    ViewerLog Log(const std::wstring& logName = L"viewer.log") const { return ViewerLog(m_temp.File(logName)); }
    const TempFolder& Temp() const noexcept { return m_temp; }
    // The viewer's settings key, seen through this test's own redirected HKEY_CURRENT_USER.
    RegKey SettingsKey(REGSAM access = KEY_READ) const
    {
        RegKey key;
        key.Create(HKEY_CURRENT_USER, kSettingsKeyPath, access);
        return key;
    }
    // Settings of an earlier run (ten values or more, so they are loaded) with the device on or off,
    // the list wrapping around and beeps on.
    void StoreEarlierRun(bool hardwareAcceleration) const
    {
        RegKey key = SettingsKey(KEY_ALL_ACCESS);
        key.SetDword(L"DisableHWA", hardwareAcceleration ? 0 : 1);
        for (const wchar_t* name : {L"EnableRating", L"EnableLabelling", L"EnableUrgency", L"WrapImageList",
                                    L"EnableFileNameInCaption", L"EnableMessageBeep", L"EnableCopiedStampOverlay",
                                    L"EnableExifAutoRotate", L"AutoHideMouseCursor"})
            key.SetDword(name, 1);
        key.SetDword(L"AutoHideTaskbar", 0);
    }

private:
    RegistrySandbox m_sandbox;
    TempFolder m_temp;
    std::wstring m_user = UniqueUserName();
};
