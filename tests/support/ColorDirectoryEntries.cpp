#include "tests/support/ColorDirectoryEntries.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <windows.h>

ColorDirectoryEntries::ColorDirectoryEntries()
{
    wchar_t system[MAX_PATH]{};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring directory = std::wstring(system) + L"\\spool\\drivers\\color";
    const std::wstring unique = UniqueName();
    fileName = L"LumenfoldTest" + unique + L".icc";
    folderName = L"LumenfoldTest" + unique;
    filePath = directory + L"\\" + fileName;
    folderPath = directory + L"\\" + folderName;
    HANDLE file = CreateFileW(filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_TRUE(CreateDirectoryW(folderPath.c_str(), nullptr));
}

ColorDirectoryEntries::~ColorDirectoryEntries()
{
    DeleteFileW(filePath.c_str());
    RemoveDirectoryW(folderPath.c_str());
}
