#pragma once
// Text equality as the imaging code compares names: the user's locale, exact otherwise.
#include <string_view>

// Throws E_OUTOFMEMORY when a working copy cannot be made.
bool SameText(std::wstring_view a, std::wstring_view b);
