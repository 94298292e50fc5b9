#pragma once
// The proximity fade of a floating window: semi-transparent while the cursor is away, opaque as it
// comes near. The window embeds one FadeState and runs these operations on its own handle; the
// opacity reaches the screen as the layered window's alpha.
#include <windows.h>

struct FadeState {
    float maxOpacity = 1.0f;   // cursor on or touching the window
    float minOpacity = 0.78f;  // cursor at or beyond the radius
    float targetOpacity = 0.78f;
    float currentOpacity = 0.0f;
    float step = 1.0f / 32.0f;  // largest change per tick
    UINT timerId = 1;
    UINT interval = 15;  // ms
    int radius = 64;     // px
    int margin = 1;      // px the window rectangle grows by before measuring
    bool hovering = false;
    bool fadeRunning = false;
    bool delayedFirstTick = false;
};

// The distance in pixels from point to rect: 0 inside or on its edge, the straight distance beside
// it and the truncated Euclidean distance to the nearest corner diagonally off it.
int DistanceToRect(const RECT& rect, POINT point) noexcept;
// The opacity the fade heads for at that cursor distance.
float FadeTarget(const FadeState& fade, int distance) noexcept;
// The cursor's distance from the window rectangle grown by the fade's margin.
int CursorDistance(HWND window, const FadeState& fade) noexcept;

// Heads for the opacity the cursor's distance asks and starts the timer when there is a way to go.
void StartFade(HWND window, FadeState& fade) noexcept;
// Heads for value; a value equal to the present target changes nothing.
void FadeTo(HWND window, FadeState& fade, float value) noexcept;
// One tick of the fade timer; other timer ids are not the fade's and are ignored.
void OnFadeTimer(HWND window, FadeState& fade, UINT_PTR id) noexcept;
// The first tick after the cursor left comes late (two periods and 100 ms), the others at the period.
void StartDelayedFade(HWND window, FadeState& fade) noexcept;
// The alpha byte of an opacity.
BYTE OpacityAlpha(float opacity) noexcept;
