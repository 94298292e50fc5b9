#include "tests/support/RegistrySandbox.h"
#include <objbase.h>

RegistrySandbox::RegistrySandbox()
{
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t name[64]{};
    StringFromGUID2(guid, name, 64);
    m_path = std::wstring(L"Software\\LumenfoldTests\\") + name;
    RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(m_key);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
}
