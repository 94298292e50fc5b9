#pragma once
// The thread's last Win32 error as the HRESULT of a failed call. A failure that left no error code
// behind still has to read as a failure, so an error of 0 becomes E_FAIL; an error that already is
// an HRESULT passes through HRESULT_FROM_WIN32 unchanged.
#include <windows.h>

inline HRESULT HResultFromLastError() noexcept
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}
