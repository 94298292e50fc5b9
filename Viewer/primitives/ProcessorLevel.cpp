#include "Viewer/primitives/ProcessorLevel.h"
#include "Viewer/primitives/CpuFeatures.h"

std::int32_t ProcessorLevel = LevelBaseline;

std::int32_t ProcessorLevelForFeatures(std::uint64_t featureMask)
{
    if (featureMask & FeatureSse41)
        return LevelSse41;
    if (featureMask & FeatureSsse3)
        return LevelSsse3;
    if (featureMask & FeatureSse3)
        return LevelSse3;
    return LevelBaseline;
}

NumericStatus InitPrimitivesCpuDispatch()
{
    std::uint64_t features = 0;
    ProcessorLevel = GetCpuFeatures(&features, nullptr) == StatusOk ? ProcessorLevelForFeatures(features)
                                                                     : LevelBaseline;
    // Another vendor keeps the level its features earn; the status only tells.
    return IsCpuidAvailable() && IsGenuineIntel() ? StatusOk : StatusNotGenuineIntel;
}
