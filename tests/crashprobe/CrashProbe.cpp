// A program with a version resource of its own, for the tests of what the program learns about
// itself. Usage:
//   crashprobe <record file> <registry key below HKCU standing in for HKCU> crash|enforce|version
// crash: installs the crash handler the way the viewer does and then faults; the files land in the
// temporary folder of the environment (TMP). The notice and the Explorer start are answered by a
// modal seam that appends each call to the record file as NUL-ended fields: "box", caption, text,
// type; "launch", program, command line. enforce: the same with the guard on; the probe then tries
// to replace the filter and records "hijack" and what that call returned. version: records
// "version", the four numbers, the texts with and without the label "Build", and the major
// number of a call without a text buffer.
#include <windows.h>
#include <string>
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CrashHandler.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessState.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/VersionInfo.h"

namespace {
std::wstring g_recordPath;

void Record(std::initializer_list<std::wstring> fields)
{
    UniqueHandle file(CreateFileW(g_recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    for (const std::wstring& field : fields) {
        DWORD written = 0;
        WriteFile(file.Get(), field.c_str(), static_cast<DWORD>((field.size() + 1) * sizeof(wchar_t)), &written,
                  nullptr);
    }
}

LONG WINAPI HijackingFilter(EXCEPTION_POINTERS*)
{
    Record({L"hijacked"});
    return EXCEPTION_EXECUTE_HANDLER;
}

int RecordVersion()
{
    WORD major = 0, minor = 0, build = 0, revision = 0;
    wchar_t labelled[64] = L"", plain[64] = L"";
    HRESULT hr = GetAppVersion(&major, &minor, &build, &revision, labelled, 64, L"Build");
    GetAppVersion(nullptr, nullptr, nullptr, nullptr, plain, 64, nullptr);
    WORD numbersOnly = 0;
    GetAppVersion(&numbersOnly, nullptr, nullptr, nullptr, nullptr, 0, L"Build");
    Record({L"version", std::to_wstring(major), std::to_wstring(minor), std::to_wstring(build),
            std::to_wstring(revision), labelled, plain, std::to_wstring(numbersOnly)});
    return SUCCEEDED(hr) ? 0 : 1;
}

void RedirectCurrentUser(const wchar_t* path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegOverridePredefKey(HKEY_CURRENT_USER, key);
}
}

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (argc < 4) return 2;
    g_recordPath = argv[1];
    RedirectCurrentUser(argv[2]);
    const std::wstring mode = argv[3];
    if (mode == L"version") return RecordVersion();
    const bool enforce = mode == L"enforce";

    ScopedModalSeam seam({
        .messageBox = [](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            Record({L"box", caption, text, std::to_wstring(type)});
            return IDOK;
        },
        .launchProcess = [](const wchar_t* program, const wchar_t* commandLine) {
            Record({L"launch", program, commandLine});
            return TRUE;
        },
    });

    AppSettings::LabellingConvention = 2;
    AppSettings::CustomTargetColorProfile = Bstr(AppSettings::AutomaticProfile);
    StartModes.trackMode = TRUE;

    InstallCrashHandler(enforce);
    if (enforce) {
        LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(HijackingFilter);
        Record({L"hijack", previous ? L"replaced" : L"null"});
    }
    LastActivityCode = 123.456;
    int* volatile nowhere = nullptr;  // read at run time, so the compiler cannot see the fault coming
    *nowhere = 1;
    RemoveCrashHandler();
    return 0;
}
