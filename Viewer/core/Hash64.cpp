#include "Viewer/core/Hash64.h"
#include <windows.h>
#include <shlwapi.h>
#include <cstring>
#include "Viewer/primitives/StringHash.h"

std::uint64_t Hash64(const wchar_t* chars, int count, bool ownHashOnly) noexcept
{
    if (!chars || count < 0) return 0;
    if (!ownHashOnly) {
        BYTE hash[8]{};
        auto* bytes = reinterpret_cast<BYTE*>(const_cast<wchar_t*>(chars));
        if (SUCCEEDED(HashData(bytes, static_cast<DWORD>(count) * 2, hash, sizeof(hash)))) {
            std::uint64_t value = 0;
            std::memcpy(&value, hash, sizeof(value));
            return value;
        }
    }
    std::uint32_t own = 0;
    HashStringUtf16(reinterpret_cast<const std::uint16_t*>(chars), count, &own);
    return own;
}

std::uint64_t Hash64String(const wchar_t* text, bool ownHashOnly) noexcept
{
    if (!text) return 0;
    return Hash64(text, lstrlenW(text), ownHashOnly);
}
