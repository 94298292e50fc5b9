#include "Framework/ModalSeam.h"
#include <shellapi.h>
#include <shlobj.h>
#include <mutex>
#include <string>
#include <utility>

namespace {
std::mutex g_seamLock;

ModalSeam& Current()
{
    static ModalSeam seam;
    return seam;
}

// A copy of one replacement, taken under the lock so that a call on another thread sees a whole one.
template <class Member>
auto Replacement(Member member)
{
    std::lock_guard guard(g_seamLock);
    return Current().*member;
}
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    if (auto replaced = Replacement(&ModalSeam::messageBox)) return replaced(owner, text, caption, type);
    return MessageBoxW(owner, text, caption, type);
}

BOOL PlayMessageBeep(UINT type)
{
    if (auto replaced = Replacement(&ModalSeam::messageBeep)) return replaced(type);
    return MessageBeep(type);
}

SHORT QueryKeyState(int virtualKey)
{
    if (auto replaced = Replacement(&ModalSeam::keyState)) return replaced(virtualKey);
    return GetKeyState(virtualKey);
}

INT_PTR RunModalDialog(HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM initParam)
{
    if (auto replaced = Replacement(&ModalSeam::modalDialog))
        return replaced(module, templateId, owner, procedure, initParam);
    return DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), owner, procedure, initParam);
}

void EndProcess(UINT exitCode)
{
    if (auto replaced = Replacement(&ModalSeam::endProcess)) return replaced(exitCode);
    ExitProcess(exitCode);
}

void EndCurrentThread(DWORD exitCode)
{
    if (auto replaced = Replacement(&ModalSeam::endCurrentThread)) return replaced(exitCode);
    TerminateThread(GetCurrentThread(), exitCode);
}

HINSTANCE OpenWithShell(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int showCommand)
{
    if (auto replaced = Replacement(&ModalSeam::openWithShell))
        return replaced(owner, verb, file, parameters, directory, showCommand);
    return ShellExecuteW(owner, verb, file, parameters, directory, showCommand);
}

BOOL ExecuteWithShell(SHELLEXECUTEINFOW* info)
{
    if (auto replaced = Replacement(&ModalSeam::executeWithShell)) return replaced(info);
    return ShellExecuteExW(info);
}

BOOL ChooseFileToOpen(OPENFILENAMEW* request)
{
    if (auto replaced = Replacement(&ModalSeam::chooseFileToOpen)) return replaced(request);
    return GetOpenFileNameW(request);
}

BOOL LaunchProcess(const wchar_t* application, const wchar_t* commandLine)
{
    if (auto replaced = Replacement(&ModalSeam::launchProcess)) return replaced(application, commandLine);
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring writable(commandLine ? commandLine : L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

int RunShellFileOperation(SHFILEOPSTRUCTW* operation)
{
    if (auto replaced = Replacement(&ModalSeam::shellFileOperation)) return replaced(operation);
    return SHFileOperationW(operation);
}

namespace {
// Selects and opens the initial folder once the browser's window exists.
int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM initialFolder)
{
    if (message == BFFM_INITIALIZED && initialFolder) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, initialFolder);
        SendMessageW(browser, BFFM_SETEXPANDED, TRUE, initialFolder);
    }
    return 0;
}
}

bool BrowseForFolder(HWND owner, const wchar_t* title, UINT flags, const wchar_t* initialFolder, std::wstring& chosen)
{
    if (auto replaced = Replacement(&ModalSeam::browseForFolder))
        return replaced(owner, title, flags, initialFolder, chosen);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = flags;
    info.lpfn = &SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder && *initialFolder ? initialFolder : nullptr);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) return false;
    wchar_t path[MAX_PATH]{};
    const bool fileSystem = SHGetPathFromIDListW(item, path) != FALSE;
    CoTaskMemFree(item);
    if (fileSystem) chosen = path;
    return fileSystem;
}

BOOL TrackPopup(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    if (auto replaced = Replacement(&ModalSeam::trackPopup)) return replaced(menu, flags, x, y, owner);
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

ScopedModalSeam::ScopedModalSeam(ModalSeam replacement)
{
    std::lock_guard guard(g_seamLock);
    m_previous = std::exchange(Current(), std::move(replacement));
}

ScopedModalSeam::~ScopedModalSeam()
{
    std::lock_guard guard(g_seamLock);
    Current() = std::move(m_previous);
}
