#pragma once
// A top-level frame: title, menu and accelerator table loaded by one resource id from the resource
// module, and an optional client window kept sized to the client area.
#include "Framework/ResourceModule.h"
#include "Framework/Window.h"
#include <string>

template <class T>
class FrameWindowImpl : public WindowImpl<T> {
public:
    ~FrameWindowImpl() override
    {
        if (m_hAccel) DestroyAcceleratorTable(m_hAccel);
    }

    // Creates the frame with the title string, menu and accelerator table of resourceId (each optional).
    HWND CreateFrame(UINT resourceId, HWND parent = nullptr, DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                     DWORD exStyle = 0, void* createParam = nullptr)
    {
        HINSTANCE resources = GetResourceInstance();
        std::wstring title = LoadResourceString(resourceId);
        HMENU menu = LoadMenuW(resources, MAKEINTRESOURCEW(resourceId));
        if (!m_hAccel) m_hAccel = LoadAcceleratorsW(resources, MAKEINTRESOURCEW(resourceId));
        HWND window = this->Create(parent, nullptr, title.c_str(), style, exStyle, menu, createParam);
        if (!window && menu) DestroyMenu(menu);
        return window;
    }

    BOOL TranslateFrameAccelerator(MSG* message)
    {
        return m_hAccel && this->m_hWnd && TranslateAcceleratorW(this->m_hWnd, m_hAccel, message);
    }

    void UpdateLayout()
    {
        RECT client{};
        if (m_hWndClient && GetClientRect(this->m_hWnd, &client))
            SetWindowPos(m_hWndClient, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    BEGIN_MESSAGE_MAP(FrameWindowImpl)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MESSAGE_MAP()

    HWND m_hWndClient = nullptr;
    HACCEL m_hAccel = nullptr;

private:
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        if (wParam != SIZE_MINIMIZED) UpdateLayout();
        handled = FALSE;
        return 0;
    }
};
