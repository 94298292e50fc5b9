#include "Viewer/primitives/Histogram16Method.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <algorithm>
#include <span>

namespace
{
// The first limit stands for regions smaller than the first pixel count: there a table never pays.
constexpr std::int64_t NoLimit = INT64_MAX;

// The table pays when the average level count exceeds limits[i], where i is the number of pixel
// counts that the region reaches.
struct TableThresholds
{
    std::span<const std::int32_t> pixelCounts;
    std::span<const std::int64_t> limits;
};

struct Histogram16Tuning
{
    TableThresholds increasing;
    std::int64_t linearSearchMaxLevels;
    TableThresholds otherLevels;
};

constexpr std::int32_t BaselineIncreasingPixels[] = {12544, 16384, 20736, 25600, 30976,
                                                     36864, 43264, 50176, 73984, 135424};
constexpr std::int64_t BaselineIncreasingLimits[] = {NoLimit, 262, 126, 62, 46, 34, 30, 22, 18, 14, 10};
constexpr std::int32_t BaselineOtherPixels[] = {1024,  2304,  4096,  6400,  9216,  12544,
                                                16384, 20736, 25600, 36864, 57600, 92416};
constexpr std::int64_t BaselineOtherLimits[] = {NoLimit, 406, 194, 110, 74, 54, 42, 34, 26, 22, 18, 14, 10};

constexpr std::int32_t WideIncreasingPixels[] = {6400, 9216, 12544, 20736, 25600, 30976, 43264, 50176, 65536};
constexpr std::int64_t WideIncreasingLimits[] = {NoLimit, 174, 106, 78, 66, 62, 54, 50, 46, 42};
constexpr std::int32_t WideOtherPixels[] = {2304,  4096,  6400,  9216,  12544, 16384,
                                            20736, 25600, 30976, 36864, 50176, 65536};
constexpr std::int64_t WideOtherLimits[] = {NoLimit, 242, 150, 106, 82, 70, 62, 54, 50, 46, 42, 38, 34};

static_assert(std::size(BaselineIncreasingLimits) == std::size(BaselineIncreasingPixels) + 1);
static_assert(std::size(BaselineOtherLimits) == std::size(BaselineOtherPixels) + 1);
static_assert(std::size(WideIncreasingLimits) == std::size(WideIncreasingPixels) + 1);
static_assert(std::size(WideOtherLimits) == std::size(WideOtherPixels) + 1);

constexpr Histogram16Tuning BaselineTuning = {{BaselineIncreasingPixels, BaselineIncreasingLimits},
                                              25,
                                              {BaselineOtherPixels, BaselineOtherLimits}};
constexpr Histogram16Tuning WideTuning = {{WideIncreasingPixels, WideIncreasingLimits},
                                          134,
                                          {WideOtherPixels, WideOtherLimits}};

bool TablePays(const TableThresholds& thresholds, std::int64_t pixels, std::int64_t avgLevels)
{
    const auto reached = std::upper_bound(thresholds.pixelCounts.begin(), thresholds.pixelCounts.end(), pixels);
    return avgLevels > thresholds.limits[reached - thresholds.pixelCounts.begin()];
}
}

Histogram16Method ChooseHistogram16Method(std::int32_t level, std::int64_t pixels, std::int64_t avgLevels,
                                          bool allIncreasing)
{
    // Beyond a small region with few levels the table always wins, whatever the tuning says.
    if (pixels > 4096 && avgLevels < 256)
        return Histogram16Method::FullTable;
    const Histogram16Tuning& tuning = level == LevelBaseline ? BaselineTuning : WideTuning;
    if (!allIncreasing)
        return TablePays(tuning.otherLevels, pixels, avgLevels) ? Histogram16Method::FullTable
                                                                : Histogram16Method::PerRangeScan;
    if (TablePays(tuning.increasing, pixels, avgLevels))
        return Histogram16Method::FullTable;
    return avgLevels <= tuning.linearSearchMaxLevels ? Histogram16Method::LinearSearch
                                                     : Histogram16Method::BinarySearch;
}
