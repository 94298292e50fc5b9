#pragma once
// WM_PAINT and WM_PRINTCLIENT alike for a window that paints itself: the painter gets the paint
// device context, or the one the message brings.
#include <windows.h>

template <class Painter>
LRESULT PaintOrPrint(HWND window, UINT message, WPARAM wParam, Painter&& paint)
{
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT painting{};
    HDC dc = BeginPaint(window, &painting);
    if (dc) paint(dc);
    EndPaint(window, &painting);
    return 0;
}
