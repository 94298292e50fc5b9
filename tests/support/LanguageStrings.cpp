#include "tests/support/LanguageStrings.h"
#include "Framework/ResourceModule.h"
#include "tests/support/TestPaths.h"
#include <string>

ScopedLanguageStrings::ScopedLanguageStrings()
{
    const std::wstring library = TestProgramFolder() + L"\\Lumenfold.Core.EN.dll";
    m_library = LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (m_library) m_previous = SetResourceInstance(m_library);
}

ScopedLanguageStrings::~ScopedLanguageStrings()
{
    if (!m_library) return;
    SetResourceInstance(m_previous);
    FreeLibrary(m_library);
}
