#include "Viewer/engine/BookmarkFile.h"
#include <shlwapi.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/engine/NaturalOrder.h"
#include "Viewer/engine/TextFileReader.h"

namespace {

constexpr wchar_t DefaultFileName[] = L"Bookmarks.lmf";
constexpr wchar_t SaveCaption[] = L"Lumenfold - Save Bookmarks";
constexpr wchar_t CannotHoldText[] =
    L"Cannot write to bookmark file or media. Make sure that no other user has the same folder open, that the media "
    L"is writable and that you have the proper write credentials.";
constexpr wchar_t CannotCreateText[] =
    L"Cannot write to media. Make sure the media is writable and that you have the proper write credentials.";
constexpr wchar_t CannotWriteText[] = L"Cannot write to media. Make sure there is enough free space.";

const HRESULT Corrupt = HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);
const HRESULT Cancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);

bool AskRetry(HWND owner, const wchar_t* text)
{
    return ShowMessageBox(owner, text, SaveCaption, MB_RETRYCANCEL | MB_ICONHAND) == IDRETRY;
}

// Path plus "." and thirteen hexadecimal digits of a new GUID: unique beside the file, and in the
// same folder, so that the replace is a rename on one volume.
std::wstring MakeTemporaryPath(const wchar_t* path)
{
    GUID guid{};
    ThrowIfFailed(CoCreateGuid(&guid));
    wchar_t text[40]{};
    StringFromGUID2(guid, text, 40);
    const std::wstring digits(text);  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    return std::wstring(path) + L"." + digits.substr(25, 12) + digits[13];
}

std::wstring FileContent(const std::vector<BookmarkRecord>& records)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    std::wstring content = L"\xFEFF" + BookmarkHeaderLine(now) + L"\r\n";
    for (const BookmarkRecord& record : records) content += record.key + L";" + record.name + L"\r\n";
    return content;
}

// Writes the whole content from the start of the file, asking again after every failure.
bool WriteAll(HWND owner, HANDLE file, const std::wstring& content)
{
    const DWORD bytes = DWORD(content.size() * sizeof(wchar_t));
    for (;;) {
        DWORD written = 0;
        LARGE_INTEGER start{};
        // A retry starts over, so that a half-written first try leaves nothing behind.
        if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
            WriteFile(file, content.data(), bytes, &written, nullptr) && written == bytes && FlushFileBuffers(file))
            return true;
        if (!AskRetry(owner, CannotWriteText)) return false;
    }
}

}  // namespace

bool BookmarkKeyLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept
{
    return NoCaseLess()(a, b);
}

bool NaturalNameLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept
{
    return NaturalLess()(a, b);
}

std::wstring BookmarkFilePath(const wchar_t* folder, const wchar_t* fileName)
{
    wchar_t path[MAX_PATH]{};
    lstrcpynW(path, folder, MAX_PATH);
    if (!PathAppendW(path, fileName && *fileName ? fileName : DefaultFileName)) throw HResultError(E_INVALIDARG);
    return path;
}

std::wstring BookmarkHeaderLine(const SYSTEMTIME& t)
{
    wchar_t stamp[64];
    swprintf(stamp, 64, L"%04d-%02d-%02d %02d:%02d:%02d.%d UTC", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return std::wstring(L";Lumenfold Bookmark File 1.0 - Saved on ") + stamp + L" - Encoding: UTF-16";
}

HRESULT ReadBookmarkFile(const wchar_t* path, BookmarkKeyTable& keys)
{
    keys.clear();
    CTextFileReader reader(CTextFileReader::SkipEmptyLines | CTextFileReader::DropLeadingBlanks |
                               CTextFileReader::DropTrailingBlanks,
                           GetACP());
    if (!reader.Open(path)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return S_FALSE;
        return error == ERROR_FILE_TOO_LARGE ? Corrupt : HRESULT_FROM_WIN32(error);
    }
    while (reader.ReadLine()) {
        const std::wstring& line = reader.Line();
        if (line.find(L'\0') != std::wstring::npos) {
            keys.clear();
            return Corrupt;
        }
        const size_t separator = line.find(L';');
        if (separator == std::wstring::npos || separator == 0 || separator + 1 == line.size()) continue;
        keys.emplace(line.substr(0, separator), line.substr(separator + 1));
    }
    if (reader.Failed()) {
        keys.clear();
        return Corrupt;
    }
    return S_OK;
}

HRESULT WriteBookmarkFile(HWND owner, const wchar_t* path, std::vector<BookmarkRecord> records,
                          const std::wstring& temporaryPath)
{
    return CatchAsHResult([&] {
        BookmarkKeyTable existing;
        if (ReadBookmarkFile(path, existing) == Corrupt) return Corrupt;
        std::stable_sort(records.begin(), records.end(),
                         [](const BookmarkRecord& a, const BookmarkRecord& b) { return NaturalNameLess()(a.name, b.name); });
        const std::wstring content = FileContent(records);

        // Held without sharing while the new file is written, so that nobody else changes it meanwhile.
        UniqueHandle held;
        for (;;) {
            const HANDLE opened = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            const DWORD error = GetLastError();
            held = UniqueHandle(opened);
            if (held || error == ERROR_FILE_NOT_FOUND) break;
            if (!AskRetry(owner, CannotHoldText)) return Cancelled;
        }
        const std::wstring temporary = temporaryPath.empty() ? MakeTemporaryPath(path) : temporaryPath;
        UniqueHandle file;
        for (;;) {
            file = UniqueHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file) break;
            if (!AskRetry(owner, CannotCreateText)) return Cancelled;
        }
        const bool written = WriteAll(owner, file.Get(), content);
        file.Close();
        held.Close();
        if (!written) {
            DeleteFileW(temporary.c_str());
            return Cancelled;
        }
        if (!MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const HRESULT hr = HResultFromLastError();
            DeleteFileW(temporary.c_str());
            return hr;
        }
        return S_OK;
    });
}
