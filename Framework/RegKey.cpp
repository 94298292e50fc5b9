#include "Framework/RegKey.h"
#include <vector>

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        m_key = other.Detach();
    }
    return *this;
}

LONG RegKey::Open(HKEY parent, const wchar_t* path, REGSAM access) noexcept
{
    Close();
    return RegOpenKeyExW(parent, path, 0, access, &m_key);
}

LONG RegKey::Create(HKEY parent, const wchar_t* path, REGSAM access) noexcept
{
    Close();
    return RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &m_key, nullptr);
}

void RegKey::Close() noexcept
{
    if (m_key) RegCloseKey(m_key);
    m_key = nullptr;
}

DWORD RegKey::ValueCount() const noexcept
{
    DWORD count = 0;
    if (!m_key || RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                                   nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

std::optional<DWORD> RegKey::QueryDword(const wchar_t* name) const noexcept
{
    DWORD type = 0, value = 0, size = sizeof(value);
    if (!m_key || RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<std::wstring> RegKey::QueryString(const wchar_t* name, size_t maxChars) const
{
    DWORD type = 0, size = 0;
    if (!m_key || RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(buffer.data());  // stops at the first terminator, stored or not
    if (maxChars && text.size() > maxChars) text.resize(maxChars);
    return text;
}

LONG RegKey::SetDword(const wchar_t* name, DWORD value) noexcept
{
    return RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG RegKey::SetString(const wchar_t* name, const std::wstring& value) noexcept
{
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG RegKey::DeleteValue(const wchar_t* name) noexcept
{
    return RegDeleteValueW(m_key, name);
}
