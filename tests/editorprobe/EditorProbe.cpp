// Not a test: the stand-in editor that the external-editor tests start. It writes its arguments
// (argv[1] on), one a line in UTF-16, to its own path + ".args", so that a test sees exactly what
// the program it started was given. It has a version resource and no icon.
#include <windows.h>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    wchar_t self[MAX_PATH * 4]{};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring text;
    for (int i = 1; i < argc; ++i) text += std::wstring(argv[i]) + L"\n";
    const std::wstring output = std::wstring(self) + L".args";
    HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
