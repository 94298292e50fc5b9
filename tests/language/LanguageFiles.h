#pragma once
// Language libraries beside a made-up program in a temporary folder: copies of the build's signed
// English library (or of its unsigned twin) under the names the selection looks for.
#include <windows.h>
#include <string>
#include "tests/support/TestPaths.h"

class LanguageFiles {
public:
    LanguageFiles();

    // The program whose path the library names are made from.
    const std::wstring& ProgramPath() const noexcept { return m_programPath; }
    // "<program without extension>.<codes>.dll"
    std::wstring LibraryPath(const std::wstring& codes) const;

    void AddSigned(const std::wstring& codes) const;
    void AddUnsigned(const std::wstring& codes) const;

private:
    TempFolder m_folder;
    std::wstring m_programPath;
};

// The build's libraries in the test program's folder.
std::wstring SignedEnglishLibrary();
std::wstring UnsignedEnglishLibrary();
