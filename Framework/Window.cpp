#include "Framework/Window.h"
#include "Framework/HResultError.h"
#include "Framework/ResourceModule.h"

namespace {
// The object whose window is being created on this thread; it claims the window's first message.
thread_local WindowBase* t_creatingWindow = nullptr;
}

WindowBase::~WindowBase()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND window = m_hWnd;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defaultProc));
        m_hWnd = nullptr;
        ::DestroyWindow(window);
    }
}

BOOL WindowBase::DestroyWindow() noexcept
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

ATOM WindowBase::RegisterWindowClass(const WindowClassInfo& info)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExW(GetModuleInstance(), info.name, &existing))) return atom;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = info.style;
    wc.lpfnWndProc = &StartWindowProc;
    wc.hInstance = GetModuleInstance();
    wc.hCursor = info.cursor ? LoadCursorW(nullptr, info.cursor) : nullptr;
    wc.hbrBackground = info.background;
    if (info.iconId) wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(info.iconId));
    wc.lpszClassName = info.name;
    ATOM atom = RegisterClassExW(&wc);
    if (!atom && GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        atom = static_cast<ATOM>(GetClassInfoExW(GetModuleInstance(), info.name, &existing));
    return atom;
}

HWND WindowBase::CreateBound(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title,
                             DWORD style, DWORD exStyle, HMENU menuOrId, void* createParam)
{
    if (m_hWnd) return nullptr;
    RECT r = rect ? *rect : RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    int width = rect ? r.right - r.left : CW_USEDEFAULT;
    int height = rect ? r.bottom - r.top : CW_USEDEFAULT;
    t_creatingWindow = this;
    HWND window = CreateWindowExW(exStyle, className, title, style, r.left, r.top, width, height, parent, menuOrId,
                                  GetModuleInstance(), createParam);
    t_creatingWindow = nullptr;
    return window;
}

void WindowBase::Bind(HWND window)
{
    m_hWnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc()));
}

BOOL WindowBase::SubclassWindow(HWND window) noexcept
{
    if (m_hWnd || !::IsWindow(window) || GetWindowLongPtrW(window, GWLP_USERDATA) != 0) return FALSE;
    m_defaultProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    Bind(window);
    return TRUE;
}

HWND WindowBase::UnsubclassWindow() noexcept
{
    if (!m_hWnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) != GetWindowProc()) return nullptr;
    HWND window = m_hWnd;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defaultProc));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    m_defaultProc = ::DefWindowProcW;
    m_hWnd = nullptr;
    return window;
}

LRESULT WindowBase::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallWindowProcW(m_defaultProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBase* self = t_creatingWindow;
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    t_creatingWindow = nullptr;
    self->Bind(window);
    return WindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = self->ProcessWindowMessage(window, message, wParam, lParam, result, 0);
    } catch (...) {
        // A handler is an operation boundary: its failure ends the handler, never the message loop.
        TraceCaughtException(L"window procedure");
        handled = TRUE;
        result = 0;
    }
    if (!handled) result = self->DefWindowProc(message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_defaultProc));
        self->m_defaultProc = ::DefWindowProcW;
        self->m_hWnd = nullptr;
        self->OnFinalMessage(window);
    }
    return result;
}
