#pragma once
// Failures inside the program travel as HResultError and become an HRESULT again at the boundary
// of the operation (a COM method, a window handler, a thread procedure).
#include <windows.h>
#include <exception>

class HResultError : public std::exception {
public:
    explicit HResultError(HRESULT hr) noexcept : m_hr(hr) {}
    HRESULT Code() const noexcept { return m_hr; }
    const char* what() const noexcept override { return "HRESULT failure"; }

private:
    HRESULT m_hr;
};

// Throws a failed HRESULT; passes success codes through.
inline HRESULT ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr)) throw HResultError(hr);
    return hr;
}

// The thread's last Win32 error as the HRESULT of a failed call. A failure that left no error code
// behind still has to read as a failure, so an error of 0 becomes E_FAIL; an error that already is
// an HRESULT passes through HRESULT_FROM_WIN32 unchanged.
inline HRESULT HResultFromLastError() noexcept
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// Throws the thread's last Win32 error (E_FAIL when there is none) when the call failed.
inline void ThrowLastErrorIf(bool failed)
{
    if (failed) throw HResultError(HResultFromLastError());
}

// The HRESULT of the exception being handled; call only inside a catch block.
HRESULT HResultFromCaughtException() noexcept;

// The same, and leaves a trace for a developer (OutputDebugString) naming the boundary that caught
// it: for boundaries that drop the failure instead of handing it on (a window procedure, a thread).
HRESULT TraceCaughtException(const wchar_t* boundary) noexcept;

// Runs an operation and turns whatever it throws into an HRESULT.
template <class Operation>
HRESULT CatchAsHResult(Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (...) {
        return HResultFromCaughtException();
    }
}
