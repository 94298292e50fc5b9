#pragma once
// A copy of the viewer for which Wine's per-program DLL overrides disable the Windows Imaging
// Component: the real program meeting a system without it. (A starting process cannot hand
// WINEDLLOVERRIDES down to its child under Wine; the per-program key reaches it.) The override is
// removed again on destruction.
#include "tests/process/ViewerCopy.h"
#include <string>

class ViewerWithoutImaging {
public:
    ViewerWithoutImaging();
    ViewerWithoutImaging(const ViewerWithoutImaging&) = delete;
    ViewerWithoutImaging& operator=(const ViewerWithoutImaging&) = delete;
    ~ViewerWithoutImaging();

    // Empty when the copy or the override could not be made.
    const std::wstring& Program() const noexcept { return m_program; }

private:
    ViewerCopy m_copy{ViewerCopy::Library::With};
    std::wstring m_program;
    std::wstring m_overrideKey;
};
