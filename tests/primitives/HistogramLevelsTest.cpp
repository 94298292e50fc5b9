#include "HistogramTestImage.h"
#include "LevelScope.h"
#include "Viewer/primitives/Histogram16Method.h"
#include <gtest/gtest.h>

namespace
{
class HistogramLevelsAtLevel : public AtEveryLevel
{
};

struct LevelCase
{
    const char* what;
    ChannelLevels levels;
};

std::vector<LevelCase> LevelCases()
{
    const std::vector<std::int32_t> perValue = EvenLevels(0, 1, 257);
    const std::vector<std::int32_t> coarse = {0, 16, 64, 128, 200, 255, 256};
    const std::vector<std::int32_t> beyondRange = {-50, 10, 100, 300, 70000};
    const std::vector<std::int32_t> reversedAndOverlapping = {0, 100, 50, 200, 200, 256, 10, 65536};
    const std::vector<std::int32_t> wide16 = {0, 1000, 30000, 65535, 65536};
    return {
        {"one counter per value 0-255", PerChannel(perValue, perValue, perValue)},
        {"coarse increasing levels", PerChannel(coarse, coarse, coarse)},
        {"levels below 0 and beyond the samples", PerChannel(beyondRange, beyondRange, beyondRange)},
        {"reversed, empty and overlapping ranges", PerChannel(reversedAndOverlapping, reversedAndOverlapping, reversedAndOverlapping)},
        {"two boundaries: one counter", PerChannel({0, 256}, {5, 250}, {-1, 65536})},
        {"different levels per channel", PerChannel(perValue, wide16, reversedAndOverlapping)},
    };
}

void ExpectCountsAsSpecified(const HistogramLayout& layout, const TestImage& image, LevelSet& set, const char* what)
{
    ASSERT_EQ(StatusOk, set.Count(layout.entry, image)) << layout.name << ": " << what;
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(set.ExpectedCounts(image, c), set.Counts(c)) << layout.name << ": " << what << ", channel " << c;
    EXPECT_TRUE(set.GuardsIntact()) << layout.name << ": " << what;
}
}

TEST_P(HistogramLevelsAtLevel, CountsSamplesBetweenBoundariesAndOverwritesTheCounters)
{
    for (const HistogramLayout& layout : HistogramLayouts)
    {
        // Odd width and padded rows: tails of every loop and bytes that must not be read.
        const TestImage image(layout, 37, 11, 5, 7);
        for (const LevelCase& c : LevelCases())
        {
            LevelSet set(c.levels);
            ExpectCountsAsSpecified(layout, image, set, c.what);
        }
    }
}

TEST_P(HistogramLevelsAtLevel, RegionsOfEveryShapeAreCountedWhole)
{
    struct Shape
    {
        std::int32_t width;
        std::int32_t height;
        std::int32_t padding;
    };
    const Shape shapes[] = {{1, 1, 0}, {2, 3, 1}, {3, 1, 0}, {4, 4, 0}, {5, 2, 3}, {17, 9, 0}, {64, 64, 0}, {100, 50, 2}};
    for (const HistogramLayout& layout : HistogramLayouts)
    {
        for (const Shape& shape : shapes)
        {
            const TestImage image(layout, shape.width, shape.height, shape.padding, shape.width * 31 + shape.height);
            LevelSet set(PerChannel(EvenLevels(0, 1, 257), EvenLevels(0, 32, 9), EvenLevels(-10, 20000, 5)));
            ExpectCountsAsSpecified(layout, image, set, "shape");
        }
    }
}

