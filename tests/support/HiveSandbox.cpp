#include "tests/support/HiveSandbox.h"
#include "tests/support/TestPaths.h"

HiveSandbox::HiveSandbox(std::initializer_list<HKEY> hives) : m_path(L"Software\\LumenfoldTests\\" + UniqueName())
{
    // Every private key is made before any hive is redirected: one of them may be HKEY_CURRENT_USER.
    for (HKEY hive : hives) {
        HKEY key = nullptr;
        const std::wstring path = m_path + L"\\" + std::to_wstring(reinterpret_cast<ULONG_PTR>(hive) & 0xFF);
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        m_redirected.emplace_back(hive, key);
    }
    for (const auto& [hive, key] : m_redirected) RegOverridePredefKey(hive, key);
}

HiveSandbox::~HiveSandbox()
{
    for (const auto& [hive, key] : m_redirected) {
        RegOverridePredefKey(hive, nullptr);
        RegCloseKey(key);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
}
