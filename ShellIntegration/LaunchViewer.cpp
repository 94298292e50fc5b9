#include "ShellIntegration/LaunchViewer.h"
#include "Framework/HResultError.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "Shared/WakeUpProtocol.h"
#include <cwchar>
#include <string>

namespace {
// The bounds of the texts handed on: the argument text, the new viewer's command line and the
// install path (with its terminator).
constexpr size_t kArgumentChars = 780;
constexpr size_t kCommandLineChars = 520;
constexpr DWORD kAppPathChars = MAX_PATH;

constexpr wchar_t kInstallKey[] = L"SOFTWARE\\Brenholt\\Lumenfold";
constexpr wchar_t kInstallKey32[] = L"SOFTWARE\\Wow6432Node\\Brenholt\\Lumenfold";

// A text cut to fit a buffer of that many characters with its terminator.
std::wstring Bounded(std::wstring text, size_t bufferChars)
{
    if (text.size() >= bufferChars) text.resize(bufferChars - 1);
    return text;
}

// Creating the running viewer's event fails with ERROR_ALREADY_EXISTS while that viewer holds it.
// The probe closes its own handle at once, so it leaves nothing behind when no viewer runs.
bool ViewerIsRunning()
{
    const std::wstring name = FormatInstanceEventName(CurrentUserName().c_str());
    SetLastError(ERROR_SUCCESS);
    const UniqueHandle probe(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

// The running viewer reads and deletes the atom; an atom that no message carries is deleted here.
// An argument text too long for an atom (255 characters) gives atom 0, which the viewer ignores.
void WakeRunningViewer(const std::wstring& arguments, LaunchSource source)
{
    const ATOM atom = GlobalAddAtomW(arguments.c_str());
    if (!PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(kWakeUpMessageName), atom, static_cast<LPARAM>(source)) &&
        atom)
        GlobalDeleteAtom(atom);
}

// The install path; empty when the value is missing, not a string, too long or not terminated.
std::wstring ReadAppPath(const RegKey& key)
{
    wchar_t path[kAppPathChars]{};
    DWORD type = 0;
    DWORD bytes = sizeof(path);
    if (RegQueryValueExW(key.Get(), L"AppPath", nullptr, &type, reinterpret_cast<BYTE*>(path), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ || !wmemchr(path, L'\0', bytes / sizeof(wchar_t)))
        return {};
    return path;
}

HRESULT StartViewer(const std::wstring& arguments)
{
    RegKey key;
    LONG error = key.Open(HKEY_LOCAL_MACHINE, kInstallKey, KEY_READ);
    if (error != ERROR_SUCCESS) error = key.Open(HKEY_LOCAL_MACHINE, kInstallKey32, KEY_READ);
    if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);

    const std::wstring appPath = ReadAppPath(key);
    std::wstring commandLine = Bounded(L"\"" + appPath + L"\" " + arguments, kCommandLineChars);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION process{};
    // The library is tested through its real exports with a stand-in program at the install path,
    // so the start is made here and not through the program's modal seam.
    if (!CreateProcessW(appPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return HResultFromLastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return S_OK;
}
}

HRESULT LaunchViewer(const wchar_t* folder, LaunchSource source)
{
    const bool running = ViewerIsRunning();
    const std::wstring arguments =
        Bounded(std::wstring(kImageFolderSwitch) + L" \"" + (folder ? folder : L"") + L"\"", kArgumentChars);
    if (!running) return StartViewer(arguments);
    WakeRunningViewer(arguments, source);
    return S_OK;
}
