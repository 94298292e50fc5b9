#pragma once
// The keep-copy queue: the user-interface thread queues one job per file of a kept picture, and one
// worker thread of the queue's own creates the target folders and copies or moves the files in the
// background, so that browsing never waits for a copy. A failed job clears the picture's copied
// mark and is reported in a box of its own; the next job goes on. The queue lives as long as the
// engine, and no queued job is dropped when it stops.
#include "Framework/WorkerThread.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/RequestQueue.h"
#include <windows.h>
#include <string>

// One file to copy, or to move, into the keep-copy folder. The job holds a reference to the entry
// the file belongs to: the entry of a moved picture, already out of the list, lives until its last
// job is done.
struct CopyJob {
    std::wstring source;
    std::wstring target;
    bool move = false;
    EntryRef entry;
};

class CCopyQueue {
public:
    // owner: the frame's window-handle member; the worker's error boxes belong to that window. Starts
    // the worker. Throws the system's error when the queue cannot be built.
    explicit CCopyQueue(HWND* owner);
    CCopyQueue(const CCopyQueue&) = delete;
    CCopyQueue& operator=(const CCopyQueue&) = delete;
    ~CCopyQueue();

    // Counts the job as pending for the entry, marks the entry copied and queues the job.
    // E_INVALIDARG without an entry, E_UNEXPECTED when the worker does not run, E_FAIL when the job
    // could not be queued (count and mark are then taken back).
    HRESULT Enqueue(CImageEntry* entry, const std::wstring& source, const std::wstring& target, bool move);
    // Carries out every job queued so far, then ends the worker; a second call does nothing.
    void Stop() noexcept;

private:
    HRESULT Run(WorkerThread& self);
    void CarryOut(const CopyJob& job) const;
    void ReportFailure(DWORD error) const;

    HWND* m_owner;
    CSyncRequestQueue<CopyJob> m_jobs;
    // Last: it ends before the members it reads are destroyed.
    WorkerThread m_worker;
};
