#pragma once
// The calling thread in a COM apartment for the life of the object, as the program's main thread is.
#include <objbase.h>

class ScopedComApartment {
public:
    explicit ScopedComApartment(DWORD model = COINIT_APARTMENTTHREADED) : m_result(CoInitializeEx(nullptr, model)) {}
    ~ScopedComApartment()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    HRESULT m_result;
};
