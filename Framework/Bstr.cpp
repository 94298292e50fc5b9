#include "Framework/Bstr.h"
#include "Framework/HResultError.h"

namespace {
BSTR Allocate(const wchar_t* text, size_t length)
{
    if (length > 0x7FFFFFFF) throw HResultError(E_OUTOFMEMORY);
    BSTR s = SysAllocStringLen(text, static_cast<UINT>(length));
    if (!s) throw HResultError(E_OUTOFMEMORY);
    return s;
}
}

Bstr::Bstr(std::wstring_view text) : m_str(Allocate(text.data(), text.size())) {}

Bstr::Bstr(const Bstr& other)
{
    if (other.m_str) m_str = Allocate(other.m_str, other.Length());
}

void Bstr::Free() noexcept
{
    SysFreeString(m_str);
    m_str = nullptr;
}

BSTR Bstr::Copy() const
{
    return m_str ? Allocate(m_str, Length()) : nullptr;
}
