#include "tests/process/ViewerCopy.h"

ViewerCopy::ViewerCopy(Library library)
{
    const std::wstring name = L"LumenfoldCopy" + UniqueName().substr(0, 8);
    const std::wstring built = TestProgramFolder() + L"\\Lumenfold.Core";
    const std::wstring copy = m_folder.File(name);
    if (!CopyFileW((built + L".exe").c_str(), (copy + L".exe").c_str(), FALSE)) return;
    if (library == Library::With && !CopyFileW((built + L".EN.dll").c_str(), (copy + L".EN.dll").c_str(), FALSE))
        return;
    m_program = copy + L".exe";
    m_fileName = name + L".exe";
}
