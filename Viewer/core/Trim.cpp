#include "Viewer/core/Trim.h"
#include <cwchar>
#include <cwctype>

HRESULT TrimLeft(wchar_t* text) noexcept
{
    if (!text) return S_OK;
    const wchar_t* first = text;
    while (*first && std::iswspace(*first)) ++first;
    if (first != text) std::wmemmove(text, first, std::wcslen(first) + 1);
    return S_OK;
}

HRESULT TrimRight(wchar_t* text) noexcept
{
    if (!text) return S_OK;
    for (size_t length = std::wcslen(text); length > 0 && std::iswspace(text[length - 1]); --length)
        text[length - 1] = L'\0';
    return S_OK;
}

HRESULT Trim(wchar_t* text, bool removeInner) noexcept
{
    TrimRight(text);
    TrimLeft(text);
    if (removeInner && text) {
        wchar_t* out = text;
        for (const wchar_t* in = text; *in; ++in)
            if (!std::iswspace(*in)) *out++ = *in;
        *out = L'\0';
    }
    return S_OK;
}
