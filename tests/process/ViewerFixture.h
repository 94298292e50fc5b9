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

private:
    RegistrySandbox m_sandbox;
    TempFolder m_temp;
    std::wstring m_user = UniqueUserName();
};
