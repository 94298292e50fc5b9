#pragma once
// In-place addition of 32-bit arrays with a power-of-two scale, rounding and saturation.
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

// srcDst[i] = saturate(round-half-to-even((src[i] + srcDst[i]) * 2^-scale)), the sum taken exactly.
// A scale above 32 zeroes srcDst. StatusNullPointer for a null pointer, then StatusBadSize when
// len < 1; nothing is written when a check fails.
NumericStatus AddScaledInt32(const std::int32_t* src, std::int32_t* srcDst, std::int32_t len, std::int32_t scale);

using AddScaledInt32Body = NumericStatus (*)(const std::int32_t*, std::int32_t*, std::int32_t, std::int32_t);

template <int Level>
NumericStatus AddScaledInt32Level(const std::int32_t* src, std::int32_t* srcDst, std::int32_t len, std::int32_t scale);

inline constexpr AddScaledInt32Body AddScaledInt32_Level0 = &AddScaledInt32Level<0>;
inline constexpr AddScaledInt32Body AddScaledInt32_Level1 = &AddScaledInt32Level<1>;
inline constexpr AddScaledInt32Body AddScaledInt32_Level2 = &AddScaledInt32Level<2>;
inline constexpr AddScaledInt32Body AddScaledInt32_Level3 = &AddScaledInt32Level<3>;
