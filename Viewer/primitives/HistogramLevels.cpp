#include "Viewer/primitives/HistogramLevels.h"
#include "Viewer/primitives/AlignedAlloc.h"
#include "Viewer/primitives/Fill.h"
#include "Viewer/primitives/Histogram16Method.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <algorithm>
#include <cstring>
#include <emmintrin.h>
#include <memory>

namespace
{
constexpr int Channels = 3;
constexpr std::int32_t Bins8 = 256;
constexpr std::int32_t Bins16 = 65536;

using HistogramBody = NumericStatus (*)(const std::uint8_t*, std::int32_t, RegionSize, std::int32_t* const*,
                                        const std::int32_t* const*, const std::int32_t*);

NumericStatus CheckHistogramArguments(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                      std::int32_t* const* hist, const std::int32_t* const* levels,
                                      const std::int32_t* nLevels)
{
    if (!src || !hist || !levels || !nLevels)
        return StatusNullPointer;
    for (int c = 0; c < Channels; ++c)
    {
        if (!hist[c] || !levels[c])
            return StatusNullPointer;
        if (nLevels[c] < 2)
            return StatusTooFewLevels;
    }
    if (size.width < 1 || size.height < 1)
        return StatusBadSize;
    return step < 1 ? StatusBadStep : StatusOk;
}

const std::uint8_t* RowStart(const std::uint8_t* src, std::int32_t step, std::int32_t row)
{
    return src + std::ptrdiff_t{row} * step;
}

// counts[lo] + ... + counts[hi - 1].
template <int Level>
std::int32_t SumRange(const std::int32_t* counts, std::int32_t lo, std::int32_t hi)
{
    std::uint32_t sum = 0;
    std::int32_t v = lo;
    if constexpr (Level != LevelBaseline)
    {
        __m128i sums = _mm_setzero_si128();
        for (; v + 4 <= hi; v += 4)
            sums = _mm_add_epi32(sums, _mm_loadu_si128(reinterpret_cast<const __m128i*>(counts + v)));
        sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
        sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
        sum = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums));
    }
    for (; v < hi; ++v)
        sum += static_cast<std::uint32_t>(counts[v]);
    return static_cast<std::int32_t>(sum);
}

// hist[k] = the count of values from levels[k] up to levels[k + 1], the boundaries clamped to the
// table's bins; an empty or reversed range counts 0.
template <int Level>
void SumRanges(const std::int32_t* counts, std::int32_t bins, std::int32_t* hist, const std::int32_t* levels,
               std::int32_t nLevels)
{
    for (std::int32_t k = 0; k + 1 < nLevels; ++k)
    {
        const std::int32_t lo = std::clamp(levels[k], 0, bins);
        const std::int32_t hi = std::clamp(levels[k + 1], 0, bins);
        hist[k] = lo < hi ? SumRange<Level>(counts, lo, hi) : 0;
    }
}

// Baseline: one pixel after the other, one byte load per sample.
template <int PixelBytes>
void CountRow8uBytes(const std::uint8_t* p, std::int32_t width, std::int32_t* scratch)
{
    for (std::int32_t x = 0; x < width; ++x, p += PixelBytes)
    {
        for (int c = 0; c < Channels; ++c)
            ++scratch[c * Bins8 + p[c]];
    }
}

// Levels 1-3: the first two samples of a pixel in one 16-bit load, four pixels per round. Byte
// loads into a table of counts may be clobbered by every increment, so fewer loads mean fewer reloads.
template <int PixelBytes>
void CountRow8uWide(const std::uint8_t* p, std::int32_t width, std::int32_t* scratch)
{
    std::int32_t x = 0;
    for (; x + 4 <= width; x += 4)
    {
        for (int j = 0; j < 4; ++j, p += PixelBytes)
        {
            std::uint16_t firstTwo;
            std::memcpy(&firstTwo, p, sizeof(firstTwo));
            const std::uint8_t third = p[2];
            ++scratch[firstTwo & 0xFF];
            ++scratch[Bins8 + (firstTwo >> 8)];
            ++scratch[2 * Bins8 + third];
        }
    }
    CountRow8uBytes<PixelBytes>(p, width - x, scratch);
}

