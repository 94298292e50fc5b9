#pragma once
// How the 16-bit histogram counts a region: every method gives the same counts; they differ in cost
// by the number of pixels and levels.
#include <cstdint>

enum class Histogram16Method
{
    PerRangeScan,  // every sample against every range: works for any levels
    LinearSearch,  // first range that holds the sample: strictly increasing levels only
    BinarySearch,  // halving search: strictly increasing levels only
    FullTable,     // a count per 16-bit value, then summed per range
};

// The method for a region of pixels pixels whose level counts average avgLevels (a third of their
// sum, rounded down); allIncreasing tells whether every channel's levels strictly increase.
// Level 0 and levels 1-3 have thresholds of their own.
Histogram16Method ChooseHistogram16Method(std::int32_t level, std::int64_t pixels, std::int64_t avgLevels,
                                          bool allIncreasing);
