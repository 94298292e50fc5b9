#pragma once
// The arithmetic of the view's mouse and keyboard panning, and the one place where the view asks
// for or moves the mouse cursor, so that tests can stand in for the desktop.
#include <windows.h>
#include <functional>

// How far a mouse move of distance pixels pans: more for a picture much larger than its displayed
// size (ratio) and for faster moves (up to 11 pixels); a one-pixel move always pans one pixel.
int PanStep(int distance, float ratio, float acceleration) noexcept;

// The drag anchor moved at least 64 pixels inside the monitor, so that a hidden cursor put back
// on it never reaches a screen edge.
POINT KeepAnchorFromEdges(POINT anchor, const RECT& monitor) noexcept;

// An arrow key's pan: a thirtieth of the client's extent, a third with Shift, all of it with Ctrl
// (a third again with both); at least one pixel.
int ArrowKeyStep(int extent, bool control, bool shift) noexcept;

// Whether p lies within by pixels of centre (the centre's point inflated by by contains it).
bool IsNear(POINT centre, POINT p, int by) noexcept;

// The desktop calls of the view's input; a test replaces them for its scope.
POINT CursorPosition();
void MoveCursorTo(POINT position);
int ShowMouseCursor(bool show);
SHORT AsyncKeyState(int virtualKey);

struct ViewInputSeam {
    std::function<POINT()> cursorPosition;
    std::function<void(POINT)> moveCursor;
    std::function<int(bool show)> showCursor;
    std::function<SHORT(int virtualKey)> asyncKeyState;
};

class ScopedViewInputSeam {
public:
    explicit ScopedViewInputSeam(ViewInputSeam replacement);
    ScopedViewInputSeam(const ScopedViewInputSeam&) = delete;
    ScopedViewInputSeam& operator=(const ScopedViewInputSeam&) = delete;
    ~ScopedViewInputSeam();

private:
    ViewInputSeam m_previous;
};
