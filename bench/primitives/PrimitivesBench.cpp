// Throughput of each numeric primitive at each processor level, relative to the baseline level.
// Every body uses SSE2 only, so all four levels run on any x86-64 machine.
#include "bench/primitives/Stopwatch.h"
#include "Viewer/primitives/AddScaled.h"
#include "Viewer/primitives/CpuFeatures.h"
#include "Viewer/primitives/Fill.h"
#include "Viewer/primitives/HistogramLevels.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include "Viewer/primitives/StringHash.h"
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace
{
constexpr int Rounds = 9;

// A camera-sized picture.
constexpr std::int32_t PictureWidth = 6000;
constexpr std::int32_t PictureHeight = 4000;

struct Benchmark
{
    std::string operation;
    std::string work;
    double bytesPerCall;  // bytes read by one call, for the throughput
    std::function<void()> run;
};

// Photo-like samples: smooth gradients with a little noise, so that neighbours are often equal.
std::vector<std::uint8_t> MakePicture(int pixelBytes, int sampleBytes)
{
    const std::size_t step = static_cast<std::size_t>(PictureWidth) * pixelBytes;
    std::vector<std::uint8_t> bytes(step * PictureHeight);
    std::uint32_t noise = 12345;
    for (std::int32_t y = 0; y < PictureHeight; ++y)
    {
        std::uint8_t* row = bytes.data() + y * step;
        for (std::int32_t x = 0; x < PictureWidth; ++x)
        {
            for (int c = 0; c < pixelBytes / sampleBytes; ++c)
            {
                noise = noise * 1664525u + 1013904223u;
                const std::uint32_t value = (x / 24 + y / 16 + c * 40 + (noise >> 29)) & 0xFF;
                const std::uint32_t sample = sampleBytes == 2 ? value * 257 : value;
                for (int b = 0; b < sampleBytes; ++b)
                    row[x * pixelBytes + c * sampleBytes + b] = static_cast<std::uint8_t>(sample >> (8 * b));
            }
        }
    }
    return bytes;
}

// The levels the histogram source passes: 0, 1, ..., 256 for every channel.
struct HistogramCall
{
    std::vector<std::int32_t> levels = std::vector<std::int32_t>(257);
    std::array<std::vector<std::int32_t>, 3> bins;
    std::array<std::int32_t*, 3> hist{};
    std::array<const std::int32_t*, 3> levelPointers{};
    std::array<std::int32_t, 3> nLevels{257, 257, 257};

    HistogramCall()
    {
        for (std::int32_t k = 0; k < 257; ++k)
            levels[k] = k;
        for (int c = 0; c < 3; ++c)
        {
            bins[c].resize(256);
            hist[c] = bins[c].data();
            levelPointers[c] = levels.data();
        }
    }
};

// The fills are called by the body of their level, not through a table of the program: these
// tables let the benchmark take the current level's one as the entry points do.
constexpr std::int32_t* (*SetInt32Bodies[ProcessorLevelCount])(std::int32_t, std::int32_t*, std::int32_t) = {
    SetInt32<0>, SetInt32<1>, SetInt32<2>, SetInt32<3>};
constexpr void* (*ZeroBytesBodies[ProcessorLevelCount])(void*, std::int32_t) = {ZeroBytes<0>, ZeroBytes<1>,
                                                                                ZeroBytes<2>, ZeroBytes<3>};

void SetAll(std::vector<std::int32_t>& data)
{
    SelectBody(SetInt32Bodies)(1, data.data(), static_cast<std::int32_t>(data.size()));
}

void ZeroAll(std::vector<std::int32_t>& data)
{
    SelectBody(ZeroBytesBodies)(data.data(), static_cast<std::int32_t>(data.size() * 4));
}

// Only the operations whose name contains filter (all for an empty filter).
void PrintTable(const std::vector<Benchmark>& benchmarks, const std::string& filter)
{
    std::printf("%-34s %-30s %14s %8s %8s %8s %8s\n", "operation", "work", "level 0 MB/s", "level 0", "level 1",
                "level 2", "level 3");
    for (const Benchmark& benchmark : benchmarks)
    {
        if (benchmark.operation.find(filter) == std::string::npos)
            continue;
        // Levels take turns round by round, so that a busy moment of the machine does not favour one;
        // each level's best round counts.
        const long long calls = CallsPerRound(benchmark.run);
        std::array<double, ProcessorLevelCount> seconds;
        seconds.fill(1e30);
        for (int round = 0; round < Rounds; ++round)
        {
            for (std::int32_t level = 0; level < ProcessorLevelCount; ++level)
            {
                ProcessorLevel = level;
                seconds[level] = std::min(seconds[level], SecondsPerCall(benchmark.run, calls));
            }
        }
        ProcessorLevel = LevelBaseline;
        std::printf("%-34s %-30s %14.0f", benchmark.operation.c_str(), benchmark.work.c_str(),
                    benchmark.bytesPerCall / seconds[0] / 1e6);
        for (double s : seconds)
            std::printf(" %8.2f", seconds[0] / s);
        std::printf("\n");
        std::fflush(stdout);
    }
}
}

