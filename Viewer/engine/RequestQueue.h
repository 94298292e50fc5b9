#pragma once
// First-in first-out lists of fixed-size request records that every background worker takes its
// work from: CRequestQueue is the plain list, for the one thread that holds it at a time;
// CSyncRequestQueue guards it with a mutex and counts its records with a semaphore, so that a
// consumer can sleep until work arrives and wait for "the list is mine and holds a record" in one
// wait. The semaphore's count equals the number of queued records except while a consumer holds
// both objects; whatever empties the list takes the counts back.
#include "Framework/HResultError.h"
#include "Framework/UniqueHandle.h"
#include <windows.h>
#include <cstdint>
#include <list>
#include <utility>

template <class Record>
class CRequestQueue {
public:
    static constexpr uint64_t Capacity = 0x7FFFFFFF;

    CRequestQueue() = default;
    CRequestQueue(const CRequestQueue&) = delete;
    CRequestQueue& operator=(const CRequestQueue&) = delete;

    // False when the queue is full.
    bool PushBack(Record record)
    {
        if (m_count >= Capacity) return false;
        m_list.push_back(std::move(record));
        ++m_count;
        return true;
    }

    // False when the list is empty.
    bool PopFront(Record& record)
    {
        if (m_list.empty()) return false;
        record = std::move(m_list.front());
        m_list.pop_front();
        --m_count;
        return true;
    }

    // Empties the list; the counter (the owner's count of queued work) becomes 0 unless the list
    // was already empty, when it is left as it is.
    void Clear(volatile LONG* counter) noexcept
    {
        if (m_list.empty()) return;
        m_list.clear();
        m_count = 0;
        if (counter) *counter = 0;
    }

    uint64_t Count() const noexcept { return m_count; }

protected:
    std::list<Record> m_list;
    uint64_t m_count = 0;
};

template <class Record>
class CSyncRequestQueue : public CRequestQueue<Record> {
public:
    // Throws the system's error when a handle cannot be created.
    CSyncRequestQueue()
        : m_semaphore(CreateSemaphoreW(nullptr, 0, 0x7FFFFFFF, nullptr)), m_mutex(CreateMutexW(nullptr, FALSE, nullptr))
    {
        ThrowLastErrorIf(!m_semaphore || !m_mutex);
    }

    // True when queued; false when the queue is full or its mutex could not be had.
    bool Push(Record record)
    {
        if (!LockMutex(INFINITE)) return false;
        bool queued = false;
        try {
            queued = this->PushBack(std::move(record));
        } catch (...) {
            ReleaseMutex(m_mutex.Get());
            throw;
        }
        if (queued) ReleaseSemaphore(m_semaphore.Get(), 1, nullptr);
        ReleaseMutex(m_mutex.Get());
        return queued;
    }

    // Waits up to the time-out until the queue holds a record and is free, then takes the front
    // record; accept runs on it with the mutex still held, and the call is true only when it says so
    // (a refused record is gone from the queue all the same). The counter, when given, is lowered by
    // one for the record taken.
    template <class Accept>
    bool Pop(Record& record, volatile LONG* counter, DWORD timeoutMilliseconds, Accept&& accept)
    {
        const HANDLE both[] = {m_mutex.Get(), m_semaphore.Get()};
        const DWORD wait = WaitForMultipleObjects(2, both, TRUE, timeoutMilliseconds);
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED_0) return false;
        bool taken = this->PopFront(record);
        if (taken && counter) InterlockedDecrement(counter);
        if (taken) taken = accept(record);
        ReleaseMutex(m_mutex.Get());
        return taken;
    }

    bool Pop(Record& record, volatile LONG* counter, DWORD timeoutMilliseconds)
    {
        return Pop(record, counter, timeoutMilliseconds, [](Record&) { return true; });
    }

    // Removes every queued record for which match holds and takes back one count for each; true
    // when anything was removed.
    template <class Match>
    bool RemoveIf(Match&& match)
    {
        if (!LockMutex(INFINITE)) return false;
        uint64_t removed = 0;
        for (auto it = this->m_list.begin(); it != this->m_list.end();) {
            if (match(*it)) {
                it = this->m_list.erase(it);
                ++removed;
            } else {
                ++it;
            }
        }
        this->m_count -= removed;
        for (uint64_t i = 0; i < removed; ++i) WaitForSingleObject(m_semaphore.Get(), 0);
        ReleaseMutex(m_mutex.Get());
        return removed != 0;
    }

    // True when a queued record satisfies match, read under the mutex; the check runs before the
    // mutex is released, so it sees the queue in one state.
    template <class Match>
    bool AnyOf(Match&& match)
    {
        if (!LockMutex(INFINITE)) return false;
        bool found = false;
        for (const Record& record : this->m_list) {
            if (!match(record)) continue;
            found = true;
            break;
        }
        ReleaseMutex(m_mutex.Get());
        return found;
    }

    // Empties the list and drains the semaphore to 0; false when the mutex was not had in time.
    bool Clear(volatile LONG* counter, DWORD timeoutMilliseconds) noexcept
    {
        if (!LockMutex(timeoutMilliseconds)) return false;
        this->m_list.clear();
        this->m_count = 0;
        while (WaitForSingleObject(m_semaphore.Get(), 0) == WAIT_OBJECT_0) {
        }
        if (counter) InterlockedExchange(counter, 0);
        ReleaseMutex(m_mutex.Get());
        return true;
    }

    // The number of queued records, read under the mutex; 0 when the mutex cannot be had.
    uint64_t LockedCount() noexcept
    {
        if (!LockMutex(INFINITE)) return 0;
        const uint64_t count = this->m_count;
        ReleaseMutex(m_mutex.Get());
        return count;
    }

    // For a consumer that waits on the semaphore with other handles and then takes the mutex itself.
    HANDLE Semaphore() const noexcept { return m_semaphore.Get(); }
    HANDLE Mutex() const noexcept { return m_mutex.Get(); }

private:
    // An abandoned mutex is owned all the same; the list it guards is only changed by whole calls.
    bool LockMutex(DWORD timeoutMilliseconds) noexcept
    {
        const DWORD wait = WaitForSingleObject(m_mutex.Get(), timeoutMilliseconds);
        return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }

    UniqueHandle m_semaphore;
    UniqueHandle m_mutex;
};
