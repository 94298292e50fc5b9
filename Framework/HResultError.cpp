#include "Framework/HResultError.h"
#include <new>
#include <cstdio>
#include <iterator>

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

HRESULT TraceCaughtException(const wchar_t* boundary) noexcept
{
    const HRESULT hr = HResultFromCaughtException();
    const char* what = "not a standard exception";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    wchar_t text[256];
    swprintf(text, std::size(text), L"Lumenfold: %ls ended by an exception: 0x%08lX (%hs)\n", boundary,
             static_cast<unsigned long>(hr), what);
    OutputDebugStringW(text);
    return hr;
}
