// Keep copy: the current picture with its companions and sidecar goes to the keep-copy folder,
// copied or moved by the copy queue's worker while the user browses on.
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/engine/EntryFiles.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/engine/KeepCopyFiles.h"
#include <shlwapi.h>
#include <cstdio>

namespace {
constexpr UINT IDS_MOVE_CAPTION = 10137;
constexpr UINT IDS_FILE_IN_USE = 10138;
constexpr UINT IDS_REPLACE_CAPTION = 10141;
constexpr UINT IDS_REPLACE_FILE = 10142;

// "20240305_140709_0000_": the process's start time and the action's number, shared by every file
// of one action.
std::wstring NextPrefix()
{
    const SYSTEMTIME& t = ProgramStartTime;
    wchar_t prefix[32]{};
    _snwprintf(prefix, std::size(prefix) - 1, L"%04u%02u%02u_%02u%02u%02u_%04u_", t.wYear, t.wMonth, t.wDay, t.wHour,
               t.wMinute, t.wSecond, KeepCopyPrefixCounter++);
    return prefix;
}

// Keeps an entry marked as still queueing copies for the scope.
class QueueingScope {
public:
    explicit QueueingScope(CImageEntry& entry) : m_entry(entry) { m_entry.SetQueueingCopies(true); }
    QueueingScope(const QueueingScope&) = delete;
    QueueingScope& operator=(const QueueingScope&) = delete;
    ~QueueingScope() { m_entry.SetQueueingCopies(false); }

private:
    CImageEntry& m_entry;
};
}

std::wstring CImageEngine::GetKeepCopyFolderFor(const wchar_t* source)
{
    const std::wstring keepCopy = GetKeepCopyFolder();
    if (keepCopy.empty() || !AppSettings::PreserveSourceFolderHierarchy || !source) return keepCopy;
    wchar_t folder[MAX_PATH]{};
    if (wcslen(source) >= MAX_PATH || keepCopy.size() >= MAX_PATH) return {};
    wcscpy(folder, source);
    PathRemoveFileSpecW(folder);
    Bstr opened;
    m_scanner.GetFolder(&opened);
    wchar_t common[MAX_PATH]{};
    const int shared = opened.Empty() ? 0 : PathCommonPrefixW(opened.c_str(), folder, common);
    // Below the open folder the file keeps its subfolders; from another drive its whole path.
    const wchar_t* below = shared > 0 ? folder + shared : PathSkipRootW(folder);
    wchar_t target[MAX_PATH]{};
    wcscpy(target, keepCopy.c_str());
    if (below && *below && !PathAppendW(target, below)) return {};
    return target;
}

bool CImageEngine::FilesAreFree(const std::vector<std::wstring>& files)
{
    for (const std::wstring& file : files) {
        UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!handle) return false;
    }
    return true;
}

bool CImageEngine::AskToReplace(const std::wstring& target) const
{
    wchar_t text[2048];
    wnsprintfW(text, static_cast<int>(std::size(text)), LoadResourceString(IDS_REPLACE_FILE).c_str(), target.c_str());
    PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
    return ShowMessageBox(m_owner ? *m_owner : nullptr, text, LoadResourceString(IDS_REPLACE_CAPTION).c_str(),
                          MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

bool CImageEngine::KeepCopy(bool overwrite, bool move)
{
    EntryRef entry;
    std::vector<std::wstring> files;
    {
        CriticalSectionScope list(m_listLock);
        if (HasCurrent()) {
            entry = *m_current;
            files = EntryFilesWithSidecar(*entry);
        }
    }
    if (!entry) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    const std::wstring prefix = AppSettings::EnableFilePrefixes ? NextPrefix() : std::wstring();
    if (move && !FilesAreFree(files)) {
        PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
        ShowMessageBox(m_owner ? *m_owner : nullptr, LoadResourceString(IDS_FILE_IN_USE).c_str(),
                       LoadResourceString(IDS_MOVE_CAPTION).c_str(), MB_ICONHAND);
        return false;
    }

    bool incomplete = false;
    {
        const QueueingScope queueing(*entry);
        for (const std::wstring& file : files) {
            const std::wstring folder = GetKeepCopyFolderFor(file.c_str());
            if (folder.empty()) return false;
            std::wstring target = folder;
            if (target.back() != L'\\') target += L'\\';
            target += prefix + PathFindFileNameW(file.c_str());
            // A file that is its own target (the keep-copy folder is its folder) stays as it is, as
            // if replacing it had been refused: a move must not delete the only copy.
            const bool exists = PathFileExistsW(target.c_str()) != FALSE;
            const bool refused = exists && (IsSameFile(file, target) || (!overwrite && !AskToReplace(target)));
            if (!refused) {
                if (FAILED(m_copyQueue.Enqueue(entry.Get(), file, target, move))) return false;
                continue;
            }
            // A sidecar left out does not make the action incomplete: the picture is kept.
            if (StrCmpIW(PathFindExtensionW(file.c_str()), L".xmp") != 0) incomplete = true;
        }
    }
    if (!move) return true;
    if (incomplete) return false;
    {
        // The boxes above let messages through: only the entry that was moved leaves the list.
        CriticalSectionScope list(m_listLock);
        if (!HasCurrent() || *m_current != entry) return true;
    }
    RemoveCurrentEntry();
    return true;
}
