#include "Framework/HResultError.h"
#include <new>

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
