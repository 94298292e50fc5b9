#pragma once
// Status of every numeric primitive: negative is an error (outputs hold nothing useful), zero is
// success, positive is a warning after the work was done.
#include <cstdint>

using NumericStatus = std::int32_t;

inline constexpr NumericStatus StatusOk = 0;
inline constexpr NumericStatus StatusBadSize = -6;
inline constexpr NumericStatus StatusNullPointer = -8;
inline constexpr NumericStatus StatusOutOfMemory = -9;
inline constexpr NumericStatus StatusBadStep = -14;
inline constexpr NumericStatus StatusTooFewLevels = -107;
inline constexpr NumericStatus StatusBadLength = -119;
inline constexpr NumericStatus StatusNotGenuineIntel = 20;
inline constexpr NumericStatus StatusNoCpuid = 36;
