#include "Viewer/core/ThemeHelper.h"

namespace {
const CThemeHelper g_themeHelper;
}

CThemeHelper::CThemeHelper(Library library) noexcept
    : m_module(library == Library::Load ? LoadLibraryW(L"UxTheme.dll") : nullptr)
{
}

const CThemeHelper& CThemeHelper::Process() noexcept
{
    return g_themeHelper;
}

FARPROC CThemeHelper::Function(const char* name) const noexcept
{
    return m_module ? GetProcAddress(m_module.get(), name) : nullptr;
}

BOOL CThemeHelper::IsAppThemed() const noexcept
{
    auto isAppThemed = Lookup<BOOL(WINAPI*)()>("IsAppThemed");
    return isAppThemed && isAppThemed();
}

HTHEME CThemeHelper::OpenThemeData(HWND window, const wchar_t* classList) const noexcept
{
    auto openThemeData = Lookup<HTHEME(WINAPI*)(HWND, LPCWSTR)>("OpenThemeData");
    return openThemeData ? openThemeData(window, classList) : nullptr;
}

HRESULT CThemeHelper::GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* area, THEMESIZE kind,
                                       SIZE* size) const noexcept
{
    auto getThemePartSize =
        Lookup<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, THEMESIZE, SIZE*)>("GetThemePartSize");
    return getThemePartSize ? getThemePartSize(theme, dc, part, state, area, kind, size) : E_NOTIMPL;
}

HRESULT CThemeHelper::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* area,
                                          const RECT* clip) const noexcept
{
    auto drawThemeBackground =
        Lookup<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT)>("DrawThemeBackground");
    return drawThemeBackground ? drawThemeBackground(theme, dc, part, state, area, clip) : E_NOTIMPL;
}

HRESULT CThemeHelper::CloseThemeData(HTHEME theme) const noexcept
{
    auto closeThemeData = Lookup<HRESULT(WINAPI*)(HTHEME)>("CloseThemeData");
    return closeThemeData ? closeThemeData(theme) : E_NOTIMPL;
}
