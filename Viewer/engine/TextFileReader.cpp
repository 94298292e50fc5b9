#include "Viewer/engine/TextFileReader.h"
#include <cstring>
#include <new>
#include <span>

namespace {

constexpr BYTE Utf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr BYTE LittleEndianMark[] = {0xFF, 0xFE};
constexpr BYTE BigEndianMark[] = {0xFE, 0xFF};

bool StartsWith(const BYTE* bytes, DWORD count, std::span<const BYTE> mark) noexcept
{
    return count >= mark.size() && !std::memcmp(bytes, mark.data(), mark.size());
}

std::span<const BYTE> MarkOf(CTextFileReader::Encoding encoding) noexcept
{
    switch (encoding) {
    case CTextFileReader::Encoding::Utf8: return Utf8Mark;
    case CTextFileReader::Encoding::Utf16LittleEndian: return LittleEndianMark;
    case CTextFileReader::Encoding::Utf16BigEndian: return BigEndianMark;
    default: return {};
    }
}

CTextFileReader::Encoding Detect(const BYTE* bytes, DWORD size) noexcept
{
    using E = CTextFileReader::Encoding;
    if (StartsWith(bytes, size, Utf8Mark)) return E::Utf8;
    if (size < 2) return E::Ansi;
    if (StartsWith(bytes, size, LittleEndianMark) || (bytes[0] && !bytes[1])) return E::Utf16LittleEndian;
    if (StartsWith(bytes, size, BigEndianMark) || (!bytes[0] && bytes[1])) return E::Utf16BigEndian;
    return E::Ansi;
}

bool IsBlank(wchar_t c) noexcept { return c == L' ' || c == L'\t'; }

}  // namespace

bool CTextFileReader::Open(const wchar_t* path) noexcept
{
    Close();
    m_file = UniqueHandle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_file.Get(), &size)) {
        const DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return false;
    }
    if (size.QuadPart >= 0x100000000ll) {
        Close();
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    if (size.QuadPart == 0) return true;
    m_mapping = UniqueHandle(CreateFileMappingW(m_file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (m_mapping) m_view = static_cast<const BYTE*>(MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    if (!m_view) {
        const DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return false;
    }
    m_position = m_view;
    m_left = size.LowPart;
    m_encoding = Detect(m_view, m_left);
    return true;
}

void CTextFileReader::Close() noexcept
{
    if (m_view) UnmapViewOfFile(m_view);
    m_view = m_position = nullptr;
    m_left = 0;
    m_mapping.Close();
    m_file.Close();
    m_encoding = Encoding::None;
    m_failed = false;
    m_line.clear();
    m_line.shrink_to_fit();
}

bool CTextFileReader::ReadLine() noexcept
{
    const bool wide = m_encoding == Encoding::Utf16LittleEndian || m_encoding == Encoding::Utf16BigEndian;
    const DWORD unit = wide ? 2 : 1;
    m_failed = false;
    for (;;) {
        m_line.clear();
        if (m_left < unit) {
            m_left = 0;
            return false;
        }
        // Text pasted together from several files may carry a mark at the start of any line.
        const std::span<const BYTE> mark = MarkOf(m_encoding);
        if (!mark.empty() && StartsWith(m_position, m_left, mark)) {
            m_position += mark.size();
            m_left -= DWORD(mark.size());
        }
        const BYTE* start = m_position;
        DWORD length = 0;  // in bytes, a whole number of units
        const BYTE lineFeed[2] = {m_encoding == Encoding::Utf16BigEndian ? BYTE(0) : BYTE(0x0A),
                                  m_encoding == Encoding::Utf16BigEndian ? BYTE(0x0A) : BYTE(0)};
        while (length + unit <= m_left &&
               !(start[length] == lineFeed[0] && (!wide || start[length + 1] == lineFeed[1])))
            length += unit;
        const bool ended = length + unit <= m_left;
        m_position += length + (ended ? unit : 0);
        m_left -= length + (ended ? unit : 0);
        if (!ended) m_left = 0;  // an odd byte after the last UTF-16 unit is no text

        if (!Convert(start, length)) {
            m_line.clear();
            m_failed = true;
            return false;
        }
        size_t first = 0;
        if (m_options & DropLeadingBlanks)
            while (first < m_line.size() && IsBlank(m_line[first])) ++first;
        size_t end = m_line.size();
        while (end > first && (m_line[end - 1] == L'\r' || ((m_options & DropTrailingBlanks) && IsBlank(m_line[end - 1]))))
            --end;
        m_line.erase(end);
        m_line.erase(0, first);
        if (m_line.empty() && (m_options & SkipEmptyLines)) continue;
        return true;
    }
}

bool CTextFileReader::Convert(const BYTE* bytes, size_t count) noexcept
{
    try {
        if (m_encoding == Encoding::Utf16LittleEndian || m_encoding == Encoding::Utf16BigEndian) {
            m_line.resize(count / 2);
            for (size_t i = 0; i < m_line.size(); ++i) {
                const BYTE first = bytes[2 * i], second = bytes[2 * i + 1];
                m_line[i] = m_encoding == Encoding::Utf16LittleEndian ? wchar_t(first | second << 8)
                                                                       : wchar_t(second | first << 8);
            }
            return true;
        }
        if (!count) return true;
        const UINT codePage = m_encoding == Encoding::Utf8 ? CP_UTF8 : m_codePage;
        // A broken UTF-8 sequence fails the line rather than turning into replacement characters
        // that would be written back in place of what the file held.
        const DWORD flags = m_encoding == Encoding::Utf8 ? MB_ERR_INVALID_CHARS : 0;
        const auto* chars = reinterpret_cast<const char*>(bytes);
        const int needed = MultiByteToWideChar(codePage, flags, chars, int(count), nullptr, 0);
        if (needed <= 0) return false;
        m_line.resize(size_t(needed));
        return MultiByteToWideChar(codePage, flags, chars, int(count), m_line.data(), needed) == needed;
    } catch (const std::bad_alloc&) {
        m_line.clear();
        SetLastError(ERROR_OUTOFMEMORY);
        return false;
    }
}
