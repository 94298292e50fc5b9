#include "Viewer/core/FadeState.h"
#include <algorithm>
#include <cmath>

namespace {
int CornerDistance(int dx, int dy) noexcept
{
    const long long squares = static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy;
    return static_cast<int>(std::sqrt(static_cast<double>(squares)));
}

void StopTimer(HWND window, FadeState& fade) noexcept
{
    fade.fadeRunning = false;
    fade.delayedFirstTick = false;
    KillTimer(window, fade.timerId);
}
}

int DistanceToRect(const RECT& r, POINT p) noexcept
{
    if (p.x >= r.left && p.x <= r.right) {
        if (p.y < r.top) return r.top - p.y;
        if (p.y > r.bottom) return p.y - r.bottom;
        return 0;
    }
    const int edgeX = p.x < r.left ? r.left : r.right;
    const int dx = p.x < r.left ? r.left - p.x : p.x - r.right;
    if (p.y >= r.top && p.y <= r.bottom) return dx;
    const int edgeY = p.y < r.top ? r.top : r.bottom;
    return CornerDistance(p.x - edgeX, p.y - edgeY);
}

float FadeTarget(const FadeState& fade, int distance) noexcept
{
    if (distance <= 0) return fade.maxOpacity;
    const int radius = std::max(fade.radius, 1);
    if (distance >= radius) return fade.minOpacity;
    return fade.maxOpacity -
           (fade.maxOpacity - fade.minOpacity) * (static_cast<float>(distance) / static_cast<float>(radius));
}

int CursorDistance(HWND window, const FadeState& fade) noexcept
{
    RECT rect{};
    GetWindowRect(window, &rect);
    InflateRect(&rect, fade.margin, fade.margin);
    POINT cursor{};
    GetCursorPos(&cursor);
    return DistanceToRect(rect, cursor);
}

void StartFade(HWND window, FadeState& fade) noexcept
{
    if (!IsWindow(window)) return;
    fade.targetOpacity = FadeTarget(fade, CursorDistance(window, fade));
    if (!fade.fadeRunning && fade.targetOpacity != fade.currentOpacity) {
        fade.fadeRunning = true;
        SetTimer(window, fade.timerId, fade.interval, nullptr);
    }
}

void FadeTo(HWND window, FadeState& fade, float value) noexcept
{
    if (value == fade.targetOpacity) return;
    fade.targetOpacity = value;
    if (!fade.fadeRunning && value != fade.currentOpacity) {
        fade.fadeRunning = true;
        SetTimer(window, fade.timerId, fade.interval, nullptr);
    }
}

void StartDelayedFade(HWND window, FadeState& fade) noexcept
{
    if (fade.fadeRunning) return;
    fade.fadeRunning = true;
    fade.delayedFirstTick = true;
    SetTimer(window, fade.timerId, 2 * fade.interval + 100, nullptr);
}

void OnFadeTimer(HWND window, FadeState& fade, UINT_PTR id) noexcept
{
    if (id != fade.timerId) return;
    const float old = fade.currentOpacity;
    float c = old;
    const float t = fade.targetOpacity;
    if (t > c) {
        c += std::min(fade.step, t - c);
        if (c >= fade.maxOpacity) {
            c = fade.maxOpacity;
            StopTimer(window, fade);
        }
    } else if (t < c) {
        c -= std::min(fade.step, c - t);
        if (c <= fade.minOpacity) {
            c = fade.minOpacity;
            StopTimer(window, fade);
        }
    } else {
        // At the target: look at the cursor again, which may have moved meanwhile.
        StopTimer(window, fade);
        StartFade(window, fade);
    }
    if (fade.delayedFirstTick) {
        fade.delayedFirstTick = false;
        KillTimer(window, fade.timerId);
        SetTimer(window, fade.timerId, fade.interval, nullptr);
    }
    if (c == old) return;
    fade.currentOpacity = c;
    if (OpacityAlpha(c) != OpacityAlpha(old) && IsWindow(window))
        SetLayeredWindowAttributes(window, 0, OpacityAlpha(c), LWA_ALPHA);
}

BYTE OpacityAlpha(float opacity) noexcept
{
    return static_cast<BYTE>(opacity * 255.0f);
}
