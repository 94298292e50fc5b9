#pragma once
// Files and folders of the test programs.
#include <windows.h>
#include <string>
#include <vector>

// The folder of the running test program (the build's bin folder).
std::wstring TestProgramFolder();

// A text that no other call returns, in this process or any other: a new GUID's 36 characters.
std::wstring UniqueName();

// Removes the folder with everything in it.
void DeleteFolderTree(const std::wstring& path);

// A new empty folder under the temporary folder, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::wstring& Path() const noexcept { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }
    // The names of the files directly in the folder, in the system's order.
    std::vector<std::wstring> FileNames() const;

private:
    std::wstring m_path;
};
