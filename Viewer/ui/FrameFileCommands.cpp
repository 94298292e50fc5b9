#include "Viewer/ui/FrameFileCommands.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FolderNesting.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ExtensionList.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"
#include <shlobj.h>
#include <shlwapi.h>

namespace {
constexpr WORD kMoveCode = 0xFFFF;
constexpr DWORD kDecodeWaitMs = 60000;
constexpr size_t kCommandLineLimit = 519;
constexpr size_t kRememberedFolderLimit = 260;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
constexpr wchar_t kLastPictureFolder[] = L"LastPictureFolder";
constexpr wchar_t kLastKeepCopyFolder[] = L"LastKeepCopyFolder";

constexpr UINT kTitleString = 100;
constexpr UINT kDeletionOffCaption = 10031;
constexpr UINT kDeletionOffText = 10032;
constexpr UINT kOpenAskedTitle = 10033;
constexpr UINT kOpenWithSubfoldersTitle = 10034;
constexpr UINT kOpenTitle = 10035;
constexpr UINT kKeepCopyTitle = 10037;
constexpr UINT kKeepCopyInsideText = 10038;
constexpr UINT kNoImageFolderCaption = 10039;
constexpr UINT kNoImageFolderText = 10040;
constexpr UINT kKeepCopyFolderCaption = 10041;
constexpr UINT kOpenKeepCopyQuestion = 10042;
constexpr UINT kNoKeepCopyFolderText = 10043;

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

bool CanBeCurrentDirectory(const std::wstring& folder)
{
    wchar_t previous[MAX_PATH]{};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
    const bool can = SetCurrentDirectoryW(folder.c_str()) != FALSE;
    if (length > 0 && length < MAX_PATH) SetCurrentDirectoryW(previous);
    return can;
}

// Where a folder dialog opens: the folder in use, else the one remembered under the value when it
// still exists; one that cannot be entered is passed over for the special folder.
std::wstring InitialFolder(const std::wstring& inUse, const wchar_t* rememberedValue, int specialFolder)
{
    std::wstring folder = inUse;
    if (folder.empty()) {
        RegKey key;
        if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) == ERROR_SUCCESS) {
            const std::wstring remembered = key.QueryString(rememberedValue, kRememberedFolderLimit).value_or(L"");
            if (!remembered.empty() && PathIsDirectoryW(remembered.c_str())) folder = remembered;
        }
    }
    if (!folder.empty() && !CanBeCurrentDirectory(folder)) folder.clear();
    if (folder.empty()) {
        wchar_t special[MAX_PATH]{};
        if (SHGetSpecialFolderPathW(nullptr, special, specialFolder, FALSE)) folder = special;
    }
    return folder;
}

void Remember(const wchar_t* value, const std::wstring& folder)
{
    RegKey key;
    if (key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_WRITE) == ERROR_SUCCESS) key.SetString(value, folder);
}

std::wstring FolderOfBase(const std::wstring& basePath)
{
    std::wstring folder = basePath;
    PathRemoveFileSpecW(folder.data());
    folder.resize(wcslen(folder.c_str()));
    return folder;
}
}

std::wstring ExplorerArgument(const CImageEntry* entry, const std::wstring& imageFolder)
{
    if (!entry) return L"/e,/root," + Quoted(imageFolder);
    const std::wstring& base = entry->GetBasePath();
    std::wstring selected;
    if (!entry->GetDecodedExtension().Empty()) {
        selected = base + L"." + std::wstring(entry->GetDecodedExtension().View());
    } else {
        ForEachExtension(entry->GetExtensions().View(), [&](std::wstring_view extension) {
            const std::wstring file = base + L"." + std::wstring(extension);
            if (selected.empty() && PathFileExistsW(file.c_str())) selected = file;
        });
    }
    if (selected.empty()) return L"/e,/root," + Quoted(FolderOfBase(base));
    return L"/e,/select," + Quoted(selected);
}

