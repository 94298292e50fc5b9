#include "Viewer/engine/FolderRecord.h"
#include <shlwapi.h>

WIN32_FILE_ATTRIBUTE_DATA VanishedFileData() noexcept
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    data.ftCreationTime.dwLowDateTime = 0xffffffff;
    data.ftCreationTime.dwHighDateTime = 0xffffffff;
    return data;
}

WIN32_FILE_ATTRIBUTE_DATA QueryFileData(const wchar_t* path) noexcept
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return VanishedFileData();
    return data;
}

Bstr CanonicalPath(const wchar_t* path)
{
    wchar_t canonical[MAX_PATH];
    if (PathCanonicalizeW(canonical, path)) return Bstr(canonical);
    return Bstr(path);
}
