#pragma once
// The user's external editors as the registry keeps them: subkey N of "ExternalEditors" under the
// settings key holds editor N ("Editor", the program's full path; "Flags", kept as stored). The rows
// are numbered without gaps in the order they were added; the number is also the editor's index for
// launching and for the shortcut Ctrl+F(N+1).
#include <windows.h>
#include <string>
#include <vector>

struct EditorRecord {
    DWORD flags = 0;
    std::wstring path;
};

// Characters of an "Editor" value, its terminating null included.
inline constexpr size_t EditorPathCapacity = 1040;
// Loading stops after this many subkeys.
inline constexpr unsigned MaxLoadedEditors = 64;

// The "Editor" value of subkey index; empty when the key or value is missing, too long, of another
// type, or not a whole null-terminated string.
std::wstring ReadEditorEntry(unsigned index);

// Subkeys 0, 1, 2 ... until the first one that is missing; an unreadable "Editor" skips its row
// only; a missing "Flags" reads as 0.
std::vector<EditorRecord> LoadEditorRecords();

// Replaces the whole list with these rows (records without a path are left out); nothing happens
// when the settings key cannot be opened for writing.
void SaveEditorRecords(const std::vector<EditorRecord>& editors);
