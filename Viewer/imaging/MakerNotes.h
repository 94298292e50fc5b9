#pragma once
// Small parsers of camera maker notes: the ISO speed and the colour space that some cameras keep
// only there. They never read outside the blob; a malformed blob gives the "not found" result.
#include <windows.h>
#include <cstddef>

// Colour-space codes shared with the colour management.
enum ColorSpaceCode : int {
    ColorSpaceNone = -1,
    ColorSpaceSrgb = 1,
    ColorSpaceAdobeRgb = 2,
    ColorSpaceProPhotoRgb = 3,
};

// Nikon type-3 maker note: ISO (0 when not found) and colour space.
int ReadNikonIso(size_t length, const BYTE* blob) noexcept;
int ReadNikonColorSpace(size_t length, const BYTE* blob) noexcept;
// Canon maker note: a bare little-endian IFD.
int ReadCanonColorSpace(size_t length, const BYTE* blob) noexcept;
// Olympus maker note, old ("OLYMP") and new ("OLYMPUS") headers.
int ReadOlympusColorSpace(size_t length, const BYTE* blob) noexcept;

// First position of the 8-byte pattern in the buffer, or null.
const BYTE* FindPattern8(const BYTE* buffer, size_t length, const BYTE* pattern) noexcept;
