#include "Viewer/engine/NaturalOrder.h"
#include <windows.h>
#include <shlwapi.h>

namespace {
int CompareOrdinal(std::wstring_view a, std::wstring_view b, bool ignoreCase) noexcept
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                ignoreCase) - CSTR_EQUAL;
}
}

int CompareNaturally(const wchar_t* a, const wchar_t* b) noexcept
{
    const int natural = StrCmpLogicalW(a, b);
    return natural != 0 ? natural : CompareOrdinal(a, b, true);
}

bool SameFileName(std::wstring_view a, std::wstring_view b) noexcept
{
    return CompareOrdinal(a, b, true) == 0;
}

bool NoCaseLess::operator()(std::wstring_view a, std::wstring_view b) const noexcept
{
    return CompareOrdinal(a, b, true) < 0;
}
