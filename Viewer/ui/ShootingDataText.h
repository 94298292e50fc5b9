#pragma once
// The texts of the shooting-data panel: a heading with the exposure values and a block of up to three
// lines with the other capture data, the picture's size, camera, lens and comment. Only the items
// whose presence flag is set are shown.
#include "Viewer/core/NumberFormat.h"
#include "Viewer/imaging/ImageInfo.h"
#include <string>

struct ShootingDataText {
    std::wstring heading;  // never empty: the language library's title stands in for missing exposure values
    std::wstring block;    // lines end in CR LF
    float minOpacity;      // lower while there is nothing to show
};

// information may be null (no picture). numbers keeps the user's digit grouping between calls.
ShootingDataText BuildShootingDataText(const ImageInfo* information, NumberFormatRecord& numbers);

// "24.0MP* (6,000x4,000)": the source size, starred when the picture is shown at another size.
std::wstring PictureSizeText(const ImageInfo& information, NumberFormatRecord& numbers);
// The capture date as the camera's clock showed it: the user's short date and long time, unconverted.
std::wstring CaptureDateText(const FILETIME& taken);
// The name of an EXIF light-source code; empty for the codes without one.
const wchar_t* GetLightSourceName(unsigned code) noexcept;
