#include "tests/core/CrashProbe.h"
#include <gtest/gtest.h>
#include "Framework/UniqueHandle.h"
#include "tests/support/TestPaths.h"

std::wstring CrashProbePath()
{
    return TestProgramFolder() + L"\\" + CrashProbeFileName;
}

namespace {
// Sets an environment variable for its lifetime; a child process started meanwhile inherits it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        wchar_t old[32768];
        DWORD length = GetEnvironmentVariableW(name, old, 32768);
        m_had = length > 0 && length < 32768;
        if (m_had) m_old = old;
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(m_name, m_had ? m_old.c_str() : nullptr); }

private:
    const wchar_t* m_name;
    bool m_had = false;
    std::wstring m_old;
};

std::vector<std::wstring> ReadFields(const std::wstring& path)
{
    std::vector<std::wstring> fields;
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return fields;
    std::wstring content(GetFileSize(file.Get(), nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &read, nullptr);
    for (size_t start = 0, end; (end = content.find(L'\0', start)) != std::wstring::npos; start = end + 1)
        fields.push_back(content.substr(start, end - start));
    return fields;
}
}

ProbeRun RunCrashProbe(const std::wstring& mode, const std::wstring& tempFolder, const std::wstring& registryPath,
                       const std::wstring& program)
{
    ProbeRun run;
    const std::wstring recordPath = tempFolder + L"\\probe-record.bin";
    std::wstring commandLine = L"\"" + program + L"\" \"" + recordPath + L"\" \"" + registryPath + L"\" " + mode;
    ScopedEnvironment tmp(L"TMP", tempFolder), temp(L"TEMP", tempFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "crashprobe.exe did not start: " << GetLastError();
        return run;
    }
    UniqueHandle thread(process.hThread), child(process.hProcess);
    if (WaitForSingleObject(child.Get(), 280000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "crashprobe.exe did not end";
        TerminateProcess(child.Get(), 1);
    }
    GetExitCodeProcess(child.Get(), &run.exitCode);
    run.record = ReadFields(recordPath);
    return run;
}
