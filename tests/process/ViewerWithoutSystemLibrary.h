#pragma once
// A copy of the viewer for which Wine's per-program DLL overrides disable one system library (the
// imaging component, Direct3D): the real program meeting a system without it. (A starting process cannot hand
// WINEDLLOVERRIDES down to its child under Wine; the per-program key reaches it.) The override is
// removed again on destruction.
#include "tests/process/ViewerCopy.h"
#include <string>

class ViewerWithoutSystemLibrary {
public:
    // library: the file name without extension, as the overrides name it ("windowscodecs", "d3d9").
    explicit ViewerWithoutSystemLibrary(const wchar_t* library);
    ViewerWithoutSystemLibrary(const ViewerWithoutSystemLibrary&) = delete;
    ViewerWithoutSystemLibrary& operator=(const ViewerWithoutSystemLibrary&) = delete;
    ~ViewerWithoutSystemLibrary();

    // Empty when the copy or the override could not be made.
    const std::wstring& Program() const noexcept { return m_program; }

private:
    ViewerCopy m_copy{ViewerCopy::Library::With};
    std::wstring m_program;
    std::wstring m_overrideKey;
};
