#include "Viewer/engine/CacheSizer.h"
#include <d3d9.h>
#include <gtest/gtest.h>

void PrintTo(CacheQuotas q, std::ostream* out)
{
    *out << q.ahead << " ahead / " << q.behind << " behind";
}

namespace {
constexpr DWORD Guide = 32;  // load threshold 62 %: shrinks from 67 %, grows up to 57 %
constexpr uint64_t GiB = 1ull << 30;


TEST(CacheQuotas, StartFromTheFreeMemoryAndTheMemorySetting)
{
    struct { uint64_t free; DWORD guide, downscale; CacheQuotas expected; } cases[] = {
        {GiB, 32, 0, {21, 11}},       // 1024 MB, capped at the setting: a third of 32 behind, twice ahead
        {GiB, 32, 64, {11, 5}},       // 1024 MB over 64 downscale steps: 16
        {GiB, 32, 0x10000 | 64, {11, 5}},  // only the low 16 bits of the downscale setting count
        {100ull << 20, 96, 0, {64, 32}},  // 100 MB, capped at 96
        {60ull << 20, 96, 0, {40, 20}},
        {5ull << 20, 96, 0, {3, 2}},
        {0, 32, 0, {0, 0}},
        {GiB, 0, 0, {0, 0}},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.expected, QuotasForFreeMemory(c.free, c.guide, c.downscale)) << c.free << " " << c.guide;
}

TEST(CacheQuotas, ACardReportingMoreThanFourBillionBytesCountsAsFourBillionNotAsNothing)
{
    EXPECT_EQ(4000000000ull, CountedTextureMemory(4294000000u));
    EXPECT_EQ(1234u, CountedTextureMemory(1234u));
    EXPECT_EQ(0u, TextureMemoryReading(4294000000u, 4294000000u).loadPercent);
    EXPECT_EQ(75u, TextureMemoryReading(1000000000u, 4000000000u).loadPercent) << "computed without 32-bit overflow";
    EXPECT_EQ(100u, TextureMemoryReading(5000, 0).loadPercent) << "an unknown total reads as full";
    EXPECT_EQ(0u, TextureMemoryReading(5000, 1000).loadPercent) << "more free than the total reads as empty";
    EXPECT_NE(0u, QuotasForFreeMemory(CountedTextureMemory(4294000000u), Guide, 0).ahead);
}

class CacheSizer : public testing::Test {
protected:
    CacheAdjustment Decoded(HRESULT hr, uint32_t load, uint64_t available = GiB, size_t cached = 3)
    {
        return sizer.Adjust(hr, SUCCEEDED(hr) ? 1000000 : 0, {available, load}, cached, Guide);
    }
    CCacheSizer sizer;
};

TEST_F(CacheSizer, OutOfMemoryShrinksBothQuotasDownToNothingThenCannotShrink)
{
    sizer.SetQuotas({1, 1});
    EXPECT_EQ(CacheAdjustment::WindowChanged, Decoded(E_OUTOFMEMORY, 10));
    EXPECT_EQ((CacheQuotas{0, 0}), sizer.Quotas());
    EXPECT_EQ(CacheAdjustment::CannotShrink, Decoded(D3DERR_OUTOFVIDEOMEMORY, 10));
}

TEST_F(CacheSizer, HighLoadShrinksButKeepsOneOnEachSide)
{
    sizer.SetQuotas({2, 1});
    EXPECT_EQ(CacheAdjustment::WindowChanged, Decoded(S_OK, 67));
    EXPECT_EQ((CacheQuotas{1, 1}), sizer.Quotas());
    EXPECT_EQ(CacheAdjustment::Unchanged, Decoded(S_OK, 90));
    EXPECT_EQ((CacheQuotas{1, 1}), sizer.Quotas());
}

TEST_F(CacheSizer, OtherFailuresChangeNothing)
{
    sizer.SetQuotas({4, 2});
    EXPECT_EQ(CacheAdjustment::Unchanged, Decoded(E_FAIL, 10));
    EXPECT_EQ((CacheQuotas{4, 2}), sizer.Quotas());
}

TEST_F(CacheSizer, ShrunkStepsComeBackAlternatelyBeforeAnyGrowth)
{
    sizer.SetQuotas({5, 3});
    Decoded(S_OK, 70);
    Decoded(S_OK, 70);
    EXPECT_EQ((CacheQuotas{3, 1}), sizer.Quotas());
    const CacheQuotas expected[] = {{4, 1}, {4, 2}, {5, 2}, {5, 3}};
    for (const CacheQuotas& step : expected) {
        EXPECT_EQ(CacheAdjustment::WindowChanged, Decoded(S_OK, 60)) << "between the thresholds too";
        EXPECT_EQ(step, sizer.Quotas());
    }
    EXPECT_EQ(CacheAdjustment::Unchanged, Decoded(S_OK, 60)) << "no growth above 57 %";
}

TEST_F(CacheSizer, GrowsAheadEveryTimeAndBehindEverySecondTimeWhileMemoryAllows)
{
    sizer.SetQuotas({2, 1});
    const CacheQuotas expected[] = {{3, 1}, {4, 2}, {5, 2}, {6, 3}};
    for (const CacheQuotas& step : expected) {
        EXPECT_EQ(CacheAdjustment::WindowChanged, Decoded(S_OK, 10));
        EXPECT_EQ(step, sizer.Quotas());
    }
    // One mean-sized picture (plus 5 %) must fit twice into the free memory.
    EXPECT_EQ(CacheAdjustment::Unchanged, Decoded(S_OK, 10, 2000000));
    sizer.SetQuotas({20, 12});
    EXPECT_EQ(CacheAdjustment::Unchanged, Decoded(S_OK, 10)) << "never beyond the memory setting";
}

TEST_F(CacheSizer, TheMeanOfTheLastFourSizesRoundedUpToPages)
{
    EXPECT_EQ(0u, sizer.MeanDecodedSize());
    sizer.Adjust(S_OK, 1, {GiB, 10}, 0, 0);
    sizer.Adjust(S_OK, 4097, {GiB, 10}, 0, 0);
    EXPECT_EQ((4096u + 8192u) / 2, sizer.MeanDecodedSize());
    for (uint32_t size : {4096u, 4096u, 4096u, 4096u}) sizer.Adjust(S_OK, size, {GiB, 10}, 0, 0);
    EXPECT_EQ(4096u, sizer.MeanDecodedSize()) << "only the last four count";
}
}  // namespace
