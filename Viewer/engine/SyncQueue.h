#pragma once
// The records a folder scan and watch produce, waiting for the file-list thread. Producers and the
// consumer synchronise through one mutex that guards both containers and one semaphore that counts
// the queued records, so that a consumer waits on both at once and wakes only with a record there.
// A path is queued at most once (the first record of it stays); records come out oldest-created
// first, and records with equal creation times in the order they arrived.
#include <windows.h>
#include <cstddef>
#include <map>
#include <set>
#include "Framework/UniqueHandle.h"
#include "Viewer/engine/FolderRecord.h"

class CSyncQueue {
public:
    // Throws the system's error when the mutex or the semaphore cannot be created.
    CSyncQueue();
    CSyncQueue(const CSyncQueue&) = delete;
    CSyncQueue& operator=(const CSyncQueue&) = delete;

    // Waits for the mutex without limit and adds the record. False when it was refused: the queue is
    // full or already holds a record of that path.
    bool AddLocked(FolderRecord record);

    // Waits up to timeout for a record and moves the oldest-created one out. False when none came.
    bool WaitAndTake(FolderRecord& record, DWORD timeoutMilliseconds);

    // Waits up to timeout for the mutex (false when it does not get it), then drops every record.
    bool Clear(DWORD timeoutMilliseconds);

    std::size_t Count();

    static constexpr std::size_t Capacity = 0x7fffffff;

private:
    struct PathLess {
        bool operator()(const FolderRecord& a, const FolderRecord& b) const noexcept;
    };
    struct TimeLess {
        bool operator()(const FILETIME& a, const FILETIME& b) const noexcept;
    };
    using PathSet = std::set<FolderRecord, PathLess>;

    class MutexScope;
    bool Add(FolderRecord record);
    bool Take(FolderRecord& record);

    PathSet m_paths;
    // A multimap keeps equal keys in insertion order, which is the arrival order the consumer sees.
    std::multimap<FILETIME, PathSet::iterator, TimeLess> m_byTime;
    UniqueHandle m_semaphore;
    UniqueHandle m_mutex;
};
