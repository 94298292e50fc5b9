#include "Viewer/engine/QuickSlotStore.h"
#include <shlwapi.h>
#include <cstdio>
#include <cwchar>
#include <optional>
#include "Framework/RegKey.h"
#include "Viewer/core/Hash64.h"

namespace {

constexpr DWORD ValueBufferBytes = 512;

// A string value of at most ValueBufferBytes, with an even length that ends in a NUL when not empty.
std::optional<std::wstring> ReadSlotValue(const RegKey& key, const std::wstring& name)
{
    wchar_t buffer[ValueBufferBytes / sizeof(wchar_t)];
    DWORD type = 0;
    DWORD bytes = ValueBufferBytes;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes % sizeof(wchar_t)) return std::nullopt;
    const size_t chars = bytes / sizeof(wchar_t);
    if (chars && buffer[chars - 1]) return std::nullopt;
    return std::wstring(buffer, chars ? chars - 1 : 0);
}

// Parses at most ten ";"-separated hexadecimal items (an empty item is 0); the number parsed.
int ParseQuickSlotData(const std::wstring& text, QuickSlotHashes& hashes)
{
    int parsed = 0;
    size_t start = 0;
    while (!text.empty() && parsed < QuickSlotCount && start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        hashes[parsed++] = std::wcstoull(text.substr(start, end - start).c_str(), nullptr, 16);
        start = end + 1;
    }
    return parsed;
}

int NonZero(const QuickSlotHashes& hashes)
{
    int count = 0;
    for (std::uint64_t hash : hashes) count += hash != 0;
    return count;
}

}  // namespace

VolumeIdentity GetVolumeIdentity(const wchar_t* folder)
{
    if (PathIsUNCW(folder)) return {L"$netshare", 0};
    wchar_t root[MAX_PATH]{};
    lstrcpynW(root, folder, MAX_PATH);
    PathStripToRootW(root);
    wchar_t label[MAX_PATH + 1]{};
    DWORD serial = 0;
    if (!GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, nullptr, nullptr, nullptr, 0))
        return {L"$localvolume", 0};
    return {label, serial};
}

std::wstring GetFolderIdentityText(const VolumeIdentity& volume, const wchar_t* folder)
{
    wchar_t serial[16];
    swprintf(serial, 16, L"%08lx", static_cast<unsigned long>(volume.serialNumber));
    std::wstring text = volume.identity + L"|" + serial + L"|" + folder;
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring QuickSlotValueName(const std::wstring& identityText)
{
    wchar_t name[24];
    swprintf(name, 24, L"@%llX", static_cast<unsigned long long>(Hash64String(identityText.c_str(), false)));
    return name;
}

std::wstring OldQuickSlotValueName(const std::wstring& identityText)
{
    wchar_t name[16];
    swprintf(name, 16, L"#%X", static_cast<unsigned>(Hash64String(identityText.c_str(), true)));
    return name;
}

std::wstring FormatQuickSlotData(const QuickSlotHashes& hashes)
{
    std::wstring data;
    for (std::uint64_t hash : hashes) {
        wchar_t item[24];
        swprintf(item, 24, L"%llx", static_cast<unsigned long long>(hash));
        if (!data.empty()) data += L';';
        data += item;
    }
    return data;
}

QuickSlotsRead ReadQuickSlots(const std::wstring& identityText)
{
    QuickSlotsRead read;
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), KEY_READ) != ERROR_SUCCESS) return read;
    if (const auto value = ReadSlotValue(key, QuickSlotValueName(identityText))) {
        ParseQuickSlotData(*value, read.hashes);
        read.count = NonZero(read.hashes);
        return read;
    }
    const std::wstring oldName = OldQuickSlotValueName(identityText);
    const auto old = ReadSlotValue(key, oldName);
    if (!old) return read;
    const int parsed = ParseQuickSlotData(*old, read.hashes);
    read.pendingMask = (1u << parsed) - 1;
    read.count = NonZero(read.hashes);
    read.converted = true;
    RegKey writable;
    if (writable.Open(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS)
        writable.DeleteValue(oldName.c_str());
    return read;
}

LONG WriteQuickSlots(const std::wstring& identityText, const QuickSlotHashes& hashes)
{
    if (!NonZero(hashes)) {
        DeleteQuickSlots(identityText);
        return ERROR_SUCCESS;
    }
    RegKey key;
    const LONG opened = key.Create(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), KEY_WRITE);
    if (opened != ERROR_SUCCESS) return opened;
    return key.SetString(QuickSlotValueName(identityText).c_str(), FormatQuickSlotData(hashes));
}

bool DeleteQuickSlots(const std::wstring& identityText)
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return false;
    return key.DeleteValue(QuickSlotValueName(identityText).c_str()) == ERROR_SUCCESS;
}
