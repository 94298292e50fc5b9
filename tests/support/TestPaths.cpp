#include "tests/support/TestPaths.h"
#include <shellapi.h>
#include <objbase.h>
#include <vector>

std::wstring TestProgramFolder()
{
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring UniqueName()
{
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t text[64]{};
    StringFromGUID2(guid, text, 64);
    return std::wstring(text + 1, 36);
}

void DeleteFolderTree(const std::wstring& path)
{
    std::vector<wchar_t> from(path.begin(), path.end());
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"lumenfold-test-" + UniqueName();
    CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    DeleteFolderTree(m_path);
}

std::vector<std::wstring> TempFolder::FileNames() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(File(L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}
