#include "LevelScope.h"
#include "Viewer/primitives/CpuFeatures.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <cstring>
#include <gtest/gtest.h>

namespace
{
struct LevelChoice
{
    const char* what;
    std::uint64_t features;
    std::int32_t level;
};

const LevelChoice LevelChoices[] = {
    {"nothing at all", 0, LevelBaseline},
    {"SSE2 and below, SSE4.2, MOVBE", FeatureMmx | FeatureSse | FeatureSse2 | FeatureSse42 | FeatureMovbe, LevelBaseline},
    {"SSE3 alone", FeatureSse3, LevelSse3},
    {"SSSE3 without SSE4.1", FeatureSse3 | FeatureSsse3, LevelSsse3},
    {"SSSE3 without SSE3", FeatureSsse3, LevelSsse3},
    {"SSE4.1 with neither SSSE3 nor SSE3", FeatureSse41, LevelSse41},
    {"everything", 0xFF, LevelSse41},
};

std::uint64_t MaskOfLeaf1()
{
    std::uint32_t regs[4];
    ReadCpuid(regs, 1, 0);
    std::uint64_t mask = 0;
    const auto copy = [&](std::uint32_t reg, int bit, std::uint64_t feature) {
        if (reg & (1u << bit))
            mask |= feature;
    };
    copy(regs[3], 23, FeatureMmx);
    copy(regs[3], 25, FeatureSse);
    copy(regs[3], 26, FeatureSse2);
    copy(regs[2], 0, FeatureSse3);
    copy(regs[2], 9, FeatureSsse3);
    copy(regs[2], 22, FeatureMovbe);
    copy(regs[2], 19, FeatureSse41);
    copy(regs[2], 20, FeatureSse42);
    return mask;
}

bool VendorIsGenuineIntel()
{
    std::uint32_t regs[4];
    ReadCpuid(regs, 0, 0);
    char vendor[13] = {};
    std::memcpy(vendor, &regs[1], 4);
    std::memcpy(vendor + 4, &regs[3], 4);
    std::memcpy(vendor + 8, &regs[2], 4);
    return std::strcmp(vendor, "GenuineIntel") == 0;
}
}

TEST(ProcessorLevel, FeaturesChooseTheLevel)
{
    for (const LevelChoice& choice : LevelChoices)
        EXPECT_EQ(choice.level, ProcessorLevelForFeatures(choice.features)) << choice.what;
}

TEST(ProcessorLevel, IsBaselineUntilStartUpChoosesIt)
{
    // Each test runs in a process of its own: nothing has chosen a level yet.
    EXPECT_EQ(LevelBaseline, ProcessorLevel);
}

TEST(ProcessorLevel, StartUpChoosesTheLevelOfThisProcessorAndTellsTheVendor)
{
    ScopedProcessorLevel restore(0);
    const NumericStatus status = InitPrimitivesCpuDispatch();
    EXPECT_EQ(ProcessorLevelForFeatures(MaskOfLeaf1()), ProcessorLevel);
    EXPECT_EQ(VendorIsGenuineIntel() ? StatusOk : StatusNotGenuineIntel, status);
    EXPECT_EQ(VendorIsGenuineIntel() ? 1 : 0, IsGenuineIntel());
}

TEST(CpuFeatures, MaskCopiesTheBitsOfLeaf1)
{
    std::uint64_t mask = 0;
    ASSERT_EQ(1, QueryCpuFeatureMask(&mask));
    EXPECT_EQ(MaskOfLeaf1(), mask);
    EXPECT_TRUE(mask & FeatureSse2) << "every x86-64 processor has SSE2";
    std::uint64_t again = 0;
    ASSERT_EQ(1, QueryCpuFeatureMask(&again));
    EXPECT_EQ(mask, again);
}

TEST(CpuFeatures, GetCpuFeaturesStoresTheMaskAndTheRegistersAsked)
{
    std::uint32_t regs[4] = {};
    std::uint64_t mask = 0;
    EXPECT_EQ(StatusNullPointer, GetCpuFeatures(nullptr, regs));
    EXPECT_EQ(0u, regs[0] | regs[1] | regs[2] | regs[3]) << "nothing written for a null mask";

    ASSERT_EQ(StatusOk, GetCpuFeatures(&mask, nullptr));
    EXPECT_EQ(MaskOfLeaf1(), mask);

    std::uint64_t mask2 = 0;
    ASSERT_EQ(StatusOk, GetCpuFeatures(&mask2, regs));
    std::uint32_t leaf1[4];
    ReadCpuid(leaf1, 1, 0);
    EXPECT_EQ(mask, mask2);
    // EBX carries the number of the core that answered, which may differ between the two calls.
    EXPECT_EQ(leaf1[0], regs[0]);
    EXPECT_EQ(leaf1[2], regs[2]);
    EXPECT_EQ(leaf1[3], regs[3]);
}

TEST(CpuFeatures, CpuidIsAlwaysAvailable)
{
    EXPECT_EQ(1, IsCpuidAvailable());
}

TEST(ProcessorLevel, EntryPointsTakeTheBodyOfTheCurrentLevel)
{
    using Body = int (*)();
    const Body bodies[ProcessorLevelCount] = {[] { return 0; }, [] { return 1; }, [] { return 2; }, [] { return 3; }};
    EXPECT_EQ(0, SelectBody(bodies)()) << "before start-up";
    for (int level = 0; level < ProcessorLevelCount; ++level)
    {
        ScopedProcessorLevel forced(LevelFeatureMasks[level]);
        EXPECT_EQ(level, SelectBody(bodies)());
    }
}
