#pragma once
// WM_PAINT and WM_PRINTCLIENT alike for the windows that paint themselves whole: the painter gets the
// device context to draw into, from BeginPaint or from the message.
#include <windows.h>

template <class Painter>
void PaintForMessage(HWND window, UINT message, WPARAM wParam, Painter&& paint)
{
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return;
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    if (dc) paint(dc);
    EndPaint(window, &ps);
}
