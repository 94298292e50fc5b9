#include "Viewer/engine/KeepCopyFiles.h"
#include "Framework/UniqueHandle.h"
#include <shlobj.h>
#include <shlwapi.h>

namespace {
bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& information)
{
    UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.Get(), &information);
}

std::wstring FolderOf(const std::wstring& path)
{
    std::wstring folder = path;
    PathRemoveFileSpecW(folder.data());
    folder.resize(wcslen(folder.c_str()));
    return folder;
}

DWORD CreateFolderOf(const std::wstring& target)
{
    const int created = SHCreateDirectory(nullptr, FolderOf(target).c_str());
    return created == ERROR_SUCCESS || created == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : static_cast<DWORD>(created);
}

// Writes the copy's data through to the disk before it takes the target's name. A read-only copy
// (of a read-only source) is opened for writing only for that moment.
DWORD Flush(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    DWORD error = ERROR_SUCCESS;
    {
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file || !FlushFileBuffers(file.Get())) error = GetLastError();
    }
    if (readOnly) SetFileAttributesW(path.c_str(), attributes);
    return error;
}

DWORD CopyThroughTemporary(const std::wstring& source, const std::wstring& target)
{
    wchar_t temporary[MAX_PATH]{};
    if (!GetTempFileNameW(FolderOf(target).c_str(), L"lfk", 0, temporary)) return GetLastError();
    DWORD error = ERROR_SUCCESS;
    if (!CopyFileW(source.c_str(), temporary, FALSE)) error = GetLastError();
    if (error == ERROR_SUCCESS) error = Flush(temporary);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(temporary);
    return error;
}
}

bool IsSameFile(const std::wstring& first, const std::wstring& second)
{
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return FileIdentity(first, a) && FileIdentity(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

DWORD CopyOrMoveFile(const std::wstring& source, const std::wstring& target, bool move)
{
    if (const DWORD error = CreateFolderOf(target)) return error;
    // Copying a file onto itself through a temporary name would succeed, and a move would then
    // delete the only copy.
    if (IsSameFile(source, target)) return ERROR_SUCCESS;
    if (const DWORD error = CopyThroughTemporary(source, target)) return error;
    if (move) DeleteFileW(source.c_str());
    return ERROR_SUCCESS;
}
