#pragma once
// Counts per channel how many samples of an image region fall between consecutive level boundaries:
// hist[c][k] = number of samples v of channel c with levels[c][k] <= v < levels[c][k+1].
// The counters are overwritten. Checks, first failure wins: src, hist, levels or nLevels null
// (StatusNullPointer); per channel 0, 1, 2: hist[c] or levels[c] null (StatusNullPointer), nLevels[c] < 2
// (StatusTooFewLevels); width or height < 1 (StatusBadSize); step < 1 (StatusBadStep).
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

// A region's width in pixels and height in rows.
struct RegionSize
{
    std::int32_t width;
    std::int32_t height;
};

// 3 bytes per pixel, channels in memory order. step is the distance between rows in bytes.
NumericStatus HistogramLevels8uC3(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                  std::int32_t* const* hist, const std::int32_t* const* levels,
                                  const std::int32_t* nLevels);
// 4 bytes per pixel; the fourth byte (alpha) is never read.
NumericStatus HistogramLevels8uC4NoAlpha(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                         std::int32_t* const* hist, const std::int32_t* const* levels,
                                         const std::int32_t* nLevels);
// 3 little-endian unsigned 16-bit samples per pixel. StatusOutOfMemory when the scratch table cannot
// be allocated (the counters are zero then).
NumericStatus HistogramLevels16uC3(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                   std::int32_t* const* hist, const std::int32_t* const* levels,
                                   const std::int32_t* nLevels);
