#pragma once
// Where the ten quick slots of a folder are remembered between sessions: one REG_SZ value per
// folder under the settings key's "Bookmarks\Folders", named after a hash of the folder's identity
// (its volume and path) and holding the ten entry hashes of the slots. Values of an older form,
// named with the program's own hash, are read once, deleted, and saved again in the current form.
#include <windows.h>
#include <array>
#include <cstdint>
#include <string>
#include "Viewer/core/AppSettings.h"

inline constexpr int QuickSlotCount = 10;
using QuickSlotHashes = std::array<std::uint64_t, QuickSlotCount>;

// Below HKEY_CURRENT_USER.
inline const std::wstring QuickSlotsKeyPath = std::wstring(AppSettings::KeyPath) + L"\\Bookmarks\\Folders";

struct VolumeIdentity {
    std::wstring identity;  // the volume label, "$netshare" for a share, "$localvolume" when unknown
    DWORD serialNumber = 0;
};

VolumeIdentity GetVolumeIdentity(const wchar_t* folder);

// "label|serial|folder" in lower case, the serial as eight hexadecimal digits: the same folder path
// on another volume is another folder.
std::wstring GetFolderIdentityText(const VolumeIdentity& volume, const wchar_t* folder);

// "@" and the system's 64-bit hash of the identity text in upper-case hexadecimal.
std::wstring QuickSlotValueName(const std::wstring& identityText);
// The older form: "#" and the low 32 bits of the program's own hash, upper-case hexadecimal.
std::wstring OldQuickSlotValueName(const std::wstring& identityText);

// The ten hashes in lower-case hexadecimal joined by ";", 0 for an empty slot.
std::wstring FormatQuickSlotData(const QuickSlotHashes& hashes);

struct QuickSlotsRead {
    QuickSlotHashes hashes{};
    // Slots read from the older form: their hashes are the program's own hashes of the entries,
    // to be matched that way and then replaced by the system's hash.
    DWORD pendingMask = 0;
    int count = 0;  // non-zero hashes read
    // Read from the older form, which is now deleted: the slots must be saved again in the current
    // form (the caller marks them changed), or they are lost with the next folder change.
    bool converted = false;
};

QuickSlotsRead ReadQuickSlots(const std::wstring& identityText);

// Stores the ten hashes, or deletes the folder's value when every one is 0. A Win32 error code.
LONG WriteQuickSlots(const std::wstring& identityText, const QuickSlotHashes& hashes);
// True when the folder's value was there and is deleted.
bool DeleteQuickSlots(const std::wstring& identityText);
