#include "tests/support/ScopedResourceModule.h"
#include "Framework/ResourceModule.h"
#include "tests/support/TestPaths.h"

ScopedResourceModule::ScopedResourceModule(const std::wstring& fileName)
    : m_module(LoadLibraryExW((TestProgramFolder() + L"\\" + fileName).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
{
    if (m_module) m_previous = SetResourceInstance(m_module);
}

ScopedResourceModule::~ScopedResourceModule()
{
    if (!m_module) return;
    SetResourceInstance(m_previous);
    FreeLibrary(m_module);
}
