#include "Viewer/core/MyPictures.h"
#include <windows.h>
#include <shlobj.h>

std::wstring MyPicturesFolder()
{
    wchar_t folder[MAX_PATH]{};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_MYPICTURES, FALSE)) folder[0] = L'\0';
    return folder;
}
