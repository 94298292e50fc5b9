#include "Viewer/engine/SyncQueue.h"

bool CSyncQueue::PathLess::operator()(const FolderRecord& a, const FolderRecord& b) const noexcept
{
    return a.path.View() < b.path.View();
}

bool CSyncQueue::TimeLess::operator()(const FILETIME& a, const FILETIME& b) const noexcept
{
    return CompareFileTime(&a, &b) < 0;
}

bool CSyncQueue::Add(FolderRecord record)
{
    {
        CriticalSectionScope locked(m_lock);
        if (m_paths.size() >= Capacity) return false;
        const FILETIME created = record.data.ftCreationTime;
        const auto [position, inserted] = m_paths.insert(std::move(record));
        if (!inserted) return false;
        try {
            m_byTime.emplace(created, position);
        } catch (...) {
            m_paths.erase(position);
            throw;
        }
    }
    WakeConditionVariable(&m_recordAdded);
    return true;
}

bool CSyncQueue::WaitAndTake(FolderRecord& record, DWORD timeoutMilliseconds)
{
    const ULONGLONG start = GetTickCount64();
    CriticalSectionScope locked(m_lock);
    while (m_byTime.empty()) {
        DWORD remaining = INFINITE;
        if (timeoutMilliseconds != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            if (spent >= timeoutMilliseconds) return false;
            remaining = DWORD(timeoutMilliseconds - spent);
        }
        // Wakes with the section entered again, on a record, a time-out or for no reason at all.
        SleepConditionVariableCS(&m_recordAdded, m_lock.Native(), remaining);
    }
    const auto oldest = m_byTime.begin();
    auto node = m_paths.extract(oldest->second);
    m_byTime.erase(oldest);
    record = std::move(node.value());
    return true;
}

void CSyncQueue::Clear()
{
    CriticalSectionScope locked(m_lock);
    m_byTime.clear();
    m_paths.clear();
}

std::size_t CSyncQueue::Count()
{
    CriticalSectionScope locked(m_lock);
    return m_paths.size();
}
