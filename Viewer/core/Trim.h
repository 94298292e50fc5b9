#pragma once
// Whitespace trimming of wide strings in place. Whitespace is whatever iswspace calls a space.
// A null string is left alone; every function returns S_OK.
#include <windows.h>

HRESULT TrimLeft(wchar_t* text) noexcept;
HRESULT TrimRight(wchar_t* text) noexcept;
// Both ends; with removeInner also every run of whitespace inside, removed entirely ("a  b" -> "ab").
HRESULT Trim(wchar_t* text, bool removeInner) noexcept;
