#include "Viewer/ui/ViewInput.h"
#include <algorithm>
#include <utility>

namespace {
// Main thread only, like the view.
ViewInputSeam Installed;
}  // namespace

int PanStep(int distance, float ratio, float acceleration) noexcept
{
    const float speed = static_cast<float>(std::min(distance, 11) - 1) * (ratio - 1.0f) * acceleration * 0.1f + 1.0f;
    return static_cast<int>(speed * static_cast<float>(distance) + 0.5f);
}

POINT KeepAnchorFromEdges(POINT anchor, const RECT& monitor) noexcept
{
    constexpr LONG Margin = 64;
    anchor.x = std::max(anchor.x, monitor.left + Margin);
    anchor.y = std::max(anchor.y, monitor.top + Margin);
    anchor.x = std::min(anchor.x, monitor.right - Margin);
    anchor.y = std::min(anchor.y, monitor.bottom - Margin);
    return anchor;
}

int ArrowKeyStep(int extent, bool control, bool shift) noexcept
{
    const int step = control ? (shift ? extent / 3 : extent) : (shift ? extent / 3 : extent / 30);
    return std::max(step, 1);
}

bool IsNear(POINT centre, POINT p, int by) noexcept
{
    RECT around{centre.x, centre.y, centre.x, centre.y};
    InflateRect(&around, by, by);
    return PtInRect(&around, p) != 0;
}

POINT CursorPosition()
{
    if (Installed.cursorPosition) return Installed.cursorPosition();
    POINT position{};
    GetCursorPos(&position);
    return position;
}

void MoveCursorTo(POINT position)
{
    if (Installed.moveCursor) return Installed.moveCursor(position);
    SetCursorPos(position.x, position.y);
}

int ShowMouseCursor(bool show)
{
    if (Installed.showCursor) return Installed.showCursor(show);
    return ShowCursor(show ? TRUE : FALSE);
}

SHORT AsyncKeyState(int virtualKey)
{
    if (Installed.asyncKeyState) return Installed.asyncKeyState(virtualKey);
    return GetAsyncKeyState(virtualKey);
}

ScopedViewInputSeam::ScopedViewInputSeam(ViewInputSeam replacement) : m_previous(std::exchange(Installed, std::move(replacement))) {}

ScopedViewInputSeam::~ScopedViewInputSeam() { Installed = std::move(m_previous); }
