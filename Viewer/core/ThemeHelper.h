#pragma once
// The visual-styles library, which the program does not link. One object for the whole process loads
// it by name before the entry runs and frees it at exit; where the system has none, or for an object
// made without it, visual styles count as inactive and every call below does nothing. The library's
// functions are looked up by name at each use.
#include "Framework/UniqueModule.h"
#include <windows.h>
#include <uxtheme.h>

class CThemeHelper {
public:
    enum class Library { Load, None };
    explicit CThemeHelper(Library library = Library::Load) noexcept;
    CThemeHelper(const CThemeHelper&) = delete;
    CThemeHelper& operator=(const CThemeHelper&) = delete;

    // The process's object.
    static const CThemeHelper& Process() noexcept;

    HMODULE Module() const noexcept { return m_module.get(); }
    // The library's function of that name, or null.
    FARPROC Function(const char* name) const noexcept;

    // False without the library.
    BOOL IsAppThemed() const noexcept;
    // Null without the library.
    HTHEME OpenThemeData(HWND window, const wchar_t* classList) const noexcept;
    // E_NOTIMPL without the library.
    HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* area, THEMESIZE kind,
                             SIZE* size) const noexcept;
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* area,
                                const RECT* clip) const noexcept;
    HRESULT CloseThemeData(HTHEME theme) const noexcept;

private:
    template <class Function>
    Function Lookup(const char* name) const noexcept
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(this->Function(name)));
    }

    UniqueModule m_module;
};
