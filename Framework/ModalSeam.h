#pragma once
// The one seam for everything that waits on the user or the desktop: message boxes, beeps, modal
// dialogs, key-state queries and opening a page or program with the shell. The program calls these
// functions; a test replaces them for its scope to record each call and answer it, so that no test
// ever waits on a real modal box.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <functional>
#include <string>

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
BOOL PlayMessageBeep(UINT type);
SHORT QueryKeyState(int virtualKey);
INT_PTR RunModalDialog(HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM initParam);
// ShellExecuteW: starts another program or opens a page in the user's browser.
HINSTANCE OpenWithShell(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int showCommand);
// ShellExecuteExW: the shell's open of a program with parameters (no mask bits), or a file's
// Properties sheet (SEE_MASK_INVOKEIDLIST with the verb "properties").
BOOL ExecuteWithShell(SHELLEXECUTEINFOW* info);
// GetOpenFileNameW: the chosen path in request->lpstrFile; false when the user cancelled.
BOOL ChooseFileToOpen(OPENFILENAMEW* request);
// Ending the process or the calling thread after a fault that cannot be survived; a test replaces
// them so that it can watch the decision without ending itself.
void EndProcess(UINT exitCode);
void EndCurrentThread(DWORD exitCode);
// CreateProcessW with the given program and command line; the new process runs on its own (both
// handles are closed). True when it started.
BOOL LaunchProcess(const wchar_t* application, const wchar_t* commandLine);
// SHFileOperationW: the shell's copy, move or delete with its own confirmation and progress.
int RunShellFileOperation(SHFILEOPSTRUCTW* operation);
// SHBrowseForFolderW with the title and flags, opening at initialFolder (selected and expanded) when
// one is given. True with the chosen folder's path; false when the user cancelled or chose something
// that is not a file-system folder.
bool BrowseForFolder(HWND owner, const wchar_t* title, UINT flags, const wchar_t* initialFolder,
                     std::wstring& chosen);
// TrackPopupMenuEx without parameters: the menu's modal loop at a screen point; the command chosen
// (with TPM_RETURNCMD) or whether the menu showed.
BOOL TrackPopup(HMENU menu, UINT flags, int x, int y, HWND owner);

// Replacements; an empty one leaves the real call in place.
struct ModalSeam {
    std::function<int(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)> messageBox;
    std::function<BOOL(UINT type)> messageBeep;
    std::function<SHORT(int virtualKey)> keyState;
    std::function<INT_PTR(HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM initParam)>
        modalDialog;
    std::function<void(UINT exitCode)> endProcess;
    std::function<void(DWORD exitCode)> endCurrentThread;
    std::function<HINSTANCE(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                            const wchar_t* directory, int showCommand)>
        openWithShell;
    std::function<BOOL(SHELLEXECUTEINFOW* info)> executeWithShell;
    std::function<BOOL(OPENFILENAMEW* request)> chooseFileToOpen;
    std::function<BOOL(const wchar_t* application, const wchar_t* commandLine)> launchProcess;
    std::function<int(SHFILEOPSTRUCTW* operation)> shellFileOperation;
    std::function<bool(HWND owner, const wchar_t* title, UINT flags, const wchar_t* initialFolder,
                       std::wstring& chosen)>
        browseForFolder;
    std::function<BOOL(HMENU menu, UINT flags, int x, int y, HWND owner)> trackPopup;
};

// Installs replacements for its lifetime and puts the previous ones back after.
class ScopedModalSeam {
public:
    explicit ScopedModalSeam(ModalSeam replacement);
    ScopedModalSeam(const ScopedModalSeam&) = delete;
    ScopedModalSeam& operator=(const ScopedModalSeam&) = delete;
    ~ScopedModalSeam();

private:
    ModalSeam m_previous;
};
