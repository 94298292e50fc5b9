#pragma once
// What the processor says about itself through cpuid.
#include "Viewer/primitives/NumericStatus.h"
#include <cstdint>

// Bits of the feature mask, each a copy of one bit that cpuid leaf 1 reports.
inline constexpr std::uint64_t FeatureMmx = 1u << 0;
inline constexpr std::uint64_t FeatureSse = 1u << 1;
inline constexpr std::uint64_t FeatureSse2 = 1u << 2;
inline constexpr std::uint64_t FeatureSse3 = 1u << 3;
inline constexpr std::uint64_t FeatureSsse3 = 1u << 4;
inline constexpr std::uint64_t FeatureMovbe = 1u << 5;
inline constexpr std::uint64_t FeatureSse41 = 1u << 6;
inline constexpr std::uint64_t FeatureSse42 = 1u << 7;

// Executes cpuid with EAX = leaf and ECX = subleaf; regs receives EAX, EBX, ECX, EDX.
void ReadCpuid(std::uint32_t regs[4], std::int32_t leaf, std::int32_t subleaf);
// Every x86-64 processor has cpuid: always 1.
std::int32_t IsCpuidAvailable();
// 1 when cpuid leaf 0 names the vendor "GenuineIntel", else 0.
std::int32_t IsGenuineIntel();
// Stores the feature mask (computed on the first call, cached afterwards) and returns 1; returns 0
// and stores nothing when the processor has no cpuid.
std::int32_t QueryCpuFeatureMask(std::uint64_t* mask);
// The cached feature mask and, when regs is not null, the registers of cpuid leaf 1.
// StatusNullPointer for a null mask (nothing written), StatusNoCpuid when there is no mask.
NumericStatus GetCpuFeatures(std::uint64_t* mask, std::uint32_t* regs);

// Size in bytes of the largest cache that the leaf 2 descriptors in regs (EAX, EBX, ECX, EDX) name
// between 512 KiB and 16 MiB, or 0 when none of them does or the descriptors need more than one round.
std::int64_t LargestCacheBytesFromLeaf2(const std::uint32_t regs[4]);
// The largest cache of this processor as leaf 2 describes it, asked once; 0 (unknown) unless the
// vendor is "GenuineIntel".
std::int64_t LargestCacheBytes();
