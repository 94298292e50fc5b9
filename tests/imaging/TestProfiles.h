#pragma once
// ICC profile bytes and picture files with embedded profiles, made by the tests themselves.
#include <windows.h>
#include <string>
#include <vector>

using ByteVector = std::vector<BYTE>;

// The bytes of one of the program's RCDATA resources.
ByteVector ProgramResource(UINT id);

// A minimal ICC header and tag table with one "desc" tag of the given type ("desc" or "mluc").
ByteVector ProfileWithDescription(const std::string& type, const std::wstring& text);

// A profile that describes itself as sRGB: the program's Adobe RGB profile under another name.
ByteVector SrgbNamedProfile();

// A 2 x 2 RGB TIFF file carrying the profile in its InterColorProfile tag (34675).
void WriteTiffWithProfile(const std::wstring& path, const ByteVector& profile);

// A 2 x 2 RGB PNG file carrying the profile in its iCCP chunk.
void WritePngWithProfile(const std::wstring& path, const ByteVector& profile);
