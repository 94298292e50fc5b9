#pragma once
// The thread's last Win32 error as the HRESULT of a failed call. A failure that left no error code
// behind still has to read as a failure, so an error of 0 becomes E_FAIL.
#include <windows.h>

inline HRESULT HResultFromLastError() noexcept
{
    DWORD error = GetLastError();
    if (error == 0) return E_FAIL;
    return static_cast<LONG>(error) < 0 ? static_cast<HRESULT>(error) : HRESULT_FROM_WIN32(error);
}
