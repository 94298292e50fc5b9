#pragma once
// Names for the files that stand in for a file while it is rewritten: the new content goes to a file
// beside it first, so that a write that fails or is cut short never leaves the user's file half
// written.
#include <string>

// The path followed by "." and 13 hexadecimal digits of a new GUID (its last 12 digits, then the
// last digit of its second group). Throws the GUID creation's HRESULT.
std::wstring MakeSiblingPath(const std::wstring& path);
