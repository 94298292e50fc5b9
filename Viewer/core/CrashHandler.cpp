#include "Viewer/core/CrashHandler.h"
#include <dbghelp.h>
#include <objbase.h>
#include <shlwapi.h>
#include <atomic>
#include <cwchar>
#include <string>
#include "Viewer/core/CrashNotice.h"
#include "Viewer/core/CrashReport.h"
#include "Viewer/core/ExceptionFilterGuard.h"
#include "Viewer/core/LastActivity.h"
#include "Framework/UniqueHandle.h"
#include "Framework/UniqueModule.h"

namespace {
using MiniDumpWriteDumpFunction = decltype(&MiniDumpWriteDump);

struct CrashHandlerState {
    UniqueModule dbghelp;
    MiniDumpWriteDumpFunction writeDump = nullptr;
    wchar_t dumpPath[MAX_PATH] = L"";
    wchar_t reportPath[MAX_PATH] = L"";
    bool installed = false;
    ExceptionFilterGuard guard;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    std::atomic<bool> armed{true};
};

CrashHandlerState g_crashHandler;

void ForgetDumpWriter(CrashHandlerState& state) noexcept
{
    state.writeDump = nullptr;
    state.dbghelp.reset();
    state.dumpPath[0] = state.reportPath[0] = L'\0';
}

// "<temp>\<program file name>.<last 12 hex digits of a new GUID>" into both paths, then the two
// extensions. False when any part is missing or a path would not fit.
bool MakeCrashFilePaths(CrashHandlerState& state) noexcept
{
    GUID guid{};
    wchar_t guidText[40]{};
    if (FAILED(CoCreateGuid(&guid)) || !StringFromGUID2(guid, guidText, 40)) return false;
    const wchar_t* tail = guidText + 25;  // "{8-4-4-4-" is 25 characters; the closing brace is dropped
    guidText[37] = L'\0';

    wchar_t base[MAX_PATH]{}, program[MAX_PATH]{};
    // A temporary folder too long for the buffer is reported by its length, with nothing written.
    const DWORD tempLength = GetTempPathW(MAX_PATH, base);
    if (tempLength == 0 || tempLength >= MAX_PATH || !GetModuleFileNameW(nullptr, program, MAX_PATH) ||
        !PathAppendW(base, PathFindFileNameW(program)))
        return false;
    // The C runtime's bounded print cuts a long path without saying so; a cut path would put the
    // files somewhere else, so the paths are made whole and measured first.
    const std::wstring prefix = std::wstring(base) + L"." + tail;
    const std::wstring dump = prefix + L".mdmp", report = prefix + L".txt";
    if (dump.size() >= MAX_PATH || report.size() >= MAX_PATH) return false;
    wcscpy(state.dumpPath, dump.c_str());
    wcscpy(state.reportPath, report.c_str());
    return true;
}

UniqueHandle CreateCrashFile(const wchar_t* path) noexcept
{
    return UniqueHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A dump that could not be written completely is of no use to anyone, so it is not left behind.
bool WriteDumpFile(const CrashHandlerState& state, EXCEPTION_POINTERS* exception) noexcept
{
    UniqueHandle file = CreateCrashFile(state.dumpPath);
    if (!file) return false;
    MINIDUMP_EXCEPTION_INFORMATION information{GetCurrentThreadId(), exception, FALSE};
    bool written = state.writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpNormal,
                                   &information, nullptr, nullptr);
    file.Close();
    if (!written) DeleteFileW(state.dumpPath);
    return written;
}

bool WriteReportFile(const CrashHandlerState& state) noexcept
{
    UniqueHandle file = CreateCrashFile(state.reportPath);
    if (!file) return false;
    WriteCrashReport(file.Get());
    LARGE_INTEGER size{};
    bool written = GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0;
    file.Close();
    if (!written) DeleteFileW(state.reportPath);
    return written;
}
}

void InstallCrashHandler(bool enforce)
{
    CrashHandlerState& state = g_crashHandler;
    if (state.installed) return;
    state.dbghelp.reset(LoadLibraryW(L"dbghelp.dll"));
    if (!state.dbghelp) return;
    FARPROC entry = GetProcAddress(state.dbghelp.get(), "MiniDumpWriteDump");
    state.writeDump = reinterpret_cast<MiniDumpWriteDumpFunction>(reinterpret_cast<void*>(entry));
    if (!state.writeDump || !MakeCrashFilePaths(state)) {
        ForgetDumpWriter(state);
        return;
    }
    state.previousFilter = SetUnhandledExceptionFilter(CrashExceptionFilter);
    state.installed = true;
    if (enforce) {
        LastActivityCode = 9998.0;
        state.guard.Activate();
        LastActivityCode = 9998.1;
    }
}

void RemoveCrashHandler()
{
    CrashHandlerState& state = g_crashHandler;
    if (state.installed) {
        if (state.guard.Active()) {
            LastActivityCode = 9999.0;
            state.guard.Deactivate();
            LastActivityCode = 9999.1;
        }
        SetUnhandledExceptionFilter(state.previousFilter);
        state.previousFilter = nullptr;
        state.installed = false;
    }
    ForgetDumpWriter(state);
}

LONG WINAPI CrashExceptionFilter(EXCEPTION_POINTERS* exception)
{
    CrashHandlerState& state = g_crashHandler;
    if (!state.armed.exchange(false) || !state.writeDump) return EXCEPTION_CONTINUE_SEARCH;
    // A dump that cannot be written still leaves the report, and the other way round.
    bool dumpWritten = WriteDumpFile(state, exception);
    bool reportWritten = WriteReportFile(state);
    ShowCrashNotice(dumpWritten, reportWritten, state.dumpPath, state.reportPath);
    return EXCEPTION_EXECUTE_HANDLER;
}
