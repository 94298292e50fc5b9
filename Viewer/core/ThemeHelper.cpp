#include "Viewer/core/ThemeHelper.h"

namespace {
class ThemeLibrary {
public:
    ThemeLibrary() noexcept : m_module(LoadLibraryW(L"UxTheme.dll")) {}
    ThemeLibrary(const ThemeLibrary&) = delete;
    ThemeLibrary& operator=(const ThemeLibrary&) = delete;
    ~ThemeLibrary()
    {
        if (m_module) FreeLibrary(m_module);
    }
    HMODULE Get() const noexcept { return m_module; }

private:
    HMODULE m_module;
};

const ThemeLibrary g_themeLibrary;
}

HMODULE CThemeHelper::Module() noexcept
{
    return g_themeLibrary.Get();
}

FARPROC CThemeHelper::Function(const char* name) noexcept
{
    HMODULE module = Module();
    return module ? GetProcAddress(module, name) : nullptr;
}
