#pragma once
// The records a folder scan and watch produce, waiting for the file-list thread. A path is queued
// at most once (the first record of it stays); records come out oldest-created first, and records
// with equal creation times in the order they arrived.
//
// Producers and the consumer meet under one critical section, and a consumer without a record
// sleeps on a condition variable: taking a queued record costs no kernel call, which with tens of
// thousands of files is most of the time a folder takes to open.
#include <windows.h>
#include <cstddef>
#include <map>
#include <set>
#include "Framework/CriticalSection.h"
#include "Viewer/engine/FolderRecord.h"

class CSyncQueue {
public:
    CSyncQueue() = default;
    CSyncQueue(const CSyncQueue&) = delete;
    CSyncQueue& operator=(const CSyncQueue&) = delete;

    // False when the record was refused: the queue is full or already holds a record of that path.
    bool Add(FolderRecord record);

    // Waits up to timeout for a record and moves the oldest-created one out. False when none came.
    bool WaitAndTake(FolderRecord& record, DWORD timeoutMilliseconds);

    // Drops every record.
    void Clear();

    std::size_t Count();

    static constexpr std::size_t Capacity = 0x7fffffff;

private:
    // Paths in code-unit order: names that differ in any way are different files, even those a
    // linguistic comparison calls equal (a soft hyphen, another normalisation form).
    struct PathLess {
        bool operator()(const FolderRecord& a, const FolderRecord& b) const noexcept;
    };
    struct TimeLess {
        bool operator()(const FILETIME& a, const FILETIME& b) const noexcept;
    };
    using PathSet = std::set<FolderRecord, PathLess>;

    CriticalSection m_lock;
    CONDITION_VARIABLE m_recordAdded = CONDITION_VARIABLE_INIT;
    PathSet m_paths;
    // A multimap keeps equal keys in insertion order, which is the arrival order the consumer sees.
    std::multimap<FILETIME, PathSet::iterator, TimeLess> m_byTime;
};
