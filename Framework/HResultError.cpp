#include "Framework/HResultError.h"
#include <new>

void ThrowLastErrorIf(bool failed)
{
    if (!failed) return;
    DWORD error = GetLastError();
    throw HResultError(error ? HRESULT_FROM_WIN32(error) : E_FAIL);
}

HRESULT HResultFromCaughtException() noexcept
{
    try {
        throw;
    } catch (const HResultError& e) {
        return e.Code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
