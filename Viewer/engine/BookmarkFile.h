#pragma once
// The file of named bookmarks that travels with the pictures of a folder: UTF-16 little-endian with
// a byte-order mark, a header comment, then one "key;name" line per bookmark in the natural order
// of the names. The reader also takes ANSI, UTF-8 and big-endian files; every line that starts with
// ";" is a comment, and the first line of a key wins.
//
// The engine keeps the tables (which names exist now, which entry carries each); these functions
// only turn a file into the key table and a list of bookmarks into a file.
#include <windows.h>
#include <map>
#include <string>
#include <vector>

// Keys are file paths: compared without case.
struct BookmarkKeyLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
};
// Names in the order the user reads them ("img2" before "img10").
struct NaturalNameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
};

// Key (an entry's bookmark key) to bookmark name.
using BookmarkKeyTable = std::map<std::wstring, std::wstring, BookmarkKeyLess>;

struct BookmarkRecord {
    std::wstring key;
    std::wstring name;
};

// The folder's bookmark file: fileName appended to folder, the default name when fileName is empty.
std::wstring BookmarkFilePath(const wchar_t* folder, const wchar_t* fileName);

// The first line of a written file, without its byte-order mark and line end.
std::wstring BookmarkHeaderLine(const SYSTEMTIME& savedOnUtc);

// Reads the file into keys (emptied first).
// S_OK: read (possibly no bookmarks). S_FALSE: there is no such file.
// HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT): the file holds something that is not text (a NUL
// character, a broken UTF-8 sequence) and must not be overwritten; keys stays empty.
// Any other failure: the file exists but cannot be read now (shared, denied).
HRESULT ReadBookmarkFile(const wchar_t* path, BookmarkKeyTable& keys);

// Replaces the file with these bookmarks, in natural name order. Until the new file is complete the
// old one stays in place, and it is swapped in whole: the file on disk is always the old or the new
// one. A failure to open, create or write asks the user (owner's message box, Retry or Cancel).
// S_OK: written. HRESULT_FROM_WIN32(ERROR_CANCELLED): the user cancelled; old file untouched.
// HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT): the existing file is not a readable bookmark file and is
// left alone. Other failures: the replace itself failed; old file untouched.
// temporaryPath names the file the new content is written to first; empty: the path with a unique
// suffix.
HRESULT WriteBookmarkFile(HWND owner, const wchar_t* path, std::vector<BookmarkRecord> records,
                          const std::wstring& temporaryPath = {});
