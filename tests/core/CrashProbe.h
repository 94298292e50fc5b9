#pragma once
// The crash probe (tests/crashprobe): a small program beside the tests with a version resource and
// marked crash texts of its own, run as a child process or loaded as a resource module.
#include <windows.h>
#include <string>
#include <vector>

// Its file name beside the test programs, and its full path. Its string table, made the resource
// module through a ScopedResourceModule, makes the program's texts read "[10011]" and so on.
inline constexpr wchar_t CrashProbeFileName[] = L"crashprobe.exe";
std::wstring CrashProbePath();

struct ProbeRun {
    DWORD exitCode = 0;
    // The NUL-ended fields the probe recorded, in order.
    std::vector<std::wstring> record;
};

// Runs the probe in a mode with TMP and TEMP pointing at tempFolder and HKCU redirected to the
// key registryPath below the real HKCU; waits for it (a minidump takes several seconds under Wine).
// program is the probe's path, or that of a copy of it.
ProbeRun RunCrashProbe(const std::wstring& mode, const std::wstring& tempFolder, const std::wstring& registryPath,
                       const std::wstring& program = CrashProbePath());
