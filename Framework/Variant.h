#pragma once
// Owning holders of a VARIANT and a PROPVARIANT: cleared on destruction.
#include <windows.h>
#include <oleauto.h>
#include <propidl.h>
#include "Framework/Bstr.h"

// A VARIANT that lends the holder's string for one call; the holder keeps owning it.
inline VARIANT LentTextVariant(const Bstr& text) noexcept
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return v;
}

class Variant {
public:
    Variant() noexcept { VariantInit(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_v); }

    VARIANT* operator&() noexcept { VariantClear(&m_v); return &m_v; }
    const VARIANT& Get() const noexcept { return m_v; }
    VARTYPE Type() const noexcept { return m_v.vt; }

private:
    VARIANT m_v;
};

class PropVariant {
public:
    PropVariant() noexcept { PropVariantInit(&m_v); }
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;
    ~PropVariant() { PropVariantClear(&m_v); }

    PROPVARIANT* operator&() noexcept { PropVariantClear(&m_v); return &m_v; }
    const PROPVARIANT& Get() const noexcept { return m_v; }
    PROPVARIANT& Get() noexcept { return m_v; }
    VARTYPE Type() const noexcept { return m_v.vt; }

private:
    PROPVARIANT m_v;
};
