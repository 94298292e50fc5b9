#pragma once
// The description text of an ICC profile, read from its "desc" tag.
#include "Framework/Bstr.h"
#include <windows.h>
#include <cstddef>

// Null when the bytes are no ICC profile of exactly that size or carry no readable description.
Bstr ReadIccProfileDescription(const BYTE* bytes, size_t size);
