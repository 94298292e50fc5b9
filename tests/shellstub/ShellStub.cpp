// Not a test: stands in for the viewer at the install path when the shell library starts one. It
// writes the command line it was given (UTF-16) to the file that LUMENFOLD_SHELL_STUB_OUTPUT names
// and ends. The file appears whole: it is written under another name and then renamed. Like the
// viewer it is a windows program: a console program started by the library would get a console of
// its own, whose host can outlive the start and hold the test runner's output.
#include <windows.h>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int)
{
    wchar_t output[MAX_PATH]{};
    if (!GetEnvironmentVariableW(L"LUMENFOLD_SHELL_STUB_OUTPUT", output, MAX_PATH)) return 2;
    const std::wstring partial = std::wstring(output) + L".part";
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, commandLine, static_cast<DWORD>(wcslen(commandLine) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return wrote && MoveFileExW(partial.c_str(), output, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
