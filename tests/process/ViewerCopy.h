#pragma once
// A copy of the viewer under a name of its own in a folder of its own, with or without its English
// language library (which the program finds by its own name; the library's signature does not
// depend on the name).
#include "tests/support/TestPaths.h"
#include <string>

class ViewerCopy {
public:
    enum class Library { With, Without };
    explicit ViewerCopy(Library library);

    // Empty when the copy could not be made.
    const std::wstring& Program() const noexcept { return m_program; }
    // The program's file name.
    const std::wstring& FileName() const noexcept { return m_fileName; }

private:
    TempFolder m_folder;
    std::wstring m_program;
    std::wstring m_fileName;
};
