#pragma once
// The prefix of generated bookmark names ("Trip_1", "Trip_2", ...). The user picks it in the prefix
// dialog as a style kept in the settings: no prefix, one of three folder names taken from the
// picture's path, or a text of their own. New names always follow the stored style, applied to the
// picture being bookmarked.
#include <windows.h>
#include <string>
#include <vector>

// The styles of "BookmarkPrefixesStyle": none, the first, second or third folder name, custom text.
enum BookmarkPrefixStyle : DWORD {
    PrefixNone = 0,
    PrefixFirstFolder = 1,
    PrefixSecondFolder = 2,
    PrefixThirdFolder = 3,
    PrefixCustom = 4,
};

// A folder name longer than 24 characters: its first 12, "~" and its last 11.
std::wstring ShortenPrefix(const std::wstring& text);

// Up to three folder names to offer as prefixes, shortened. With a picture (path without extension):
// the open folder's own name and the subfolders leading down to the picture. Without one: the first
// folders below the open folder's drive root or, for a share, its server, share and next folder.
// None without an open folder.
std::vector<std::wstring> ComputePrefixCandidates(const wchar_t* folder, const wchar_t* picturePath);

struct PrefixChoice {
    DWORD style = PrefixSecondFolder;
    std::wstring prefix;
    // The stored custom text, whichever style is chosen.
    std::wstring custom;
};

// The stored style ("BookmarkPrefixesStyle", 2 when missing, above 4 read as 1) and custom text
// ("CustomBookmarkPrefix") applied to these candidates; a style whose folder name is missing falls
// back to the one before it, down to no prefix.
PrefixChoice LoadPrefixSettings(const std::vector<std::wstring>& candidates);

// What the prefix dialog gets with WM_INITDIALOG: the prefix it sets before it ends with IDOK, the
// open folder and the picture being bookmarked (path without extension).
struct BookmarkPrefixRequest {
    std::wstring prefix;
    const wchar_t* folder = nullptr;
    const wchar_t* picturePath = nullptr;
};
