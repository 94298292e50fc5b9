#include "tests/process/ViewerWithoutSystemLibrary.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include <sddl.h>
#include <vector>

namespace {
// The real key of this user below HKEY_USERS: HKEY_CURRENT_USER may be a test's sandbox, but Wine's
// loader reads the user's own key.
std::wstring UserKeyPath()
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return {};
    const UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* sid = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) return {};
    std::wstring path(sid);
    LocalFree(sid);
    return path;
}
}

ViewerWithoutSystemLibrary::ViewerWithoutSystemLibrary(const wchar_t* library)
{
    const std::wstring user = UserKeyPath();
    if (m_copy.Program().empty() || user.empty()) return;
    m_overrideKey = user + L"\\Software\\Wine\\AppDefaults\\" + m_copy.FileName();
    RegKey overrides;
    if (overrides.Create(HKEY_USERS, (m_overrideKey + L"\\DllOverrides").c_str()) != ERROR_SUCCESS ||
        overrides.SetString(library, L"disabled") != ERROR_SUCCESS)
        return;
    m_program = m_copy.Program();
}

ViewerWithoutSystemLibrary::~ViewerWithoutSystemLibrary()
{
    if (!m_overrideKey.empty()) RegDeleteTreeW(HKEY_USERS, m_overrideKey.c_str());
}
