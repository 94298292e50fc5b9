#include "Viewer/primitives/CpuFeatures.h"
#include <cpuid.h>

namespace
{
// Written once by the first query, during start-up; only read afterwards.
std::uint64_t CachedFeatureMask = 0;
std::int32_t FeatureMaskKnown = 0;

struct FeatureSource
{
    std::uint64_t feature;
    int reg;  // 2 = ECX, 3 = EDX of leaf 1
    int bit;
};

constexpr FeatureSource FeatureSources[] = {
    {FeatureMmx, 3, 23},   {FeatureSse, 3, 25},   {FeatureSse2, 3, 26},  {FeatureSse3, 2, 0},
    {FeatureSsse3, 2, 9},  {FeatureMovbe, 2, 22}, {FeatureSse41, 2, 19}, {FeatureSse42, 2, 20},
};

std::uint64_t FeatureMaskFromLeaf1(const std::uint32_t regs[4])
{
    std::uint64_t mask = 0;
    for (const FeatureSource& source : FeatureSources)
    {
        if ((regs[source.reg] >> source.bit) & 1)
            mask |= source.feature;
    }
    return mask;
}

// Leaf 2 descriptors of caches from 512 KiB to 16 MiB, largest first, with their size codes:
// a code c means (c >> 4) << ((c & 15) + 18) bytes.
struct CacheDescriptor
{
    std::uint8_t descriptor;
    std::uint8_t sizeCode;
};

constexpr CacheDescriptor CacheDescriptors[] = {
    {0x4D, 0x16},                                                                          // 16 MiB
    {0x4C, 0x34},                                                                          // 12 MiB
    {0x4B, 0x15}, {0x47, 0x15},                                                            // 8 MiB
    {0x4E, 0x33}, {0x4A, 0x33},                                                            // 6 MiB
    {0x49, 0x14}, {0x29, 0x14}, {0x46, 0x14},                                              // 4 MiB
    {0x48, 0x32},                                                                          // 3 MiB
    {0x25, 0x13}, {0x7D, 0x13}, {0x85, 0x13}, {0x45, 0x13},                                // 2 MiB
    {0x23, 0x12}, {0x87, 0x12}, {0x7C, 0x12}, {0x78, 0x12}, {0x84, 0x12}, {0x44, 0x12},    // 1 MiB
    {0x22, 0x11}, {0x7B, 0x11}, {0x80, 0x11}, {0x86, 0x11}, {0x3E, 0x11}, {0x7F, 0x11},
    {0x83, 0x11}, {0x43, 0x11},                                                            // 512 KiB
};

bool Leaf2HasDescriptor(const std::uint32_t regs[4], std::uint8_t descriptor)
{
    for (int reg = 0; reg < 4; ++reg)
    {
        if (regs[reg] & 0x80000000u)
            continue;  // the register carries no descriptors
        // The low byte of EAX is the round count, not a descriptor.
        for (int byte = reg == 0 ? 1 : 0; byte < 4; ++byte)
        {
            if (((regs[reg] >> (8 * byte)) & 0xFF) == descriptor)
                return true;
        }
    }
    return false;
}
}

void ReadCpuid(std::uint32_t regs[4], std::int32_t leaf, std::int32_t subleaf)
{
    unsigned eax, ebx, ecx, edx;
    __cpuid_count(static_cast<unsigned>(leaf), static_cast<unsigned>(subleaf), eax, ebx, ecx, edx);
    regs[0] = eax;
    regs[1] = ebx;
    regs[2] = ecx;
    regs[3] = edx;
}

std::int32_t IsCpuidAvailable()
{
    return 1;
}

std::int32_t IsGenuineIntel()
{
    std::uint32_t regs[4];
    ReadCpuid(regs, 0, 0);
    return regs[1] == 0x756E6547 && regs[3] == 0x49656E69 && regs[2] == 0x6C65746E;
}

std::int32_t QueryCpuFeatureMask(std::uint64_t* mask)
{
    if (!FeatureMaskKnown)
    {
        if (!IsCpuidAvailable())
            return 0;
        std::uint32_t regs[4];
        ReadCpuid(regs, 1, 0);
        CachedFeatureMask = FeatureMaskFromLeaf1(regs);
        FeatureMaskKnown = 1;
    }
    *mask = CachedFeatureMask;
    return 1;
}

NumericStatus GetCpuFeatures(std::uint64_t* mask, std::uint32_t* regs)
{
    std::uint64_t known = 0;
    if (!QueryCpuFeatureMask(&known))
        return StatusNoCpuid;
    if (!mask)
        return StatusNullPointer;
    *mask = known;
    if (regs)
        ReadCpuid(regs, 1, 0);
    return StatusOk;
}

std::int64_t LargestCacheBytesFromLeaf2(const std::uint32_t regs[4])
{
    if ((regs[0] & 0xFF) != 1)
        return 0;
    for (const CacheDescriptor& entry : CacheDescriptors)
    {
        if (Leaf2HasDescriptor(regs, entry.descriptor))
            return std::int64_t{entry.sizeCode >> 4} << ((entry.sizeCode & 15) + 18);
    }
    return 0;
}

std::int64_t LargestCacheBytes()
{
    // cpuid is slow (a virtual machine traps it): ask once, for the fills that check on every long run.
    static const std::int64_t bytes = [] {
        if (!IsGenuineIntel())
            return std::int64_t{0};
        std::uint32_t regs[4];
        ReadCpuid(regs, 2, 0);
        return LargestCacheBytesFromLeaf2(regs);
    }();
    return bytes;
}
