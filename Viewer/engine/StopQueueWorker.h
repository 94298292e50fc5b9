#pragma once
// Stops the one worker of a write queue (the metadata writer, the copy queue) only after it has
// carried out every record queued so far: each record is a change to a file that the user asked
// for, so none is dropped on the way out and there is no time limit. A worker that has already
// ended (its body failed) is not waited for, since nobody would ever empty its queue. While it
// waits, messages sent to the stopping thread are served: a worker that reports a failure sends to
// the frame before its box, and the frame's thread is the one that stops it.
#include "Framework/WorkerThread.h"
#include "Viewer/engine/RequestQueue.h"

template <class Record>
void StopQueueWorker(WorkerThread& worker, CSyncRequestQueue<Record>& queue) noexcept
{
    constexpr DWORD kPollMilliseconds = 100;
    if (worker.Running()) {
        SetThreadPriority(worker.Handle(), THREAD_PRIORITY_HIGHEST);
        while (queue.LockedCount() != 0 && worker.Join(kPollMilliseconds) == WAIT_TIMEOUT) {
        }
    }
    worker.StopAndJoin();
}
