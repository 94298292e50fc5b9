#include "Viewer/primitives/CpuFeatures.h"
#include <gtest/gtest.h>

namespace
{
constexpr std::int64_t KiB = 1024;
constexpr std::int64_t MiB = 1024 * KiB;

struct DescriptorSize
{
    std::uint8_t descriptor;
    std::int64_t bytes;
};

const DescriptorSize DescriptorSizes[] = {
    {0x4D, 16 * MiB}, {0x4C, 12 * MiB}, {0x4B, 8 * MiB},   {0x47, 8 * MiB},   {0x4E, 6 * MiB},
    {0x4A, 6 * MiB},  {0x49, 4 * MiB},  {0x29, 4 * MiB},   {0x46, 4 * MiB},   {0x48, 3 * MiB},
    {0x25, 2 * MiB},  {0x7D, 2 * MiB},  {0x85, 2 * MiB},   {0x45, 2 * MiB},   {0x23, 1 * MiB},
    {0x87, 1 * MiB},  {0x7C, 1 * MiB},  {0x78, 1 * MiB},   {0x84, 1 * MiB},   {0x44, 1 * MiB},
    {0x22, 512 * KiB}, {0x7B, 512 * KiB}, {0x80, 512 * KiB}, {0x86, 512 * KiB}, {0x3E, 512 * KiB},
    {0x7F, 512 * KiB}, {0x83, 512 * KiB}, {0x43, 512 * KiB},
};
}

TEST(LargestCache, EachDescriptorGivesItsSizeInAnyRegisterByte)
{
    for (const DescriptorSize& entry : DescriptorSizes)
    {
        for (int reg = 0; reg < 4; ++reg)
        {
            // A descriptor of 0x80 or more in the top byte would mark the register as empty.
            const int lastByte = entry.descriptor & 0x80 ? 2 : 3;
            for (int byte = reg == 0 ? 1 : 0; byte <= lastByte; ++byte)
            {
                std::uint32_t regs[4] = {1, 0, 0, 0};
                regs[reg] |= std::uint32_t{entry.descriptor} << (8 * byte);
                EXPECT_EQ(entry.bytes, LargestCacheBytesFromLeaf2(regs))
                    << std::hex << "descriptor 0x" << int{entry.descriptor} << " in register " << reg << " byte " << byte;
            }
        }
    }
}

TEST(LargestCache, TheLargestListedCacheWins)
{
    const std::uint32_t regs[4] = {0x00002201, 0x0000007D, 0x4D000000, 0};
    EXPECT_EQ(16 * MiB, LargestCacheBytesFromLeaf2(regs));
}

TEST(LargestCache, UnknownWhenNothingUsableIsThere)
{
    struct Case
    {
        const char* what;
        std::uint32_t regs[4];
    };
    const Case cases[] = {
        {"no listed descriptor", {0x00FF0001, 0x00000030, 0x00000066, 0}},
        {"two rounds of descriptors", {0x004D0002, 0, 0, 0}},
        {"register marked as carrying no descriptors", {0x00000001, 0x8000004D, 0, 0}},
        {"EAX marked as carrying no descriptors", {0x804D0001, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(0, LargestCacheBytesFromLeaf2(c.regs)) << c.what;
}
