#include "Framework/WorkerThread.h"
#include "Framework/HResultError.h"
#include <process.h>

WorkerThread::~WorkerThread()
{
    StopAndJoin();
}

HRESULT WorkerThread::Start(const wchar_t* name, Body body, WorkerApartment apartment, int priority)
{
    if (Running()) return E_UNEXPECTED;
    Join();
    if (!m_stop) {
        m_stop = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!m_stop) return HResultFromLastError();
    }
    ResetEvent(m_stop.Get());
    m_name = name ? name : L"worker";
    m_body = std::move(body);
    m_apartment = apartment;
    m_priority = priority;
    m_result = E_PENDING;
    m_thread = UniqueHandle(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadProc, this, 0, nullptr)));
    if (!m_thread) {
        m_body = nullptr;
        return HResultFromLastError();
    }
    return S_OK;
}

void WorkerThread::RequestStop() noexcept
{
    if (m_stop) SetEvent(m_stop.Get());
}

bool WorkerThread::StopRequested() const noexcept
{
    return m_stop && WaitForSingleObject(m_stop.Get(), 0) == WAIT_OBJECT_0;
}

bool WorkerThread::Running() const noexcept
{
    return m_thread && WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

DWORD WorkerThread::Join(DWORD timeoutMilliseconds) noexcept
{
    if (!m_thread) return WAIT_OBJECT_0;
    const HANDLE handle = m_thread.Get();
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (timeoutMilliseconds != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            if (spent >= timeoutMilliseconds) return WAIT_TIMEOUT;
            remaining = DWORD(timeoutMilliseconds - spent);
        }
        // Messages sent to this thread are served: the body may be sending to one of its windows.
        const DWORD waited = MsgWaitForMultipleObjects(1, &handle, FALSE, remaining, QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0) break;
        if (waited == WAIT_TIMEOUT) return WAIT_TIMEOUT;
        if (waited == WAIT_FAILED) return WAIT_FAILED;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_thread.Close();
    m_body = nullptr;
    return WAIT_OBJECT_0;
}

DWORD WorkerThread::StopAndJoin(DWORD timeoutMilliseconds) noexcept
{
    RequestStop();
    return Join(timeoutMilliseconds);
}

unsigned __stdcall WorkerThread::ThreadProc(void* self)
{
    auto* worker = static_cast<WorkerThread*>(self);
    const HRESULT hr = worker->RunBody();
    worker->m_result = hr;
    return unsigned(hr);
}

HRESULT WorkerThread::RunBody() noexcept
{
    if (m_priority != THREAD_PRIORITY_NORMAL) SetThreadPriority(GetCurrentThread(), m_priority);
    HRESULT apartment = S_FALSE;
    if (m_apartment != WorkerApartment::None) {
        apartment = CoInitializeEx(nullptr, m_apartment == WorkerApartment::MultiThreaded ? COINIT_MULTITHREADED
                                                                                         : COINIT_APARTMENTTHREADED);
        if (FAILED(apartment)) return apartment;
    }
    HRESULT hr;
    try {
        hr = m_body(*this);
    } catch (...) {
        hr = TraceCaughtException(m_name);
    }
    if (m_apartment != WorkerApartment::None) CoUninitialize();
    return hr;
}
