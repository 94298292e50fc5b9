#include "Framework/NotificationReflection.h"

namespace {
HWND SendingControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);  // null for menus and accelerators
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;  // 0: a menu
    case WM_MEASUREITEM:
        // The control may still be in its own creation, so it is found by its id.
        return wParam ? GetDlgItem(parent, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID))
                      : nullptr;
    case WM_COMPAREITEM:
        return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
        return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    default:
        return nullptr;
    }
}
}

BOOL ReflectNotification(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept
{
    HWND control = SendingControl(parent, message, wParam, lParam);
    if (!control || control == parent || !IsWindow(control)) return FALSE;
    result = SendMessageW(control, Reflected(message), wParam, lParam);
    return TRUE;
}