TEST_P(HistogramLevelsAtLevel, EveryMethodOfThe16BitCountGivesTheSameCounts)
{
    struct MethodCase
    {
        const char* what;
        Histogram16Method method;
        std::int32_t width;
        std::int32_t height;
        ChannelLevels levels;
    };
    const std::vector<std::int32_t> tenIncreasing = EvenLevels(0, 30, 10);
    const std::vector<std::int32_t> manyIncreasing = EvenLevels(-100, 330, 200);
    const std::vector<std::int32_t> notIncreasing = {0, 100, 50, 200, 200, 256, 10, 65536};
    const MethodCase cases[] = {
        {"per-range scan", Histogram16Method::PerRangeScan, 40, 30, PerChannel(notIncreasing, tenIncreasing, tenIncreasing)},
        {"linear search", Histogram16Method::LinearSearch, 40, 30, PerChannel(tenIncreasing, tenIncreasing, tenIncreasing)},
        {"binary search", Histogram16Method::BinarySearch, 40, 30, PerChannel(manyIncreasing, manyIncreasing, manyIncreasing)},
        {"binary search over 0-256", Histogram16Method::BinarySearch, 60, 60,
         PerChannel(EvenLevels(0, 1, 257), EvenLevels(0, 1, 257), EvenLevels(0, 1, 257))},
        {"full table", Histogram16Method::FullTable, 100, 50, PerChannel(tenIncreasing, manyIncreasing, tenIncreasing)},
        {"full table, levels not increasing", Histogram16Method::FullTable, 100, 50,
         PerChannel(notIncreasing, notIncreasing, tenIncreasing)},
    };
    const HistogramLayout& layout = HistogramLayouts[2];
    for (const MethodCase& c : cases)
    {
        const TestImage image(layout, c.width, c.height, 3, 11);
        LevelSet set(c.levels);
        bool increasing = true;
        std::int64_t levelSum = 0;
        for (const auto& levels : c.levels)
        {
            levelSum += static_cast<std::int64_t>(levels.size());
            for (std::size_t k = 0; k + 1 < levels.size(); ++k)
                increasing = increasing && levels[k] < levels[k + 1];
        }
        // The case only means something when this level really counts by the method it names.
        ASSERT_EQ(c.method, ChooseHistogram16Method(ProcessorLevel, std::int64_t{c.width} * c.height,
                                                    (levelSum * 21845) >> 16, increasing))
            << c.what;
        ExpectCountsAsSpecified(layout, image, set, c.what);
    }
}

TEST_P(HistogramLevelsAtLevel, ArgumentsAreCheckedInOrder)
{
    struct Call
    {
        const std::uint8_t* src;
        std::int32_t step;
        RegionSize size;
        std::array<std::int32_t*, 3> hist;
        std::array<const std::int32_t*, 3> levels;
        std::array<std::int32_t, 3> nLevels;
        bool nullHist = false;
        bool nullLevels = false;
        bool nullNLevels = false;
    };
    struct Case
    {
        const char* what;
        void (*spoil)(Call&);
        NumericStatus status;
    };
    const Case cases[] = {
        {"valid", [](Call&) {}, StatusOk},
        {"null src", [](Call& c) { c.src = nullptr; c.size.width = 0; }, StatusNullPointer},
        {"null hist", [](Call& c) { c.nullHist = true; }, StatusNullPointer},
        {"null levels", [](Call& c) { c.nullLevels = true; }, StatusNullPointer},
        {"null nLevels", [](Call& c) { c.nullNLevels = true; c.step = 0; }, StatusNullPointer},
        {"null hist of channel 1", [](Call& c) { c.hist[1] = nullptr; }, StatusNullPointer},
        {"null levels of channel 2", [](Call& c) { c.levels[2] = nullptr; }, StatusNullPointer},
        {"channel 1 with one level after channel 0 passed", [](Call& c) { c.nLevels[1] = 1; }, StatusTooFewLevels},
        {"channel 0 with one level before channel 1's null hist",
         [](Call& c) { c.nLevels[0] = 1; c.hist[1] = nullptr; c.hist[2] = nullptr; }, StatusTooFewLevels},
        {"channel 2 with no levels", [](Call& c) { c.nLevels[2] = 0; }, StatusTooFewLevels},
        {"null hist of channel 2 before a bad size", [](Call& c) { c.hist[2] = nullptr; c.size.width = 0; }, StatusNullPointer},
        {"width 0 before step 0", [](Call& c) { c.size.width = 0; c.step = 0; }, StatusBadSize},
        {"negative height", [](Call& c) { c.size.height = -1; }, StatusBadSize},
        {"step 0", [](Call& c) { c.step = 0; }, StatusBadStep},
        {"negative step", [](Call& c) { c.step = -12; }, StatusBadStep},
    };
    for (const HistogramLayout& layout : HistogramLayouts)
    {
        const TestImage image(layout, 4, 2, 0, 1);
        const std::vector<std::int32_t> levels = EvenLevels(0, 64, 5);
        for (const Case& c : cases)
        {
            std::array<std::array<std::int32_t, 4>, 3> counts{};
            Call call{image.Data(), image.Step(), image.Size(), {counts[0].data(), counts[1].data(), counts[2].data()},
                      {levels.data(), levels.data(), levels.data()}, {5, 5, 5}};
            c.spoil(call);
            EXPECT_EQ(c.status, layout.entry(call.src, call.step, call.size, call.nullHist ? nullptr : call.hist.data(),
                                             call.nullLevels ? nullptr : call.levels.data(),
                                             call.nullNLevels ? nullptr : call.nLevels.data()))
                << layout.name << ": " << c.what;
        }
    }
}

INSTANTIATE_AT_EVERY_LEVEL(HistogramLevelsAtLevel);
