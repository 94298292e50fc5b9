#include "tests/process/ViewerUserProfile.h"
#include "tests/support/TestPaths.h"
#include <windows.h>
#include <shlobj.h>
#include <optional>

namespace {
std::optional<std::wstring> EnvironmentValue(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::wstring FolderPath(int folder)
{
    wchar_t path[MAX_PATH] = L"";
    return SUCCEEDED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

// This process as the other user for the shell's folder calls: Wine reads the user name from
// WINEUSERNAME at every call.
class ActingAsUser {
public:
    explicit ActingAsUser(const std::wstring& userName) : m_previous(EnvironmentValue(L"WINEUSERNAME"))
    {
        SetEnvironmentVariableW(L"WINEUSERNAME", userName.c_str());
    }
    ActingAsUser(const ActingAsUser&) = delete;
    ActingAsUser& operator=(const ActingAsUser&) = delete;
    ~ActingAsUser() { SetEnvironmentVariableW(L"WINEUSERNAME", m_previous ? m_previous->c_str() : nullptr); }

private:
    std::optional<std::wstring> m_previous;
};
}

ViewerUserProfile::ViewerUserProfile(const std::wstring& userName)
{
    const ActingAsUser user(userName);
    // Asked for before anything is made: an existing profile is not this test's to remove.
    const bool made = FolderPath(CSIDL_PROFILE).empty();
    m_localApplicationData = FolderPath(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE);
    if (made) m_profile = FolderPath(CSIDL_PROFILE);
}

ViewerUserProfile::~ViewerUserProfile()
{
    if (!m_profile.empty()) DeleteFolderTree(m_profile);
}
