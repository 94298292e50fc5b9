#pragma once
// Controls that draw and answer for themselves: a parent hands the owner-draw messages, commands and
// notifications it receives from a child control back to that control, as the message plus
// ReflectedMessageBase. A parent does so by ending its message map with REFLECT_NOTIFICATIONS().
#include <windows.h>

inline constexpr UINT ReflectedMessageBase = WM_USER + 0x1C00;

constexpr UINT Reflected(UINT message) noexcept
{
    return ReflectedMessageBase + message;
}

// Sends a WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM or WM_DELETEITEM that
// came from a child control back to it, reflected, and gives its answer in result. False for other
// messages and for those of menus, accelerators or windows that no longer exist.
BOOL ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
