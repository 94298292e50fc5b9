#pragma once
// Reads a text file line by line through a read-only mapping of the whole file, whatever its
// encoding: ANSI in a given code page, UTF-8, or UTF-16 of either byte order (told by the
// byte-order mark, or for a file without one by a zero byte in the first pair). Files of 4 GB and
// more are refused.
#include <windows.h>
#include <string>
#include "Framework/UniqueHandle.h"

class CTextFileReader {
public:
    enum Options : DWORD {
        SkipEmptyLines = 1,
        DropLeadingBlanks = 2,   // spaces and tabs
        DropTrailingBlanks = 4,  // spaces, tabs and CRs; without it only CRs are dropped
    };
    enum class Encoding { None, Ansi, Utf8, Utf16LittleEndian, Utf16BigEndian };

    CTextFileReader(DWORD options, UINT ansiCodePage) noexcept : m_options(options), m_codePage(ansiCodePage) {}
    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;
    ~CTextFileReader() { Close(); }

    // False with the last error kept when the file cannot be opened and mapped. An empty file opens
    // with nothing to read.
    bool Open(const wchar_t* path) noexcept;
    // True with the next line in Line(); false at the end or when a line cannot be converted (the
    // last error then says why) with Line() empty.
    bool ReadLine() noexcept;
    // Safe to call when nothing is open.
    void Close() noexcept;

    const std::wstring& Line() const noexcept { return m_line; }
    // Whether the last ReadLine stopped on a line it could not convert rather than at the end.
    bool Failed() const noexcept { return m_failed; }
    Encoding FileEncoding() const noexcept { return m_encoding; }

private:
    bool Convert(const BYTE* bytes, size_t count) noexcept;

    DWORD m_options;
    UINT m_codePage;
    UniqueHandle m_file;
    UniqueHandle m_mapping;
    const BYTE* m_view = nullptr;
    const BYTE* m_position = nullptr;
    DWORD m_left = 0;
    Encoding m_encoding = Encoding::None;
    bool m_failed = false;
    std::wstring m_line;
};
