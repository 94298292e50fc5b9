#pragma once
// How many pictures ahead of and behind the current one the engine keeps decoded: quotas set from
// the free memory and the user's memory setting, shrunk when memory runs low or a decode runs out of
// it, given back and grown again one step at a time while memory is plentiful.
#include "Framework/CriticalSection.h"
#include "Viewer/engine/PrefetchWindow.h"
#include <windows.h>
#include <cstdint>

// Free memory in bytes and how much of it is in use, in percent.
struct MemoryReading {
    uint64_t available = 0;
    uint32_t loadPercent = 0;
};

// The device reports its free texture memory in 32 bits, and cards of 4 GB or more report more than
// 4,000,000,000: such a reading counts as 4,000,000,000, never as nothing.
uint64_t CountedTextureMemory(UINT reported) noexcept;
// A reading of the device's free texture memory against the total measured when it was made; the
// load is 100 when the total is unknown (0).
MemoryReading TextureMemoryReading(UINT reportedAvailable, UINT reportedTotal) noexcept;
// The system's free physical memory and memory load, for the road without a device.
MemoryReading SystemMemoryReading() noexcept;

// The starting quotas: a third of the free megabytes (per downscale step of the setting's low 16
// bits), at most a third of the memory setting, behind; twice that ahead.
CacheQuotas QuotasForFreeMemory(uint64_t freeBytes, DWORD memoryGuideNumber, DWORD downscaleSetting) noexcept;

enum class CacheAdjustment {
    Unchanged,      // the window stays as it is
    WindowChanged,  // a quota changed: the caller recomputes the window without queueing
    CannotShrink,   // out of memory with both quotas at their floor: the user is told
};

// Shared by the decode workers, which report each decode, and the user-interface thread, which
// sets the quotas: every operation takes the sizer's own lock.
class CCacheSizer {
public:
    CacheQuotas Quotas() const;
    void SetQuotas(CacheQuotas quotas);

    // After a decode: hr its result, decodedSize its size in bytes (0: none), memory the reading
    // now, cachedEntries how many entries are queued or decoded, memoryGuideNumber the setting.
    CacheAdjustment Adjust(HRESULT hr, uint32_t decodedSize, MemoryReading memory, size_t cachedEntries,
                           DWORD memoryGuideNumber);

    // The mean of the last four decoded sizes (each rounded up to 4096 bytes); 0 before any.
    uint32_t MeanDecodedSize() const;

private:
    CacheAdjustment Shrink(bool outOfMemory);
    uint32_t MeanDecodedSizeLocked() const noexcept;

    mutable CriticalSection m_lock;
    CacheQuotas m_quotas;
    int m_shrunkAhead = 0;
    int m_shrunkBehind = 0;
    bool m_giveBackToAhead = false;
    int m_growthCycles = 0;
    uint32_t m_sizes[4] = {0, 0, 0, 0};
    uint32_t m_sizesRecorded = 0;
};