template <int Level, int PixelBytes>
NumericStatus Histogram8u(const std::uint8_t* src, std::int32_t step, RegionSize size, std::int32_t* const* hist,
                          const std::int32_t* const* levels, const std::int32_t* nLevels)
{
    const NumericStatus status = CheckHistogramArguments(src, step, size, hist, levels, nLevels);
    if (status != StatusOk)
        return status;
    alignas(16) std::int32_t scratch[Channels * Bins8];
    SetInt32<Level>(0, scratch, Channels * Bins8);
    for (std::int32_t row = 0; row < size.height; ++row)
    {
        if constexpr (Level == LevelBaseline)
            CountRow8uBytes<PixelBytes>(RowStart(src, step, row), size.width, scratch);
        else
            CountRow8uWide<PixelBytes>(RowStart(src, step, row), size.width, scratch);
    }
    for (int c = 0; c < Channels; ++c)
        SumRanges<Level>(scratch + c * Bins8, Bins8, hist[c], levels[c], nLevels[c]);
    return StatusOk;
}

std::uint16_t LoadSample16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// Calls count(channel, sample) for every sample of the region, row by row.
template <class Count>
void ForEachSample16(const std::uint8_t* src, std::int32_t step, RegionSize size, Count count)
{
    for (std::int32_t row = 0; row < size.height; ++row)
    {
        const std::uint8_t* p = RowStart(src, step, row);
        for (std::int32_t x = 0; x < size.width; ++x, p += 2 * Channels)
        {
            for (int c = 0; c < Channels; ++c)
                count(c, LoadSample16(p + 2 * c));
        }
    }
}

bool StrictlyIncreasing(const std::int32_t* levels, std::int32_t nLevels)
{
    for (std::int32_t k = 0; k + 1 < nLevels; ++k)
    {
        if (levels[k] >= levels[k + 1])
            return false;
    }
    return true;
}

// For strictly increasing levels and a sample v with levels[0] <= v < levels[nLevels - 1]: the
// counter whose range holds v, found from the start.
std::int32_t FirstCounterAbove(const std::int32_t* levels, std::int32_t, std::int32_t v)
{
    std::int32_t k = 0;
    while (v >= levels[k + 1])
        ++k;
    return k;
}

// The same counter, found by halving the span of counters.
std::int32_t HalvingSearch(const std::int32_t* levels, std::int32_t nLevels, std::int32_t v)
{
    std::int32_t start = 0;
    std::int32_t span = nLevels - 1;
    while (span > 1)
    {
        const std::int32_t half = span >> 1;
        if (v >= levels[start + half])
        {
            start += half;
            span -= half;
        }
        else
            span = half;
    }
    return start;
}

using CounterSearch = std::int32_t (*)(const std::int32_t* levels, std::int32_t nLevels, std::int32_t v);

// Adds each sample within its channel's first and last boundary to the counter that find names.
template <CounterSearch find>
void CountBySearch16(const std::uint8_t* src, std::int32_t step, RegionSize size, std::int32_t* const* hist,
                     const std::int32_t* const* levels, const std::int32_t* nLevels)
{
    ForEachSample16(src, step, size, [&](int c, std::int32_t v) {
        const std::int32_t* lv = levels[c];
        if (lv[0] <= v && v < lv[nLevels[c] - 1])
            ++hist[c][find(lv, nLevels[c], v)];
    });
}

template <int Level>
NumericStatus CountByTable16(const std::uint8_t* src, std::int32_t step, RegionSize size, std::int32_t* const* hist,
                             const std::int32_t* const* levels, const std::int32_t* nLevels)
{
    constexpr std::int32_t TableLength = Channels * Bins16;
    const std::unique_ptr<std::int32_t[], AlignedFreeDeleter> table(AlignedAllocInt32(TableLength));
    if (!table)
        return StatusOutOfMemory;
    std::int32_t* counts = table.get();
    SetInt32Checked<Level>(0, counts, TableLength);
    ForEachSample16(src, step, size, [counts](int c, std::uint16_t v) { ++counts[c * Bins16 + v]; });
    for (int c = 0; c < Channels; ++c)
        SumRanges<Level>(counts + c * Bins16, Bins16, hist[c], levels[c], nLevels[c]);
    return StatusOk;
}

