#pragma once
// The pieces of the image list that need no engine: the sort order of entries, the sort key read
// from a picture's capture date, the page count of a multi-page file, and the list of supported
// extensions built from the installed codecs.
#include "Viewer/engine/ImageEntry.h"
#include <windows.h>
#include <wincodec.h>
#include <string>

// "SortByDateTime": 0 names only, 1 last-write time, 2 creation time, 3 capture date, 4 capture
// date with the GPS date first; above 4 reads as 0.
DWORD SortModeFromSetting(DWORD setting) noexcept;

// True when a comes before b: by sort time unless the mode is names only, then by the natural order
// of the base paths; pages of one base path after its single-page entry, by extensions and page.
bool CompareEntries(const CImageEntry& a, const CImageEntry& b, DWORD sortMode) noexcept;

struct EntryOrder {
    DWORD sortMode = 0;
    bool operator()(const EntryRef& a, const EntryRef& b) const noexcept { return CompareEntries(*a, *b, sortMode); }
};

// The capture date of the picture to sort by, through the process-wide imaging factory; the file
// time when the picture tells none. A busy file is tried again for about 20 seconds.
FILETIME ReadCaptureDate(const wchar_t* path, FILETIME fileTime, bool gpsFirst) noexcept;

// Frames of a multi-page file; 1 when it cannot be opened or tells an absurd count.
UINT GetPageCount(const wchar_t* path) noexcept;

// The formats the viewer shows at once, without waiting for an installed codec ("jpg" without dot).
bool IsNativeExtension(const wchar_t* extension) noexcept;
// Extensions (with dot) whose files may hold several pages.
bool IsMultiPageExtension(const wchar_t* extension) noexcept;
// True when the extension (with dot) is one of the supported list "*.jpg;*.png;...".
bool IsSupportedExtension(const std::wstring& supported, const wchar_t* extension);

// Adds to the supported list, as "*.ext", every extension of a codec's list (".jpg,.jpeg") that it
// lacks; the icon codec brings ".cur" and the HD Photo codec ".hdp" even where they do not say so.
void MergeCodecExtensions(std::wstring& supported, std::wstring codecExtensions, REFGUID container);

// The supported list of the installed decoders: the platform's own JPEG, HD Photo, BMP, PNG, icon,
// GIF and TIFF codecs first, then every other decoder. codecsReady is set once a codec has answered.
std::wstring BuildSupportedList(IWICImagingFactory* factory, HANDLE codecsReady);
