#pragma once
// The order of file names everywhere in the engine: the shell's natural order ("img2" before
// "img10"), made total. Where the shell's comparison calls two different names equal (some
// platforms treat "img2" and "img02" alike), the names are told apart by their characters without
// case, and only names that differ in nothing but case are equal, as the file system sees them.
#include <string>
#include <string_view>

int CompareNaturally(const wchar_t* a, const wchar_t* b) noexcept;
// Equal without case, as file names are.
bool SameFileName(std::wstring_view a, std::wstring_view b) noexcept;

struct NaturalLess {
    bool operator()(const wchar_t* a, const wchar_t* b) const noexcept { return CompareNaturally(a, b) < 0; }
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept
    {
        return CompareNaturally(a.c_str(), b.c_str()) < 0;
    }
};

// Order without case, for keys that are compared without case.
struct NoCaseLess {
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
};
