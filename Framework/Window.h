#pragma once
// Window classes with message maps. A window object binds itself to its window handle on the first
// message the window receives; from then on every message goes to its ProcessWindowMessage, and what
// the map does not handle goes to default processing (DefWindowProcW, or the original procedure of a
// subclassed control). After WM_NCDESTROY the object is unbound and OnFinalMessage is called, where a
// heap-owned window may release itself.
#include "Framework/MessageMap.h"

struct WindowClassInfo {
    const wchar_t* name;
    UINT style;
    HBRUSH background;     // null: the window paints its whole background
    const wchar_t* cursor; // a system cursor id (IDC_ARROW) or null
    UINT iconId = 0;       // an icon of the program file, or 0 for none
};

// Declares the window class of a window implementation.
#define DECLARE_WINDOW_CLASS(className, classStyle, backgroundBrush)                                         \
    DECLARE_WINDOW_CLASS_WITH_ICON(className, classStyle, backgroundBrush, 0)

// The same, with the icon iconId of the program file.
#define DECLARE_WINDOW_CLASS_WITH_ICON(className, classStyle, backgroundBrush, iconId)                       \
    static const WindowClassInfo& GetWindowClassInfo()                                                       \
    {                                                                                                        \
        static const WindowClassInfo info{className, classStyle, backgroundBrush, IDC_ARROW, iconId};        \
        return info;                                                                                         \
    }

class WindowBase : public MessageMapHost {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // Destroying a window object whose window still exists destroys the window first.
    virtual ~WindowBase();
    virtual WNDPROC GetWindowProc() { return &WindowProc; }
    virtual void OnFinalMessage(HWND) {}

    HWND Handle() const noexcept { return m_hWnd; }
    bool IsWindow() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL DestroyWindow() noexcept;

    // Routes an existing window (a dialog's control) through this object's map.
    BOOL SubclassWindow(HWND window) noexcept;
    // Gives the window back its original procedure; returns it, or null when that is not possible.
    HWND UnsubclassWindow() noexcept;

    // Default processing of the message being handled.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_hWnd = nullptr;

protected:
    // Creates a window of a registered class bound to this object.
    HWND CreateBound(const wchar_t* className, HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
                     DWORD exStyle, HMENU menuOrId, void* createParam);
    static ATOM RegisterWindowClass(const WindowClassInfo& info);

    static LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Bind(HWND window);
    WNDPROC m_defaultProc = ::DefWindowProcW;
};

// A window of a class the object declares with DECLARE_WINDOW_CLASS.
template <class T, class Base = WindowBase>
class WindowImpl : public Base {
public:
    HWND Create(HWND parent, const RECT* rect = nullptr, const wchar_t* title = nullptr, DWORD style = 0,
                DWORD exStyle = 0, HMENU menuOrId = nullptr, void* createParam = nullptr)
    {
        const WindowClassInfo& info = T::GetWindowClassInfo();
        if (!WindowBase::RegisterWindowClass(info)) return nullptr;
        return this->CreateBound(info.name, parent, rect, title, style, exStyle, menuOrId, createParam);
    }
};