// Usage: bench_primitives [part of an operation's name]
int wmain(int argc, wchar_t** argv)
{
    std::string filter;
    for (const wchar_t* p = argc > 1 ? argv[1] : L""; *p; ++p)
        filter += static_cast<char>(*p);

    std::uint64_t features = 0;
    GetCpuFeatures(&features, nullptr);
    std::printf("Numeric primitives: throughput per processor level, level 0 (baseline) = 1.00\n");
    std::printf("This processor's own level: %d; genuine Intel: %d; largest cache by leaf 2: %lld bytes\n\n",
                ProcessorLevelForFeatures(features), IsGenuineIntel(), static_cast<long long>(LargestCacheBytes()));

    std::vector<Benchmark> benchmarks;

    static std::vector<std::int32_t> bandSrc(768, 1000), bandDst(768, 7);
    benchmarks.push_back({"AddScaledInt32 scale 0", "768 bins (histogram band)", 768 * 8.0,
                          [] { AddScaledInt32(bandSrc.data(), bandDst.data(), 768, 0); }});
    static std::vector<std::int32_t> bigSrc(1 << 20, 12345), bigDst(1 << 20, -777);
    for (std::int32_t scale : {0, 1, 5, -3, -40, 40})
    {
        benchmarks.push_back({"AddScaledInt32 scale " + std::to_string(scale), "1,048,576 values", (1 << 20) * 8.0,
                              // The values drift from call to call; no body's speed depends on them.
                              [scale] { AddScaledInt32(bigSrc.data(), bigDst.data(), 1 << 20, scale); }});
    }

    static std::vector<std::int32_t> scratch(768), table(3 * 65536), large(8 << 20);
    benchmarks.push_back({"SetInt32", "768 values (scratch)", 768 * 4.0, [] { SetAll(scratch); }});
    benchmarks.push_back({"SetInt32", "196,608 values (16-bit table)", 3 * 65536 * 4.0,
                          [] { SetAll(table); }});
    benchmarks.push_back({"SetInt32", "32 MiB", (8 << 20) * 4.0, [] { SetAll(large); }});
    benchmarks.push_back({"ZeroBytes", "786,432 bytes", 3 * 65536 * 4.0, [] { ZeroAll(table); }});
    benchmarks.push_back({"ZeroBytes", "32 MiB", (8 << 20) * 4.0, [] { ZeroAll(large); }});

    static const std::u16string path = u"D:\\Photos\\2026\\2026-07-14 Lakes\\DSC_4711.NEF";
    static std::u16string longText(1 << 20, u'x');
    static volatile std::uint32_t hashSink = 0;
    benchmarks.push_back({"HashStringUtf16", std::to_string(path.size()) + "-unit path", path.size() * 2.0, [] {
                              std::uint32_t h = 0;
                              HashStringUtf16(reinterpret_cast<const std::uint16_t*>(path.data()),
                                              static_cast<std::int32_t>(path.size()), &h);
                              hashSink = h;
                          }});
    benchmarks.push_back({"HashStringUtf16", "1,048,576 units", (1 << 20) * 2.0, [] {
                              std::uint32_t h = 0;
                              HashStringUtf16(reinterpret_cast<const std::uint16_t*>(longText.data()), 1 << 20, &h);
                              hashSink = h;
                          }});

    static HistogramCall histogram;
    static const std::vector<std::uint8_t> rgb = MakePicture(3, 1);
    static const std::vector<std::uint8_t> bgra = MakePicture(4, 1);
    static const std::vector<std::uint8_t> rgb16 = MakePicture(6, 2);
    const std::string picture = "6000 x 4000, 257 levels";
    const RegionSize size{PictureWidth, PictureHeight};
    benchmarks.push_back({"HistogramLevels8uC3", picture, rgb.size() * 1.0, [size] {
                              HistogramLevels8uC3(rgb.data(), PictureWidth * 3, size, histogram.hist.data(),
                                                  histogram.levelPointers.data(), histogram.nLevels.data());
                          }});
    benchmarks.push_back({"HistogramLevels8uC4NoAlpha", picture, bgra.size() * 1.0, [size] {
                              HistogramLevels8uC4NoAlpha(bgra.data(), PictureWidth * 4, size, histogram.hist.data(),
                                                         histogram.levelPointers.data(), histogram.nLevels.data());
                          }});
    benchmarks.push_back({"HistogramLevels16uC3", picture, rgb16.size() * 1.0, [size] {
                              HistogramLevels16uC3(rgb16.data(), PictureWidth * 6, size, histogram.hist.data(),
                                                   histogram.levelPointers.data(), histogram.nLevels.data());
                          }});
    // A band of 64 rows, as the histogram source counts it.
    benchmarks.push_back({"HistogramLevels8uC3", "6000 x 64 band, 257 levels", PictureWidth * 64 * 3.0, [] {
                              HistogramLevels8uC3(rgb.data(), PictureWidth * 3, {PictureWidth, 64}, histogram.hist.data(),
                                                  histogram.levelPointers.data(), histogram.nLevels.data());
                          }});
    // Small 16-bit regions, where the searches are chosen over the table.
    benchmarks.push_back({"HistogramLevels16uC3", "60 x 60, 257 levels", 60 * 60 * 6.0, [] {
                              HistogramLevels16uC3(rgb16.data(), PictureWidth * 6, {60, 60}, histogram.hist.data(),
                                                   histogram.levelPointers.data(), histogram.nLevels.data());
                          }});

    PrintTable(benchmarks, filter);
    std::printf("\n(hash of the last run: %08X)\n", static_cast<unsigned>(hashSink));
    return 0;
}
