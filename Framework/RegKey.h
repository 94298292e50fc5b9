#pragma once
// Owning holder of an open registry key with the typed reads and writes the program uses.
#include <windows.h>
#include <optional>
#include <string>

class RegKey {
public:
    RegKey() noexcept = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : m_key(other.Detach()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey() { Close(); }

    // Win32 error codes, as the registry functions return them.
    LONG Open(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ) noexcept;
    LONG Create(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ | KEY_WRITE) noexcept;
    void Close() noexcept;
    HKEY Detach() noexcept { HKEY k = m_key; m_key = nullptr; return k; }

    HKEY Get() const noexcept { return m_key; }
    explicit operator bool() const noexcept { return m_key != nullptr; }

    // Number of values in the key, 0 when it cannot be queried.
    DWORD ValueCount() const noexcept;

    // Absent, or present with another type or size: no value.
    std::optional<DWORD> QueryDword(const wchar_t* name) const noexcept;
    // A REG_SZ or REG_EXPAND_SZ value, cut at maxChars characters when given.
    std::optional<std::wstring> QueryString(const wchar_t* name, size_t maxChars = 0) const;

    LONG SetDword(const wchar_t* name, DWORD value) noexcept;
    LONG SetString(const wchar_t* name, const std::wstring& value) noexcept;
    LONG DeleteValue(const wchar_t* name) noexcept;

private:
    HKEY m_key = nullptr;
};
