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

// Where two paths stop sharing their folders: just after the last separator of their common start.
// The shell's comparison is slow over a long common start, and what lies before a separator in both
// cannot change how the rest compares.
size_t SharedFolderLength(const wchar_t* a, const wchar_t* b) noexcept
{
    size_t shared = 0;
    for (size_t i = 0; a[i] && a[i] == b[i]; ++i)
        if (a[i] == L'\\' || a[i] == L'/') shared = i + 1;
    return shared;
}

int CompareNaturally(const wchar_t* a, const wchar_t* b) noexcept
{
    const size_t shared = SharedFolderLength(a, b);
    a += shared;
    b += shared;
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
