#include "tests/process/ViewerProcess.h"
#include "tests/support/TestPaths.h"
#include <map>

namespace {
constexpr DWORD kPollMs = 50;
constexpr DWORD kCloseTimeoutMs = 20000;

// This process's environment with the viewer's test settings in place, as a CreateProcessW block.
std::vector<wchar_t> ChildEnvironment(const ViewerEnvironment& environment)
{
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text(entry);
            const size_t equals = text.find(L'=', 1);
            if (equals != std::wstring::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    variables[L"LUMENFOLD_TEST_USER_NAME"] = environment.userName;
    variables[L"LUMENFOLD_TEST_SETTINGS_KEY"] = environment.settingsRoot;
    variables[L"LUMENFOLD_TEST_LOG"] = environment.logPath;
    if (!environment.updateFeed.empty()) variables[L"LUMENFOLD_TEST_UPDATE_FEED"] = environment.updateFeed;

    std::vector<wchar_t> block;
    for (const auto& [name, value] : variables) {
        const std::wstring entry = name + L"=" + value;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

struct FrameSearch {
    DWORD processId;
    HWND frame;
};

BOOL CALLBACK FindFrameOfProcess(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<FrameSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64]{};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (processId != search.processId || wcscmp(className, L"Lumenfold_Frame") != 0) return TRUE;
    search.frame = window;
    return FALSE;
}

std::wstring ReadUtf8File(const std::wstring& path)
{
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes(static_cast<size_t>(GetFileSize(file.Get(), nullptr)), '\0');
    DWORD read = 0;
    ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(read), text.data(), length);
    return text;
}
}

std::wstring BuiltViewerProgram()
{
    return TestProgramFolder() + L"\\Lumenfold.Core.exe";
}

ViewerProcess::ViewerProcess(const std::wstring& arguments, const ViewerEnvironment& environment,
                             const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    std::vector<wchar_t> block = ChildEnvironment(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.data(), nullptr, &startup, &process))
        return;
    UniqueHandle thread(process.hThread);
    m_process = UniqueHandle(process.hProcess);
    m_processId = process.dwProcessId;
}

ViewerProcess::~ViewerProcess()
{
    if (!Started()) return;
    if (!WaitForExit(0)) {
        if (HWND frame = WaitForFrame(0)) PostMessageW(frame, WM_CLOSE, 0, 0);
        if (!WaitForExit(10000)) TerminateProcess(m_process.Get(), 99);
        WaitForSingleObject(m_process.Get(), 10000);
    }
}

std::optional<DWORD> ViewerProcess::WaitForExit(DWORD timeoutMs) const
{
    if (!Started() || WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

HWND ViewerProcess::WaitForFrame(DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        FrameSearch search{m_processId, nullptr};
        EnumWindows(&FindFrameOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.frame || GetTickCount64() >= end) return search.frame;
        Sleep(kPollMs);
    }
}

std::vector<std::wstring> ViewerLog::Lines() const
{
    std::vector<std::wstring> lines;
    const std::wstring text = ReadUtf8File(m_path);
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::wstring> ViewerLog::Texts(const std::wstring& what) const
{
    std::vector<std::wstring> texts;
    const std::wstring prefix = what + L"\t";
    for (const std::wstring& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0) texts.push_back(line.substr(prefix.size()));
    return texts;
}

bool ViewerLog::WaitFor(const std::wstring& what, const std::optional<std::wstring>& text, DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        for (const std::wstring& found : Texts(what))
            if (!text || found == *text) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
}

bool ServedEarlierMessages(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

std::wstring UniqueUserName()
{
    return L"tester-" + UniqueName().substr(0, 8);
}

void SetInheritedViewerEnvironment(const ViewerEnvironment& environment)
{
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_USER_NAME", environment.userName.c_str());
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_SETTINGS_KEY", environment.settingsRoot.c_str());
    SetEnvironmentVariableW(L"LUMENFOLD_TEST_LOG", environment.logPath.c_str());
}

void CloseEveryViewer()
{
    std::vector<HWND> frames;
    EnumWindows(
        [](HWND window, LPARAM found) {
            wchar_t className[64]{};
            GetClassNameW(window, className, 64);
            if (wcscmp(className, L"Lumenfold_Frame") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&frames));
    for (HWND frame : frames) {
        DWORD processId = 0;
        GetWindowThreadProcessId(frame, &processId);
        const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
        PostMessageW(frame, WM_CLOSE, 0, 0);
        if (process && WaitForSingleObject(process.Get(), kCloseTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process.Get(), 99);
    }
}
