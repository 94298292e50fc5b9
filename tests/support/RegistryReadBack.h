#pragma once
// Reading back what a test had written to the registry.
#include "Framework/RegKey.h"
#include <optional>
#include <string>

// A string value (null name: the default value); nothing when the key or the value is missing.
inline std::optional<std::wstring> ReadRegistryString(HKEY root, const wchar_t* path, const wchar_t* name)
{
    RegKey key;
    if (key.Open(root, path) != ERROR_SUCCESS) return std::nullopt;
    return key.QueryString(name);
}

inline bool RegistryKeyExists(HKEY root, const wchar_t* path)
{
    RegKey key;
    return key.Open(root, path) == ERROR_SUCCESS;
}
