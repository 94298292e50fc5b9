#pragma once
// A profile file and a folder of unique names in the system's colour directory, removed again on
// destruction: what the colour-profile switch and setting may name.
#include <string>

class ColorDirectoryEntries {
public:
    ColorDirectoryEntries();
    ColorDirectoryEntries(const ColorDirectoryEntries&) = delete;
    ColorDirectoryEntries& operator=(const ColorDirectoryEntries&) = delete;
    ~ColorDirectoryEntries();

    std::wstring fileName, folderName, filePath, folderPath;
};
