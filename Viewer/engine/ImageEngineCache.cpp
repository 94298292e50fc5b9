// The engine's prefetch window: the pictures around the current one are queued for decoding, those
// that left the window lose their decoded image, and the window's size follows the free memory.
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/engine/ImageEngine.h"
#include <memory>

namespace {
constexpr DWORD EvictionPollPause = 10;

// A release handed to the thread pool: the reference keeps the entry alive until the work ran.
struct EvictionWork {
    CImageEngine* engine;
    EntryRef entry;
};

bool NeedsDecode(const CImageEntry& entry) noexcept
{
    return !entry.IsLoading() && !entry.HasImage();
}
}

MemoryReading CImageEngine::ReadMemory() const
{
    if (m_memoryProbe) return m_memoryProbe();
    if (m_display.device) return TextureMemoryReading(m_display.device->GetAvailableTextureMem(), m_totalTextureMemory);
    return SystemMemoryReading();
}

void CImageEngine::ComputeCacheSize(bool noQueue)
{
    m_sizer.SetQuotas(QuotasForFreeMemory(ReadMemory().available, AppSettings::MemoryUsageGuideNumber,
                                          AppSettings::DownscaleLargeImages));
    UpdatePrefetchWindow(noQueue);
}

bool CImageEngine::AdjustCacheWindow(HRESULT hr, uint32_t decodedSize, bool skip)
{
    return skip || AdjustCache(hr, decodedSize) != CacheAdjustment::CannotShrink;
}

CacheAdjustment CImageEngine::AdjustCache(HRESULT hr, uint32_t decodedSize)
{
    size_t cached;
    {
        CriticalSectionScope queue(m_queueLock);
        cached = m_cacheSet.size();
    }
    const CacheAdjustment adjustment =
        m_sizer.Adjust(hr, decodedSize, ReadMemory(), cached, AppSettings::MemoryUsageGuideNumber);
    if (adjustment == CacheAdjustment::WindowChanged) UpdatePrefetchWindow(true);
    return adjustment;
}

void CImageEngine::QueueDecodeRequest(CImageEntry* entry)
{
    entry->SetLoading(true);
    entry->SetDecodeResult(S_OK);
    entry->SetCancel(false);
    if (!m_decodeQueue.Push(EntryRef(entry))) {
        entry->SetLoading(false);
        return;
    }
    CriticalSectionScope queue(m_queueLock);
    m_cacheSet.try_emplace(entry, EntryRef(entry));
}

void CImageEngine::RemoveFromCacheSet(CImageEntry* entry)
{
    CriticalSectionScope queue(m_queueLock);
    m_cacheSet.erase(entry);
}

std::vector<EntryRef> CImageEngine::GetCachedEntries()
{
    CriticalSectionScope queue(m_queueLock);
    std::vector<EntryRef> entries;
    for (const auto& [entry, reference] : m_cacheSet) entries.push_back(reference);
    return entries;
}

bool CImageEngine::EvictEntry(CImageEntry* entry)
{
    if (SUCCEEDED(entry->EntryLockTryEnter())) return ReleaseEvicted(*entry);
    // A worker decodes it: the UI thread never waits for a decode, a pool thread does.
    auto work = std::make_unique<EvictionWork>(EvictionWork{this, EntryRef(entry)});
    ++m_pendingEvictions;
    if (QueueUserWorkItem(EvictEntryWorkItem, work.get(), WT_EXECUTEDEFAULT)) {
        work.release();
        return true;
    }
    --m_pendingEvictions;
    entry->EntryLockEnter();
    return ReleaseEvicted(*entry);
}

DWORD WINAPI CImageEngine::EvictEntryWorkItem(void* parameter)
{
    std::unique_ptr<EvictionWork> work(static_cast<EvictionWork*>(parameter));
    work->entry->EntryLockEnter();
    work->engine->ReleaseEvicted(*work->entry);
    CImageEngine* engine = work->engine;
    work.reset();
    --engine->m_pendingEvictions;
    return 0;
}

// Runs with the entry's lock held, and leaves it. With the lock held no worker decodes the entry and,
// once its request is out of the queue, none will: whatever left it marked as loading (a request
// dropped because this eviction held the lock) is cleared, so that the window can queue it again.
bool CImageEngine::ReleaseEvicted(CImageEntry& entry) noexcept
{
    bool released = false;
    try {
        m_decodeQueue.Remove(&entry);
    } catch (...) {
        TraceCaughtException(L"eviction");
    }
    entry.SetLoading(false);
    released = entry.ReleaseDecodedImage();
    entry.EntryLockLeave();
    return released;
}

void CImageEngine::WaitForEvictions() const noexcept
{
    while (m_pendingEvictions != 0) Sleep(EvictionPollPause);
}

void CImageEngine::UpdatePrefetchWindow(bool noQueue)
{
    CriticalSectionScope list(m_listLock);
    const size_t count = m_entries.size();
    if (!HasCurrent() || count == 0) return;
    const size_t position = GetCurrentPosition();
    for (size_t i = 0; i < m_backOff.size(); ++i) m_backOff[i] = static_cast<DWORD>(8 * (i + 1));

    std::set<CImageEntry*> wanted;
    for (size_t target : PrefetchOrder(position, count, m_sizer.Quotas(), WrapAround())) {
        const size_t forward = (target + count - position) % count;
        const size_t backward = (position + count - target) % count;
        CImageEntry* entry = StepWrapping(m_current, forward, backward)->Get();
        const bool failed = target == position && FAILED(entry->GetDecodeResult());
        if (!noQueue && !failed && NeedsDecode(*entry)) QueueDecodeRequest(entry);
        wanted.insert(entry);
    }
    CriticalSectionScope queue(m_queueLock);
    for (auto it = m_cacheSet.begin(); it != m_cacheSet.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        EvictEntry(it->first);
        it = m_cacheSet.erase(it);
    }
}

CImageEngine::EntryMap::iterator CImageEngine::StepWrapping(EntryMap::iterator from, size_t forward, size_t backward)
{
    if (forward <= backward) {
        for (; forward != 0; --forward)
            if (++from == m_entries.end()) from = m_entries.begin();
    } else {
        for (; backward != 0; --backward) {
            if (from == m_entries.begin()) from = m_entries.end();
            --from;
        }
    }
    return from;
}
