#pragma once
// Shooting data, rating words and the camera, lens and comment texts of one frame, read through
// the frame's metadata query reader (and the XMP sidecar) into an ImageInfo.
#include "Viewer/imaging/ImageInfo.h"
#include <wincodec.h>
#include <cstdint>
#include <initializer_list>

class DecodeThreadContext;

// S_OK after a full read; S_FALSE when the container is not one that is read (the sidecar is still
// read) or the frame index is out of range; E_UNEXPECTED without the process-wide factory;
// E_INVALIDARG for a null info, source or decoder; else the failing structural call's HRESULT.
// profileName: the colour profile this decode used, or null.
HRESULT ReadImageMetadata(DecodeThreadContext* context, const wchar_t* path, ImageInfo* info, IWICBitmapSource* source,
                          IWICBitmapDecoder* decoder, uint16_t frameIndex, const wchar_t* profileName) noexcept;

// The first of the named dates that the frame's reader gives (a FILETIME value, or a date text in
// the EXIF or XMP form), the names written as for a JPEG and placed by the container's rules;
// false when none reads or the container keeps no metadata that is read.
bool ReadFrameDate(IWICMetadataQueryReader* reader, REFGUID container, std::initializer_list<const wchar_t*> names,
                   FILETIME* time) noexcept;

// An EXIF rational (numerator in the low, denominator in the high 32 bits, both signed) or its
// text form "n/d"; 0 when the denominator is 0 or the text has no "/".
double RationalToDouble(const PROPVARIANT& value) noexcept;

// A capture date as FILETIME from its text: the EXIF form "YYYY:MM:DD hh:mm:ss" (19 characters), or
// any text of 20 or more characters with the fields at the same places (the XMP form with a zone).
bool ParseDateText(const wchar_t* text, FILETIME* time) noexcept;
