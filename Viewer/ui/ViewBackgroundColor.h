#pragma once
// The colour the view paints behind the picture, as three bytes: red, green, blue. The decode
// pipeline reads it at each decode to fill the transparent parts of PNG, GIF and ICO images.
#include <cstdint>

inline uint8_t ViewBackgroundColor[3] = {0, 0, 0};

// Opaque ARGB of the background: first byte in bits 16-23, second in 8-15, third in 0-7.
inline uint32_t ViewBackgroundArgb()
{
    return 0xFF000000u | (uint32_t(ViewBackgroundColor[0]) << 16) | (uint32_t(ViewBackgroundColor[1]) << 8) |
           uint32_t(ViewBackgroundColor[2]);
}
