#pragma once
// Makes a module beside the test programs (a language library, a resource-only test library, a
// helper program with a string table) the resource module for a test's scope, loaded as a data
// file; the previous resource module is back afterwards.
#include <windows.h>
#include <string>

class ScopedResourceModule {
public:
    // fileName lies in the test programs' folder. When it cannot be loaded nothing changes.
    explicit ScopedResourceModule(const std::wstring& fileName);
    ScopedResourceModule(const ScopedResourceModule&) = delete;
    ScopedResourceModule& operator=(const ScopedResourceModule&) = delete;
    ~ScopedResourceModule();

    bool Loaded() const noexcept { return m_module != nullptr; }
    HMODULE Module() const noexcept { return m_module; }

private:
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
};
