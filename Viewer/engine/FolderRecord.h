#pragma once
// One file found in or seen appearing in a scanned folder: its canonical full path and what the
// file system said about it at that moment.
#include <windows.h>
#include "Framework/Bstr.h"

struct FolderRecord {
    Bstr path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
};

// A record for a file that vanished before it could be asked about it: attributes 0 and a creation
// time with every bit set, so that it sorts after every real file.
WIN32_FILE_ATTRIBUTE_DATA VanishedFileData() noexcept;

// Asks the file system about path now; a file that cannot be asked about gets VanishedFileData.
WIN32_FILE_ATTRIBUTE_DATA QueryFileData(const wchar_t* path) noexcept;

// path canonicalised ("." and ".." resolved); path itself when it is too long for that.
Bstr CanonicalPath(const wchar_t* path);
