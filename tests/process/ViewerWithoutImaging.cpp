#include "tests/process/ViewerWithoutImaging.h"
#include "Framework/RegKey.h"
#include "Viewer/core/UniqueHandle.h"
#include <objbase.h>
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

std::wstring UniqueBaseName()
{
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t text[64]{};
    StringFromGUID2(guid, text, 64);
    return L"LumenfoldNoImaging" + std::wstring(text + 1, 8);
}
}

ViewerWithoutImaging::ViewerWithoutImaging()
{
    const std::wstring built = TestProgramFolder() + L"\\Lumenfold.Core";
    const std::wstring name = UniqueBaseName();
    const std::wstring copy = m_folder.File(name);
    // The language library is found by the program's own name; its signature does not depend on it.
    if (!CopyFileW((built + L".exe").c_str(), (copy + L".exe").c_str(), FALSE) ||
        !CopyFileW((built + L".EN.dll").c_str(), (copy + L".EN.dll").c_str(), FALSE))
        return;
    const std::wstring user = UserKeyPath();
    if (user.empty()) return;
    m_overrideKey = user + L"\\Software\\Wine\\AppDefaults\\" + name + L".exe";
    RegKey overrides;
    if (overrides.Create(HKEY_USERS, (m_overrideKey + L"\\DllOverrides").c_str()) != ERROR_SUCCESS ||
        overrides.SetString(L"windowscodecs", L"disabled") != ERROR_SUCCESS)
        return;
    m_program = copy + L".exe";
}

ViewerWithoutImaging::~ViewerWithoutImaging()
{
    if (!m_overrideKey.empty()) RegDeleteTreeW(HKEY_USERS, m_overrideKey.c_str());
}
