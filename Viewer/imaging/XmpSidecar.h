#pragma once
// The XMP sidecar beside a picture: its star rating, colour label, urgency and the time of the last
// change. Read on the decode workers; created from a fixed one-line text when missing and updated
// through an XML document object (keeping everything else in it) on the metadata writer's thread.
#include "Viewer/imaging/ImageInfo.h"
#include <windows.h>
#include <string>

// What the sidecar creator needs of the metadata writer.
struct SidecarWriterContext {
    const HWND* owner;            // the main window's handle member; a zero handle means no window
    const wchar_t* softwareName;  // "Lumenfold a.b.c.d (web address)", for x:xmptk
};

// MicrosoftPhoto:Rating percent of a star rating: 1, 25, 50, 75, 99 for 1-5 stars, else 0.
int RatingToPercent(int rating) noexcept;

// The picture path with its extension replaced by ".xmp" (appended when it has none); empty for an empty path.
std::wstring SidecarPathFor(const wchar_t* picturePath);

// xmp:MetadataDate text of a UTC time, with hundredths of a second.
std::wstring FormatMetadataDate(const SYSTEMTIME& time);

// S_OK when at least one word was set, S_FALSE without sidecar or properties, E_FAIL for an empty
// path, E_UNEXPECTED when the file is no XML, or the XML object's failure. A word is written only
// when its property is found.
HRESULT ReadXmpSidecar(const wchar_t* picturePath, RatingWords& words) noexcept;

// Writes a new sidecar for one request. S_OK when the whole text was written; otherwise shows the
// failure to the user and returns the system error as an HRESULT.
HRESULT CreateXmpSidecar(const SidecarWriterContext& writer, const wchar_t* sidecarPath, int value, bool isLabel,
                         int convention, bool isUrgency, const SYSTEMTIME& time) noexcept;

// Changes one request's properties in an existing sidecar, in the form and with the prefixes the file
// already uses. Returns the save's HRESULT or the first failure (E_UNEXPECTED: not XML, or no
// x:xmpmeta); a file that cannot be read as XML is never written.
HRESULT UpdateXmpSidecar(const wchar_t* sidecarPath, int value, bool isLabel, int convention, bool isUrgency,
                         const SYSTEMTIME& time) noexcept;