void CFrameFileCommands::LaunchExplorer(const std::wstring& argument)
{
    wchar_t explorer[MAX_PATH]{};
    GetWindowsDirectoryW(explorer, MAX_PATH);
    PathAppendW(explorer, L"Explorer.exe");
    std::wstring commandLine = std::wstring(explorer) + L" " + argument;
    if (commandLine.size() > kCommandLineLimit) commandLine.resize(kCommandLineLimit);
    m_frame.ShowViewCursor();
    // A failed start is not reported: Explorer is only a convenience.
    LaunchProcess(nullptr, commandLine.c_str());
}

std::wstring CFrameFileCommands::BrowseFrom(const std::wstring& initialFolder, UINT titleString)
{
    HWND owner = m_frame.IsWindow() ? m_frame.m_hWnd : GetActiveWindow();
    std::wstring chosen;
    if (!BrowseForFolder(owner, LoadUiString(titleString).c_str(), kBrowseFlags, initialFolder.c_str(), chosen))
        chosen.clear();
    return chosen;
}

void CFrameFileCommands::ShowCurrentAfterChange(bool abortable, bool fromKeyboard)
{
    if (CImageEntry* entry = m_frame.Engine().GetCurrentEntry()) {
        const HRESULT shown = m_frame.Navigation().ShowEntry(entry, abortable);
        if (shown == S_OK && fromKeyboard) m_frame.ArmBarAutoHide(CMainFrame::kBarHideAfterKeyMs);
    } else {
        m_frame.SystemCommands().ShowEmptyViewScreen(false);
    }
}

// A rating just given may still be on its way into the files: a kept copy must carry it, and a moved
// or deleted picture must not have its sidecar made again at the old place.
void CFrameFileCommands::WaitForPendingWrites()
{
    if (CImageEntry* entry = m_frame.Engine().GetCurrentEntry(true)) m_frame.RatingCommands().Writer().WaitForEntry(entry);
}

void CFrameFileCommands::KeepCopy(WORD code)
{
    LastActivityCode = 225.0;
    const bool move = code == kMoveCode || QueryKeyState(VK_MENU) < 0;
    if (m_frame.KeepCopyFolderPath().Empty()) ChooseKeepCopyFolder();
    if (m_frame.KeepCopyFolderPath().Empty()) return;
    WaitForPendingWrites();
    if (!m_frame.Engine().KeepCopy(AppSettings::EnableFileOwerwrite != 0, move)) return;
    // Shown again so that the copied mark is drawn, or the next picture after a move.
    if (move || AppSettings::EnableCopiedStampOverlay)
        ShowCurrentAfterChange(false, code == CMainFrame::kFromKeyboard);
}

LRESULT CFrameFileCommands::OnKeepCopy(WORD code, WORD, HWND, BOOL&)
{
    KeepCopy(code);
    return 0;
}

LRESULT CFrameFileCommands::OnKeepCopyAlt(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 224.0;
    KeepCopy(kMoveCode);
    return 0;
}

LRESULT CFrameFileCommands::OnDeleteImage(WORD code, WORD, HWND, BOOL&)
{
    LastActivityCode = 226.0;
    if (!AppSettings::EnableFileDeletion) {
        m_frame.ShowViewCursor();
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kDeletionOffText).c_str(),
                       LoadUiString(kDeletionOffCaption).c_str(), MB_OK);
        return 0;
    }
    CImageEngine& engine = m_frame.Engine();
    if (engine.IsListEmpty()) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    WaitForPendingWrites();
    if (engine.DeleteOrMoveCurrent(AppSettings::EnableMoveToRecycleBin != 0))
        ShowCurrentAfterChange(true, code == CMainFrame::kFromKeyboard);
    return 0;
}

LRESULT CFrameFileCommands::OnShowInExplorer(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 227.0;
    CImageEngine& engine = m_frame.Engine();
    const std::wstring imageFolder(m_frame.ImageFolderPath().View());
    std::wstring argument;
    {
        CriticalSectionScope list(engine.ListLock());
        CImageEntry* entry = engine.GetCurrentEntry(true);
        if (entry || !imageFolder.empty()) argument = ExplorerArgument(entry, imageFolder);
    }
    if (argument.empty()) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    LaunchExplorer(argument);
    return 0;
}

