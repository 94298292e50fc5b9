#include "LevelScope.h"
#include "Viewer/primitives/AddScaled.h"
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace
{
class AddScaledInt32AtLevel : public AtEveryLevel
{
};

struct SumCase
{
    std::int32_t src;
    std::int32_t srcDst;
    std::int32_t scale;
    std::int32_t expected;
};

const SumCase SumCases[] = {
    // Scale 0 saturates and is otherwise exact.
    {INT32_MAX, 1, 0, INT32_MAX},
    {INT32_MIN, -1, 0, INT32_MIN},
    {1000, -1234, 0, -234},
    {INT32_MAX, INT32_MIN, 0, -1},
    // Scale 1 and 2 round half to even.
    {1, 0, 1, 0}, {2, 1, 1, 2}, {3, 2, 1, 2}, {-1, 0, 1, 0}, {-2, -1, 1, -2},
    {INT32_MAX, INT32_MAX, 1, INT32_MAX}, {INT32_MIN, INT32_MIN, 1, INT32_MIN}, {INT32_MAX, 0, 1, 1073741824},
    {2, 0, 2, 0}, {3, 3, 2, 2}, {4, 6, 2, 2}, {-2, 0, 2, 0}, {-3, -3, 2, -2},
    // Scale 32: the largest sums become -1, 0 or 1.
    {INT32_MAX, 1, 32, 0}, {INT32_MIN, 0, 32, 0}, {INT32_MIN, INT32_MIN, 32, -1}, {INT32_MAX, INT32_MAX, 32, 1},
    // Above 32 everything is zero.
    {INT32_MAX, INT32_MAX, 33, 0}, {INT32_MIN, -5, 40, 0}, {5, 5, INT32_MAX, 0},
    // Negative scales shift left and saturate.
    {1, 0, -30, 1073741824}, {1, 1, -30, INT32_MAX}, {-1, -1, -30, INT32_MIN}, {-1, 0, -30, -1073741824},
    {1, 0, -31, INT32_MAX}, {-1, 0, -31, INT32_MIN}, {0, 0, -31, 0}, {5, -5, -31, 0},
    {INT32_MAX, 1, -1, INT32_MAX}, {INT32_MIN, INT32_MIN, -100, INT32_MIN}, {3, 0, -4, 48},
};

// The exact sum times 2^-scale, rounded half to even and saturated, worked out on its own terms:
// floor division with the remainder compared with half the divisor.
std::int32_t Expected(std::int64_t s, std::int32_t scale)
{
    long double scaled;
    if (scale > 32)
        return 0;
    if (scale <= 0)
        scaled = std::ldexp(static_cast<long double>(s), -scale);
    else
    {
        const std::int64_t divisor = std::int64_t{1} << scale;
        std::int64_t quotient = s / divisor;
        std::int64_t remainder = s % divisor;
        if (remainder < 0)
        {
            remainder += divisor;
            --quotient;
        }
        if (2 * remainder > divisor || (2 * remainder == divisor && quotient % 2 != 0))
            ++quotient;
        scaled = static_cast<long double>(quotient);
    }
    if (scaled > INT32_MAX)
        return INT32_MAX;
    if (scaled < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(scaled);
}
}

TEST_P(AddScaledInt32AtLevel, SumCasesGiveTheirResultInEveryPositionOfARun)
{
    // Nine elements: two rounds of four and one left over at the wide levels.
    for (const SumCase& c : SumCases)
    {
        const std::vector<std::int32_t> src(9, c.src);
        std::vector<std::int32_t> srcDst(9, c.srcDst);
        ASSERT_EQ(StatusOk, AddScaledInt32(src.data(), srcDst.data(), 9, c.scale));
        EXPECT_EQ(std::vector<std::int32_t>(9, c.expected), srcDst)
            << c.src << " + " << c.srcDst << " at scale " << c.scale;
    }
}

TEST_P(AddScaledInt32AtLevel, RandomSumsMatchTheRuleAtEveryScale)
{
    std::mt19937 random(20260101);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> small(-70, 70);
    for (std::int32_t scale = -34; scale <= 35; ++scale)
    {
        for (std::int32_t len = 1; len <= 13; ++len)
        {
            std::vector<std::int32_t> src(len + 1), srcDst(len + 1), expected(len + 1);
            for (std::int32_t i = 0; i <= len; ++i)
            {
                const bool smallValues = (i + len) % 3 == 0;
                src[i] = smallValues ? small(random) : any(random);
                srcDst[i] = smallValues ? small(random) : any(random);
                expected[i] = i < len ? Expected(std::int64_t{src[i]} + srcDst[i], scale) : srcDst[i];
            }
            ASSERT_EQ(StatusOk, AddScaledInt32(src.data(), srcDst.data(), len, scale));
            EXPECT_EQ(expected, srcDst) << "scale " << scale << " len " << len;
        }
    }
}

TEST_P(AddScaledInt32AtLevel, ChecksPointersBeforeLengthAndWritesNothingOnFailure)
{
    struct Case
    {
        const char* what;
        bool nullSrc;
        bool nullSrcDst;
        std::int32_t len;
        std::int32_t scale;
        NumericStatus status;
    };
    const Case cases[] = {
        {"null src with len 0", true, false, 0, 0, StatusNullPointer},
        {"null srcDst", false, true, 4, 0, StatusNullPointer},
        {"null src with a zeroing scale", true, false, 4, 33, StatusNullPointer},
        {"len 0", false, false, 0, 0, StatusBadSize},
        {"negative len", false, false, -1, 1, StatusBadSize},
        {"len 0 with a zeroing scale", false, false, 0, 40, StatusBadSize},
    };
    const std::vector<std::int32_t> src = {1, 2, 3, 4};
    for (const Case& c : cases)
    {
        std::vector<std::int32_t> srcDst = {5, 6, 7, 8};
        EXPECT_EQ(c.status, AddScaledInt32(c.nullSrc ? nullptr : src.data(), c.nullSrcDst ? nullptr : srcDst.data(),
                                           c.len, c.scale))
            << c.what;
        EXPECT_EQ((std::vector<std::int32_t>{5, 6, 7, 8}), srcDst) << c.what;
    }
}

TEST_P(AddScaledInt32AtLevel, AccumulatesAHistogramBandWithoutTouchingWhatFollows)
{
    std::vector<std::int32_t> saved(768), bins(769, 7);
    for (std::int32_t i = 0; i < 768; ++i)
        saved[i] = i * 1000;
    ASSERT_EQ(StatusOk, AddScaledInt32(saved.data(), bins.data(), 768, 0));
    for (std::int32_t i = 0; i < 768; ++i)
        ASSERT_EQ(i * 1000 + 7, bins[i]) << i;
    EXPECT_EQ(7, bins[768]);
}

INSTANTIATE_AT_EVERY_LEVEL(AddScaledInt32AtLevel);

TEST(AddScaledInt32Table, HoldsOneBodyPerLevel)
{
    // The entry point runs the body of the current level, and every body has the same result.
    const AddScaledInt32Body bodies[] = {AddScaledInt32_Level0, AddScaledInt32_Level1, AddScaledInt32_Level2,
                                         AddScaledInt32_Level3};
    for (const AddScaledInt32Body body : bodies)
    {
        const std::int32_t src[5] = {3, 3, 3, 3, 3};
        std::int32_t srcDst[5] = {2, 2, 2, 2, 2};
        ASSERT_EQ(StatusOk, body(src, srcDst, 5, 1));
        EXPECT_EQ(2, srcDst[0]);
        EXPECT_EQ(2, srcDst[4]);
    }
}
