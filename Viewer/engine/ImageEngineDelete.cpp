// Delete: the current picture with its companions and sidecar goes to the Recycle Bin, or is deleted
// for good, through the shell's file operation, which asks the user in its own words.
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/EntryFiles.h"
#include "Viewer/engine/ExtensionList.h"
#include "Viewer/engine/ImageEngine.h"
#include <shellapi.h>
#include <shlwapi.h>

namespace {
constexpr UINT IDS_COPIES_PENDING = 10139;
constexpr UINT IDS_DELETE_CAPTION = 10140;
constexpr DWORD PendingRetryPause = 500;

// The shell's list of paths: each ended by a NUL, and one more NUL at the end.
std::wstring ShellPathList(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list += L'\0';
    }
    list += L'\0';
    return list;
}
}

bool CImageEngine::OwnFilesLeft(const CImageEntry& entry)
{
    bool left = false;
    ForEachExtension(entry.GetExtensions().View(), [&](std::wstring_view extension) {
        left = left || PathFileExistsW((entry.GetBasePath() + L"." + std::wstring(extension)).c_str());
    });
    return left;
}

bool CImageEngine::DeleteOrMoveCurrent(bool recycle)
{
    EntryRef entry;
    {
        CriticalSectionScope list(m_listLock);
        if (HasCurrent()) entry = *m_current;
    }
    if (!entry) return false;
    const HWND frame = m_owner ? *m_owner : nullptr;
    // Asked without the list lock: the copy worker may need it to finish the very jobs waited for.
    while (entry->CopiesPending()) {
        PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
        if (ShowMessageBox(frame, LoadResourceString(IDS_COPIES_PENDING).c_str(),
                           LoadResourceString(IDS_DELETE_CAPTION).c_str(),
                           MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY)
            return false;
        Sleep(PendingRetryPause);
    }

    {
        // Held across the shell's questions: no decode or listing touches the picture meanwhile.
        CriticalSectionScope list(m_listLock);
        if (!HasCurrent() || *m_current != entry) return false;
        std::vector<std::wstring> files = EntryFilesWithSidecar(*entry);
        std::erase_if(files, [](const std::wstring& file) { return !PathFileExistsW(file.c_str()); });
        if (files.empty()) return false;
        const std::wstring from = ShellPathList(files);
        SHFILEOPSTRUCTW operation{};
        operation.hwnd = frame;
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_WANTNUKEWARNING | (recycle ? FOF_ALLOWUNDO : 0);
        if (frame) EnableWindow(frame, FALSE);
        PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
        const int result = RunShellFileOperation(&operation);
        if (frame) EnableWindow(frame, TRUE);
        // Declined or failed: the entry stays while one of its picture files is still there; a
        // sidecar left behind does not keep it.
        const bool gone = (result == 0 && !operation.fAnyOperationsAborted) || !OwnFilesLeft(*entry);
        if (!gone) return false;
    }
    // Outside the list lock: the removal waits for a decode of the entry that may need the lock.
    RemoveCurrentEntry();
    return true;
}
