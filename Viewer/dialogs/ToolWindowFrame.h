#pragma once
// What the two floating tool windows (bookmarks, external editors) share: their smallest size, their
// snapping to the edges of the monitor's work area while they are moved and their dark gradient
// background.
#include "Framework/MessageMap.h"
#include "Viewer/core/GdiPlus.h"
#include <windows.h>

// Keeps GDI+ running for a window that paints with it.
class GdiPlusUser {
public:
    GdiPlusUser() noexcept { GdiPlusAcquire(); }
    GdiPlusUser(const GdiPlusUser&) = delete;
    GdiPlusUser& operator=(const GdiPlusUser&) = delete;
    ~GdiPlusUser() { GdiPlusRelease(); }
};

// The minimum tracking size at the screen's DPI: 128 x 236 at 96 dots per inch, 160 x 353 at 120.
SIZE ToolWindowMinimumSize();
// WM_GETMINMAXINFO.
void ApplyToolWindowMinimumSize(MINMAXINFO* info);

// WM_WINDOWPOSCHANGING: a proposed position within a few pixels of a work-area edge (the work area
// of the monitor nearest to the window, less 1 pixel) moves onto it, and the window stays inside
// that monitor's work area.
void SnapToWorkArea(HWND window, WINDOWPOS* position);

// Fills the client area outside every child window with the dark diagonal gradient. With
// scaleAngle the gradient's angle follows the window's shape.
void PaintToolWindowBackground(HWND window, HDC dc, bool scaleAngle);

// The part of both windows' message maps that gives them this frame: the background, the static
// texts' colours, the minimum size and the snapping. With scaleAngle the gradient's angle follows
// the window's shape.
class CToolWindowFrame : public MessageMapHost {
public:
    explicit CToolWindowFrame(bool scaleAngle) noexcept : m_scaleAngle(scaleAngle) {}

    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;

private:
    bool m_scaleAngle;
    GdiPlusUser m_gdiPlus;
};
