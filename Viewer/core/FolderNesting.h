#pragma once
// Whether one folder lies inside another, as the keep-copy rules ask: the keep-copy folder must not
// be inside the image folder's tree (its copies would be listed again) and the reverse.
#include <string>

// True when inner lies below outer (not when they are the same folder). Both are canonicalised
// first; the test is made at path-component boundaries and without regard to case, so "C:\Pics2"
// is not inside "C:\Pics" while "C:\Pics\Keep" is inside both "C:\Pics" and "C:\".
bool IsStrictlyInside(const std::wstring& inner, const std::wstring& outer);
