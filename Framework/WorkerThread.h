#pragma once
// The one shape of every background thread of the program: started with an HRESULT, its body run
// inside an optional COM apartment behind a barrier that turns any escaping exception into the
// thread's HRESULT, a stop request the body polls or waits on, and a join that keeps serving
// messages sent to the joining thread, so that a body which sends to a window of that thread
// completes instead of deadlocking. The destructor requests the stop and joins.
#include "Framework/UniqueHandle.h"
#include <windows.h>
#include <functional>

enum class WorkerApartment { None, SingleThreaded, MultiThreaded };

class WorkerThread {
public:
    // The body's HRESULT becomes the thread's result. It may throw: the barrier catches everything.
    using Body = std::function<HRESULT(WorkerThread& self)>;

    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();

    // S_OK once the thread runs; E_UNEXPECTED while an earlier thread of this object still runs;
    // else the system's error. name is a short word for the trace a failing body leaves.
    HRESULT Start(const wchar_t* name, Body body, WorkerApartment apartment = WorkerApartment::None,
                  int priority = THREAD_PRIORITY_NORMAL);

    // Asks the body to end; it sees the request through StopRequested or StopEvent.
    void RequestStop() noexcept;
    bool StopRequested() const noexcept;
    // Manual-reset event, signalled by RequestStop: for bodies that wait on other handles too.
    HANDLE StopEvent() const noexcept { return m_stop.Get(); }

    // Waits until the thread has ended, serving sent messages meanwhile; WAIT_TIMEOUT when it has not
    // ended in time, else WAIT_OBJECT_0 (also when no thread was started).
    DWORD Join(DWORD timeoutMilliseconds = INFINITE) noexcept;
    // RequestStop, then Join.
    DWORD StopAndJoin(DWORD timeoutMilliseconds = INFINITE) noexcept;

    bool Running() const noexcept;
    // The body's HRESULT once the thread has ended; E_PENDING while it runs or before it started.
    HRESULT Result() const noexcept { return m_result; }
    HANDLE Handle() const noexcept { return m_thread.Get(); }

private:
    static unsigned __stdcall ThreadProc(void* self);
    HRESULT RunBody() noexcept;

    const wchar_t* m_name = L"worker";
    Body m_body;
    WorkerApartment m_apartment = WorkerApartment::None;
    int m_priority = THREAD_PRIORITY_NORMAL;
    UniqueHandle m_stop;
    UniqueHandle m_thread;
    volatile HRESULT m_result = E_PENDING;
};
