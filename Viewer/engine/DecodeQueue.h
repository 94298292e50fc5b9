#pragma once
// The engine's queue of decode requests: each record is a reference to the entry to decode, so a
// queued entry outlives a flush of the list that still has it queued.
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/RequestQueue.h"

class CDecodeQueue : public CSyncRequestQueue<EntryRef> {
public:
    // True with the front entry and that entry's lock held. The lock is tried while the queue is
    // still held, so that no eviction can release the entry between the two; a record whose entry
    // another thread holds (decodes or evicts) is dropped and the call is false.
    bool Pop(EntryRef& entry, volatile LONG* counter, DWORD timeoutMilliseconds)
    {
        const bool locked = CSyncRequestQueue::Pop(entry, counter, timeoutMilliseconds, [](EntryRef& taken) {
            return SUCCEEDED(taken->EntryLockTryEnter());
        });
        if (!locked) entry.Reset();
        return locked;
    }

    // Removes every queued request for the entry; true when there was one.
    bool Remove(const CImageEntry* entry)
    {
        return RemoveIf([entry](const EntryRef& queued) { return queued.Get() == entry; });
    }
};
