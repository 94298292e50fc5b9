#pragma once
// Fills of 32-bit and byte runs, one body per processor level (the template argument); the body of
// a primitive of level L calls the fills of level L directly.
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

// Stores value into dst[0..len-1]; nothing when len < 1. Returns dst.
template <int Level>
std::int32_t* SetInt32(std::int32_t value, std::int32_t* dst, std::int32_t len);
// SetInt32 after checks: StatusNullPointer for a null dst, StatusBadSize when len < 1.
template <int Level>
NumericStatus SetInt32Checked(std::int32_t value, std::int32_t* dst, std::int32_t len);
// Zeroes dst[0..len-1]: StatusNullPointer for a null dst, StatusBadSize when len < 1.
template <int Level>
NumericStatus ZeroInt32(std::int32_t* dst, std::int32_t len);
// Zeroes bytes bytes at dst; nothing when bytes < 1. Returns dst.
template <int Level>
void* ZeroBytes(void* dst, std::int32_t bytes);

// The fill of levels 1-3 from 16 bytes on: [dst, dst + bytes) with value repeated every 4 bytes,
// dst on the pattern's phase (4-byte aligned unless value is 0); stream sends the 64-byte rounds
// past the caches. The fills choose streaming by the processor's cache size, which only some
// processors report, so the tests call this directly to run both kinds of store anywhere.
void FillRepeating4Wide(void* dst, std::int64_t bytes, std::int32_t value, bool stream);
