#pragma once
// The files of one picture: its base path (full path without extension) with each extension of its
// ";"-separated list, in stored order, the picture's own extension first (a JPEG and its raw file).
// The k-th of them is file number k of the external editors' file list and launch.
#include <string>
#include <vector>

class CImageEntry;

// Base path + "." + the k-th extension; empty without an entry or with fewer extensions.
std::wstring CompanionFilePath(const CImageEntry* entry, size_t k);
// The file names (no folder) of all of them; empty without an entry.
std::vector<std::wstring> CompanionFileNames(const CImageEntry* entry);
