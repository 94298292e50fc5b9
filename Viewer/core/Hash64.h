#pragma once
// A 64-bit hash of wide text: the system's hash when it can, else the program's own 32-bit string
// hash, zero-extended. The two differ for the same text, so whoever stores a hash must read it
// back with the same ownHashOnly choice.
#include <cstdint>

std::uint64_t Hash64(const wchar_t* chars, int count, bool ownHashOnly) noexcept;
// Of a terminated string; 0 for a null one.
std::uint64_t Hash64String(const wchar_t* text, bool ownHashOnly) noexcept;
