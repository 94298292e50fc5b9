#include "Viewer/engine/SyncQueue.h"
#include <oleauto.h>
#include "Framework/HResultError.h"

// Owns the queue's mutex while it lives; the mutex must already be held when it is made.
class CSyncQueue::MutexScope {
public:
    explicit MutexScope(HANDLE mutex) noexcept : m_mutex(mutex) {}
    MutexScope(const MutexScope&) = delete;
    MutexScope& operator=(const MutexScope&) = delete;
    ~MutexScope() { ReleaseMutex(m_mutex); }

private:
    HANDLE m_mutex;
};

namespace {

// An abandoned mutex is still owned by the waiter; the containers are only changed under it by
// code that cannot stop halfway, so they are whole.
bool Acquired(DWORD waited, DWORD objects) noexcept
{
    return waited < WAIT_OBJECT_0 + objects || (waited >= WAIT_ABANDONED_0 && waited < WAIT_ABANDONED_0 + objects);
}

}  // namespace

bool CSyncQueue::PathLess::operator()(const FolderRecord& a, const FolderRecord& b) const noexcept
{
    return VarBstrCmp(a.path.Get(), b.path.Get(), LOCALE_USER_DEFAULT, 0) == VARCMP_LT;
}

bool CSyncQueue::TimeLess::operator()(const FILETIME& a, const FILETIME& b) const noexcept
{
    return CompareFileTime(&a, &b) < 0;
}

CSyncQueue::CSyncQueue()
    : m_semaphore(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)), m_mutex(CreateMutexW(nullptr, FALSE, nullptr))
{
    ThrowLastErrorIf(!m_semaphore || !m_mutex);
}

bool CSyncQueue::Add(FolderRecord record)
{
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
    return true;
}

bool CSyncQueue::AddLocked(FolderRecord record)
{
    if (!Acquired(WaitForSingleObject(m_mutex.Get(), INFINITE), 1)) return false;
    MutexScope held(m_mutex.Get());
    const bool added = Add(std::move(record));
    if (added) ReleaseSemaphore(m_semaphore.Get(), 1, nullptr);
    return added;
}

bool CSyncQueue::Take(FolderRecord& record)
{
    if (m_byTime.empty()) return false;
    const auto oldest = m_byTime.begin();
    auto node = m_paths.extract(oldest->second);
    m_byTime.erase(oldest);
    record = std::move(node.value());
    return true;
}

bool CSyncQueue::WaitAndTake(FolderRecord& record, DWORD timeoutMilliseconds)
{
    const HANDLE both[] = {m_mutex.Get(), m_semaphore.Get()};
    if (!Acquired(WaitForMultipleObjects(2, both, TRUE, timeoutMilliseconds), 2)) return false;
    MutexScope held(m_mutex.Get());
    return Take(record);
}

bool CSyncQueue::Clear(DWORD timeoutMilliseconds)
{
    if (!Acquired(WaitForSingleObject(m_mutex.Get(), timeoutMilliseconds), 1)) return false;
    MutexScope held(m_mutex.Get());
    m_byTime.clear();
    m_paths.clear();
    while (WaitForSingleObject(m_semaphore.Get(), 0) == WAIT_OBJECT_0) {
    }
    return true;
}

std::size_t CSyncQueue::Count()
{
    if (!Acquired(WaitForSingleObject(m_mutex.Get(), INFINITE), 1)) return 0;
    MutexScope held(m_mutex.Get());
    return m_paths.size();
}
