#pragma once
// Widening 3-byte pixels to 4 bytes with an opaque fourth byte: the step from a decoder's 24-bit
// colour (blue, green, red) to the 32-bit layouts of the screen, whose first three bytes are the same.
#include <cstdint>

// dst[4x], dst[4x + 1], dst[4x + 2] = src[3x], src[3x + 1], src[3x + 2] and dst[4x + 3] = 0xFF for
// x < width; nothing when width < 1. Reads exactly 3 * width bytes; the two rows must not overlap.
// Every x86-64 processor has SSE2, so there is one body.
void ExpandRow24To32Opaque(const std::uint8_t* src, std::uint8_t* dst, std::int32_t width);
