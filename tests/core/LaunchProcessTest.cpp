#include "Framework/ModalSeam.h"
#include <gtest/gtest.h>
#include <string>

// The crash notice starts Explorer through this seam; the real call starts a program that runs on
// its own and reports whether it started.
TEST(LaunchProcess, StartsARealProgramOrReportsThatItCouldNot)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring command = std::wstring(system) + L"\\cmd.exe";
    EXPECT_TRUE(LaunchProcess(command.c_str(), L"cmd.exe /c exit 0"));
    EXPECT_FALSE(LaunchProcess(L"C:\\no\\such\\program.exe", L"program.exe"));
}

TEST(LaunchProcess, ReplacementRecordsInsteadOfStarting)
{
    std::wstring program, commandLine;
    ScopedModalSeam seam({.launchProcess = [&](const wchar_t* application, const wchar_t* line) {
        program = application;
        commandLine = line;
        return FALSE;
    }});
    EXPECT_FALSE(LaunchProcess(L"C:\\windows\\explorer.exe", L"explorer.exe /e,/select,\"x\""));
    EXPECT_EQ(L"C:\\windows\\explorer.exe", program);
    EXPECT_EQ(L"explorer.exe /e,/select,\"x\"", commandLine);
}
