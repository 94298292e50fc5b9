#include "Viewer/engine/CacheSizer.h"
#include <d3d9.h>
#include <algorithm>

namespace {
constexpr uint64_t TextureMemoryReportLimit = 4000000000ull;

bool IsOutOfMemory(HRESULT hr) noexcept
{
    return hr == D3DERR_OUTOFVIDEOMEMORY || hr == E_OUTOFMEMORY;
}

// The load in percent from which the cache shrinks, less 5, and up to which it grows, plus 5.
uint32_t LoadThreshold(DWORD memoryGuideNumber) noexcept
{
    return uint32_t(float(memoryGuideNumber) * 0.390625f + 50.0f);
}
}  // namespace

uint64_t CountedTextureMemory(UINT reported) noexcept
{
    return std::min<uint64_t>(reported, TextureMemoryReportLimit);
}

MemoryReading TextureMemoryReading(UINT reportedAvailable, UINT reportedTotal) noexcept
{
    MemoryReading reading;
    reading.available = CountedTextureMemory(reportedAvailable);
    const uint64_t total = CountedTextureMemory(reportedTotal);
    const uint64_t freePercent = total ? std::min<uint64_t>(reading.available * 100 / total, 100) : 0;
    reading.loadPercent = uint32_t(100 - freePercent);
    return reading;
}

MemoryReading SystemMemoryReading() noexcept
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return {0, 100};
    return {status.ullAvailPhys, status.dwMemoryLoad};
}

CacheQuotas QuotasForFreeMemory(uint64_t freeBytes, DWORD memoryGuideNumber, DWORD downscaleSetting) noexcept
{
    const uint64_t megabytes = freeBytes >> 20;
    const uint64_t steps = (downscaleSetting & 0xFFFF) ? (downscaleSetting & 0xFFFF) : 1;
    const float third = float(std::min<uint64_t>(megabytes / steps, memoryGuideNumber)) * 0.33333334f;
    return {uint64_t(2.0f * third + 0.5f), uint64_t(third + 0.5f)};
}

CacheQuotas CCacheSizer::Quotas() const
{
    CriticalSectionScope scope(m_lock);
    return m_quotas;
}

void CCacheSizer::SetQuotas(CacheQuotas quotas)
{
    CriticalSectionScope scope(m_lock);
    m_quotas = quotas;
}

uint32_t CCacheSizer::MeanDecodedSize() const
{
    CriticalSectionScope scope(m_lock);
    return MeanDecodedSizeLocked();
}

uint32_t CCacheSizer::MeanDecodedSizeLocked() const noexcept
{
    const uint32_t count = std::min<uint32_t>(m_sizesRecorded, 4);
    if (count == 0) return 0;
    uint64_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) sum += m_sizes[i];
    return uint32_t(sum / count);
}

CacheAdjustment CCacheSizer::Adjust(HRESULT hr, uint32_t decodedSize, MemoryReading memory, size_t cachedEntries,
                                    DWORD memoryGuideNumber)
{
    CriticalSectionScope scope(m_lock);
    if (decodedSize != 0) {
        m_sizes[m_sizesRecorded % 4] = uint32_t((uint64_t(decodedSize) + 4095) / 4096 * 4096);
        ++m_sizesRecorded;
    }
    const uint32_t threshold = LoadThreshold(memoryGuideNumber);
    const bool outOfMemory = IsOutOfMemory(hr);
    if (outOfMemory || memory.loadPercent >= threshold + 5) return Shrink(outOfMemory);
    if (FAILED(hr)) return CacheAdjustment::Unchanged;

    // Growth is decided first, so that its cycle count goes on while shrunk steps are given back.
    bool growAhead = false, growBehind = false;
    const uint64_t guide = memoryGuideNumber;
    if (m_shrunkAhead == 0 && m_shrunkBehind == 0 && m_quotas.ahead + m_quotas.behind < guide &&
        memory.loadPercent + 5 <= threshold) {
        ++m_growthCycles;
        const uint64_t mean = MeanDecodedSizeLocked();
        uint64_t used = cachedEntries * mean;
        uint64_t available = memory.available;
        const uint64_t step = mean + mean / 20;
        // A step grows the window only while it fits twice into the free memory and beside what is
        // already cached.
        auto fits = [&] { return step != 0 && 2 * step < available && step + used < available; };
        growAhead = fits();
        if (growAhead) available -= step, used += step;
        growBehind = m_growthCycles % 2 == 0 && fits() && m_quotas.ahead + 1 + m_quotas.behind < guide;
    } else {
        m_growthCycles = 0;
    }

    if (m_shrunkAhead > 0 && m_shrunkBehind > 0) m_giveBackToAhead = !m_giveBackToAhead;
    else if (m_shrunkAhead > 0 || m_shrunkBehind > 0) m_giveBackToAhead = false;
    if (m_shrunkAhead > 0 && (m_giveBackToAhead || m_shrunkBehind == 0)) {
        ++m_quotas.ahead, --m_shrunkAhead;
        return CacheAdjustment::WindowChanged;
    }
    if (m_shrunkBehind > 0) {
        ++m_quotas.behind, --m_shrunkBehind;
        return CacheAdjustment::WindowChanged;
    }
    if (growAhead) ++m_quotas.ahead;
    if (growBehind) ++m_quotas.behind;
    return growAhead || growBehind ? CacheAdjustment::WindowChanged : CacheAdjustment::Unchanged;
}

CacheAdjustment CCacheSizer::Shrink(bool outOfMemory)
{
    m_growthCycles = 0;
    bool changed = false;
    if (m_quotas.ahead != 0 && (m_quotas.ahead > 1 || outOfMemory)) {
        --m_quotas.ahead, ++m_shrunkAhead;
        changed = true;
    }
    if (m_quotas.behind != 0 && (m_quotas.behind > 1 || outOfMemory)) {
        --m_quotas.behind, ++m_shrunkBehind;
        changed = true;
    }
    if (changed) return CacheAdjustment::WindowChanged;
    return outOfMemory ? CacheAdjustment::CannotShrink : CacheAdjustment::Unchanged;
}