LRESULT CFrameFileCommands::OnExploreKeepCopyFolder(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 228.0;
    const std::wstring keepCopy(m_frame.KeepCopyFolderPath().View());
    if (keepCopy.empty()) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    LaunchExplorer(L"/e,/root," + Quoted(keepCopy));
    return 0;
}

void CFrameFileCommands::ChooseImageFolder(bool asked)
{
    LastActivityCode = 229.0;
    m_frame.ShowViewCursor();
    m_frame.Engine().SetCurrentName(nullptr);
    const UINT title = asked ? kOpenAskedTitle : AppSettings::SubFoldersBrowsing ? kOpenWithSubfoldersTitle : kOpenTitle;
    const std::wstring initial =
        InitialFolder(std::wstring(m_frame.ImageFolderPath().View()), kLastPictureFolder, CSIDL_MYPICTURES);
    const std::wstring chosen = BrowseFrom(initial, title);
    if (chosen.empty() || !m_frame.OpenRequests().OpenChosenFolder(chosen.c_str(), true)) return;
    Remember(kLastPictureFolder, std::wstring(m_frame.ImageFolderPath().View()));
    // Track mode waits for files that a network folder does not report.
    if (PathIsNetworkPathW(chosen.c_str()) && m_frame.Modes().IsTrackMode()) m_frame.Modes().ToggleTrackMode();
}

LRESULT CFrameFileCommands::OnOpenFolder(WORD, WORD, HWND control, BOOL&)
{
    ChooseImageFolder(reinterpret_cast<LPARAM>(control) == -1);
    return 0;
}

void CFrameFileCommands::ChooseKeepCopyFolder()
{
    LastActivityCode = 231.0;
    const std::wstring imageFolder(m_frame.ImageFolderPath().View());
    bool chosenOk = false;
    if (imageFolder.empty()) {
        m_frame.ShowViewCursor();
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kNoImageFolderText).c_str(),
                       LoadUiString(kNoImageFolderCaption).c_str(), MB_ICONEXCLAMATION);
    } else {
        const std::wstring initial =
            InitialFolder(std::wstring(m_frame.KeepCopyFolderPath().View()), kLastKeepCopyFolder, CSIDL_PERSONAL);
        m_frame.ShowViewCursor();
        const std::wstring chosen = BrowseFrom(initial, kKeepCopyTitle);
        if (!chosen.empty() && IsStrictlyInside(chosen, imageFolder)) {
            m_frame.ShowViewCursor();
            ShowMessageBox(m_frame.m_hWnd, LoadUiString(kKeepCopyInsideText).c_str(),
                           LoadUiString(kTitleString).c_str(), MB_ICONHAND);
        } else if (!chosen.empty()) {
            chosenOk = m_frame.OpenRequests().SetSecondaryFolder(chosen.c_str());
        }
    }
    if (chosenOk)
        Remember(kLastKeepCopyFolder, std::wstring(m_frame.KeepCopyFolderPath().View()));
    else
        m_frame.SetKeepCopyFolderPath(nullptr);  // no copies are kept until a folder is chosen again
}

LRESULT CFrameFileCommands::OnChooseKeepCopyFolder(WORD, WORD, HWND, BOOL&)
{
    ChooseKeepCopyFolder();
    return 0;
}

LRESULT CFrameFileCommands::OnOpenKeepCopyFolder(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 232.0;
    m_frame.ShowViewCursor();
    const std::wstring keepCopy(m_frame.KeepCopyFolderPath().View());
    const std::wstring caption = LoadUiString(kKeepCopyFolderCaption);
    if (keepCopy.empty()) {
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kNoKeepCopyFolderText).c_str(), caption.c_str(),
                       MB_ICONEXCLAMATION);
        return 0;
    }
    if (ShowMessageBox(m_frame.m_hWnd, LoadUiString(kOpenKeepCopyQuestion).c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    m_frame.SystemCommands().ShowEmptyViewScreen(false);
    m_frame.OpenRequests().OpenPath(keepCopy.c_str(), nullptr);
    m_frame.SetKeepCopyFolderPath(nullptr);
    m_frame.Caption().SetTitleForEntry(m_frame.Engine().GetCurrentEntry(true), false, false);
    return 0;
}
