#include "Viewer/primitives/Histogram16Method.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <gtest/gtest.h>

namespace
{
// The average level count of 257 boundaries per channel: (771 * 21845) >> 16.
constexpr std::int64_t Levels257 = 256;

struct MethodCase
{
    const char* what;
    std::int64_t pixels;
    std::int64_t avgLevels;
    bool increasing;
    Histogram16Method baseline;  // level 0
    Histogram16Method wide;      // levels 1, 2 and 3
};

constexpr auto PerRange = Histogram16Method::PerRangeScan;
constexpr auto Linear = Histogram16Method::LinearSearch;
constexpr auto Binary = Histogram16Method::BinarySearch;
constexpr auto Table = Histogram16Method::FullTable;

const MethodCase MethodCases[] = {
    {"257 levels, small region", 6399, Levels257, true, Binary, Binary},
    {"257 levels, table pays at levels 1-3", 6400, Levels257, true, Binary, Table},
    {"257 levels, just below the baseline's table", 16383, Levels257, true, Binary, Table},
    {"257 levels, table pays at the baseline", 16384, Levels257, true, Table, Table},
    {"baseline limit 262 not exceeded", 12544, 262, true, Binary, Table},
    {"baseline limit 262 exceeded", 12544, 263, true, Table, Table},
    {"few levels in a small region", 4096, 25, true, Linear, Linear},
    {"baseline's linear search ends at 25", 4096, 26, true, Binary, Linear},
    {"linear search of levels 1-3 ends at 134", 4096, 135, true, Binary, Binary},
    {"levels 1-3 still search linearly at 134", 4096, 134, true, Binary, Linear},
    {"few levels beyond 4096 pixels always use the table", 4097, 255, true, Table, Table},
    {"the same without increasing levels", 4097, 255, false, Table, Table},
    {"not increasing, tiny region", 1023, 100000, false, PerRange, PerRange},
    {"not increasing, baseline limit 406 reached", 1024, 406, false, PerRange, PerRange},
    {"not increasing, baseline limit 406 exceeded", 1024, 407, false, Table, PerRange},
    {"not increasing, limit 242 of levels 1-3 exceeded", 2304, 243, false, Table, Table},
    {"not increasing, limit 242 of levels 1-3 reached", 2304, 242, false, Table, PerRange},
    {"not increasing, many pixels, many levels", 1'000'000, 300, false, Table, Table},
    {"increasing, many pixels, many levels", 1'000'000, 300, true, Table, Table},
};
}

TEST(Histogram16Method, ChoiceFollowsTheTuningOfEachLevel)
{
    for (const MethodCase& c : MethodCases)
    {
        EXPECT_EQ(c.baseline, ChooseHistogram16Method(LevelBaseline, c.pixels, c.avgLevels, c.increasing)) << c.what;
        for (std::int32_t level : {LevelSse3, LevelSsse3, LevelSse41})
            EXPECT_EQ(c.wide, ChooseHistogram16Method(level, c.pixels, c.avgLevels, c.increasing))
                << c.what << " at level " << level;
    }
}
