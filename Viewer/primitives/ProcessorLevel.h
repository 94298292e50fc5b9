#pragma once
// The processor level that chooses which body of each primitive runs, and its choice at start-up.
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

inline constexpr std::int32_t LevelBaseline = 0;
inline constexpr std::int32_t LevelSse3 = 1;
inline constexpr std::int32_t LevelSsse3 = 2;
inline constexpr std::int32_t LevelSse41 = 3;
inline constexpr int ProcessorLevelCount = 4;

// Chosen once by start-up before any other thread uses a primitive; only read afterwards.
// Until then it is LevelBaseline, so every primitive runs its baseline body.
extern std::int32_t ProcessorLevel;

// The level a processor with these cpuid features gets: SSE4.1 alone decides level 3.
std::int32_t ProcessorLevelForFeatures(std::uint64_t featureMask);

// Chooses ProcessorLevel from the processor's features. StatusNotGenuineIntel when the vendor is
// another one (the level is chosen all the same), else StatusOk.
NumericStatus InitPrimitivesCpuDispatch();

// The body of an operation for the current level, from its table of one body per level.
template <class Body>
inline Body SelectBody(const Body (&bodies)[ProcessorLevelCount])
{
    return bodies[ProcessorLevel];
}
