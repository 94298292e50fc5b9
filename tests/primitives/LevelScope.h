#pragma once
// Runs a test at each of the four processor levels whatever this machine supports: every body uses
// SSE2 only, so the level is forced from a feature mask that names it.
#include "Viewer/primitives/CpuFeatures.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <gtest/gtest.h>
#include <string>

inline constexpr std::uint64_t BaselineFeatures = FeatureMmx | FeatureSse | FeatureSse2;

// One feature mask per level, in level order.
inline constexpr std::uint64_t LevelFeatureMasks[] = {
    BaselineFeatures,
    BaselineFeatures | FeatureSse3,
    BaselineFeatures | FeatureSse3 | FeatureSsse3,
    BaselineFeatures | FeatureSse3 | FeatureSsse3 | FeatureSse41,
};

class ScopedProcessorLevel
{
public:
    explicit ScopedProcessorLevel(std::uint64_t features) : saved_(ProcessorLevel)
    {
        ProcessorLevel = ProcessorLevelForFeatures(features);
    }
    ~ScopedProcessorLevel() { ProcessorLevel = saved_; }
    ScopedProcessorLevel(const ScopedProcessorLevel&) = delete;
    ScopedProcessorLevel& operator=(const ScopedProcessorLevel&) = delete;

private:
    std::int32_t saved_;
};

// Fixture of tests that run once per level; the parameter is the feature mask.
class AtEveryLevel : public testing::TestWithParam<std::uint64_t>
{
protected:
    ScopedProcessorLevel level_{GetParam()};
};

inline std::string LevelName(const testing::TestParamInfo<std::uint64_t>& info)
{
    return "Level" + std::to_string(ProcessorLevelForFeatures(info.param));
}

#define INSTANTIATE_AT_EVERY_LEVEL(fixture) \
    INSTANTIATE_TEST_SUITE_P(Levels, fixture, testing::ValuesIn(LevelFeatureMasks), LevelName)