template <int Level>
NumericStatus Histogram16u(const std::uint8_t* src, std::int32_t step, RegionSize size, std::int32_t* const* hist,
                           const std::int32_t* const* levels, const std::int32_t* nLevels)
{
    const NumericStatus status = CheckHistogramArguments(src, step, size, hist, levels, nLevels);
    if (status != StatusOk)
        return status;
    bool allIncreasing = true;
    for (int c = 0; c < Channels; ++c)
        allIncreasing = allIncreasing && StrictlyIncreasing(levels[c], nLevels[c]);
    // 64-bit, so that a huge region or level count cannot overflow into a wrong choice.
    const std::int64_t pixels = std::int64_t{size.width} * size.height;
    const std::int64_t avgLevels = ((std::int64_t{nLevels[0]} + nLevels[1] + nLevels[2]) * 21845) >> 16;
    const Histogram16Method method = ChooseHistogram16Method(Level, pixels, avgLevels, allIncreasing);
    for (int c = 0; c < Channels; ++c)
        SetInt32<Level>(0, hist[c], nLevels[c] - 1);

    switch (method)
    {
    case Histogram16Method::FullTable:
        return CountByTable16<Level>(src, step, size, hist, levels, nLevels);
    case Histogram16Method::PerRangeScan:
        ForEachSample16(src, step, size, [&](int c, std::int32_t v) {
            const std::int32_t* lv = levels[c];
            for (std::int32_t k = 0; k + 1 < nLevels[c]; ++k)
            {
                if (lv[k] <= v && v < lv[k + 1])
                    ++hist[c][k];
            }
        });
        break;
    case Histogram16Method::LinearSearch:
        CountBySearch16<FirstCounterAbove>(src, step, size, hist, levels, nLevels);
        break;
    case Histogram16Method::BinarySearch:
        CountBySearch16<HalvingSearch>(src, step, size, hist, levels, nLevels);
        break;
    }
    return StatusOk;
}

constexpr HistogramBody HistogramLevels8uC3Bodies[ProcessorLevelCount] = {
    Histogram8u<0, 3>, Histogram8u<1, 3>, Histogram8u<2, 3>, Histogram8u<3, 3>};
constexpr HistogramBody HistogramLevels8uC4NoAlphaBodies[ProcessorLevelCount] = {
    Histogram8u<0, 4>, Histogram8u<1, 4>, Histogram8u<2, 4>, Histogram8u<3, 4>};
constexpr HistogramBody HistogramLevels16uC3Bodies[ProcessorLevelCount] = {
    Histogram16u<0>, Histogram16u<1>, Histogram16u<2>, Histogram16u<3>};
}

NumericStatus HistogramLevels8uC3(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                  std::int32_t* const* hist, const std::int32_t* const* levels,
                                  const std::int32_t* nLevels)
{
    return SelectBody(HistogramLevels8uC3Bodies)(src, step, size, hist, levels, nLevels);
}

NumericStatus HistogramLevels8uC4NoAlpha(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                         std::int32_t* const* hist, const std::int32_t* const* levels,
                                         const std::int32_t* nLevels)
{
    return SelectBody(HistogramLevels8uC4NoAlphaBodies)(src, step, size, hist, levels, nLevels);
}

NumericStatus HistogramLevels16uC3(const std::uint8_t* src, std::int32_t step, RegionSize size,
                                   std::int32_t* const* hist, const std::int32_t* const* levels,
                                   const std::int32_t* nLevels)
{
    return SelectBody(HistogramLevels16uC3Bodies)(src, step, size, hist, levels, nLevels);
}
