#pragma once
// Pixel regions, level sets and an independent count for the histogram tests and their layouts.
#include "Viewer/primitives/HistogramLevels.h"
#include <array>
#include <cstring>
#include <random>
#include <vector>

using HistogramEntry = NumericStatus (*)(const std::uint8_t*, std::int32_t, RegionSize, std::int32_t* const*,
                                         const std::int32_t* const*, const std::int32_t*);

struct HistogramLayout
{
    const char* name;
    HistogramEntry entry;
    int pixelBytes;
    int sampleBytes;
};

inline const HistogramLayout HistogramLayouts[] = {
    {"8uC3", HistogramLevels8uC3, 3, 1},
    {"8uC4NoAlpha", HistogramLevels8uC4NoAlpha, 4, 1},
    {"16uC3", HistogramLevels16uC3, 6, 2},
};

using ChannelLevels = std::array<std::vector<std::int32_t>, 3>;

inline ChannelLevels PerChannel(std::vector<std::int32_t> c0, std::vector<std::int32_t> c1, std::vector<std::int32_t> c2)
{
    return {std::move(c0), std::move(c1), std::move(c2)};
}

// Bytes that a body must never count: the fourth byte of 4-byte pixels and the padding of each row.
inline constexpr std::uint8_t UnreadByte = 0x80;

class TestImage
{
public:
    TestImage(const HistogramLayout& layout, std::int32_t width, std::int32_t height, std::int32_t padding,
              std::uint32_t seed)
        : layout_(layout), width_(width), height_(height), step_(width * layout.pixelBytes + padding),
          bytes_(static_cast<std::size_t>(step_) * height, UnreadByte)
    {
        std::mt19937 random(seed);
        const std::uint32_t maxSample = layout.sampleBytes == 1 ? 255 : 65535;
        std::uniform_int_distribution<std::uint32_t> any(0, maxSample);
        std::uniform_int_distribution<std::uint32_t> low(0, 300);
        for (std::int32_t y = 0; y < height; ++y)
        {
            for (std::int32_t x = 0; x < width; ++x)
            {
                for (int c = 0; c < 3; ++c)
                {
                    // Many 16-bit samples fall near the 8-bit range, where the usual levels lie.
                    const std::uint32_t v = layout.sampleBytes == 2 && (x + c) % 2 == 0 ? low(random) : any(random);
                    std::memcpy(SampleAddress(x, y, c), &v, layout.sampleBytes);
                }
            }
        }
    }

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::int32_t Step() const { return step_; }
    RegionSize Size() const { return {width_, height_}; }

    std::uint32_t Sample(std::int32_t x, std::int32_t y, int c) const
    {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes_.data() + Offset(x, y, c), layout_.sampleBytes);
        return v;
    }

private:
    std::size_t Offset(std::int32_t x, std::int32_t y, int c) const
    {
        return static_cast<std::size_t>(y) * step_ + static_cast<std::size_t>(x) * layout_.pixelBytes +
               static_cast<std::size_t>(c) * layout_.sampleBytes;
    }
    std::uint8_t* SampleAddress(std::int32_t x, std::int32_t y, int c) { return bytes_.data() + Offset(x, y, c); }

    HistogramLayout layout_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t step_;
    std::vector<std::uint8_t> bytes_;
};

// Three channels' levels and their counters, each counter run followed by a guard value.
class LevelSet
{
public:
    static constexpr std::int32_t Guard = 0x7A7A7A7A;
    static constexpr std::int32_t Stale = 999;

    explicit LevelSet(ChannelLevels levels) : levels_(std::move(levels))
    {
        for (int c = 0; c < 3; ++c)
        {
            counts_[c].assign(levels_[c].size(), Stale);
            counts_[c].back() = Guard;
            levelPointers_[c] = levels_[c].data();
            countPointers_[c] = counts_[c].data();
            nLevels_[c] = static_cast<std::int32_t>(levels_[c].size());
        }
    }

    NumericStatus Count(HistogramEntry entry, const TestImage& image)
    {
        return entry(image.Data(), image.Step(), image.Size(), countPointers_.data(), levelPointers_.data(),
                     nLevels_.data());
    }

    // The counters of each channel, without the guard.
    std::vector<std::int32_t> Counts(int c) const { return {counts_[c].begin(), counts_[c].end() - 1}; }
    bool GuardsIntact() const
    {
        return counts_[0].back() == Guard && counts_[1].back() == Guard && counts_[2].back() == Guard;
    }

    // Counted the plain way: every sample against every range.
    std::vector<std::int32_t> ExpectedCounts(const TestImage& image, int c) const
    {
        std::vector<std::int32_t> expected(levels_[c].size() - 1, 0);
        for (std::int32_t y = 0; y < image.Size().height; ++y)
        {
            for (std::int32_t x = 0; x < image.Size().width; ++x)
            {
                const std::int64_t v = image.Sample(x, y, c);
                for (std::size_t k = 0; k + 1 < levels_[c].size(); ++k)
                {
                    if (levels_[c][k] <= v && v < levels_[c][k + 1])
                        ++expected[k];
                }
            }
        }
        return expected;
    }

private:
    ChannelLevels levels_;
    std::array<std::vector<std::int32_t>, 3> counts_;
    std::array<const std::int32_t*, 3> levelPointers_{};
    std::array<std::int32_t*, 3> countPointers_{};
    std::array<std::int32_t, 3> nLevels_{};
};

// first, first + step, ... for count boundaries.
inline std::vector<std::int32_t> EvenLevels(std::int32_t first, std::int32_t step, std::int32_t count)
{
    std::vector<std::int32_t> levels(count);
    for (std::int32_t k = 0; k < count; ++k)
        levels[k] = first + k * step;
    return levels;
}
