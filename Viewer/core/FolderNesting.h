#pragma once
// Folder paths as the open and keep-copy rules compare them. Whether one folder lies inside another:
// the keep-copy folder must not be inside the image folder's tree (its copies would be listed
// again) and the reverse.
#include <string>

// True when inner lies below outer (not when they are the same folder). Both are canonicalised
// first; the test is made at path-component boundaries and without regard to case, so "C:\Pics2"
// is not inside "C:\Pics" while "C:\Pics\Keep" is inside both "C:\Pics" and "C:\".
bool IsStrictlyInside(const std::wstring& inner, const std::wstring& outer);

// The folder's canonical form without a trailing backslash, except a drive root's own ("C:\"), so
// that the names of its files are the folder, one backslash and the file's name.
std::wstring CanonicalFolderPath(const std::wstring& path);
