#pragma once
// 32-bit hash of a run of UTF-16 code units (the fallback when the system's hash is not used).
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

// *out = h where h = h * 31 + unit over the units in order, unsigned with wrap-around (0 for len 0).
// StatusNullPointer for a null s or out, then StatusBadLength for len < 0; nothing written then.
NumericStatus HashStringUtf16(const std::uint16_t* s, std::int32_t len, std::uint32_t* out);

// Each step depends on the one before, so one body serves every level.
NumericStatus HashStringUtf16Mul31(const std::uint16_t* s, std::int32_t len, std::uint32_t* out);
