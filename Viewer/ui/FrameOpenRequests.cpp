#include "Viewer/ui/FrameOpenRequests.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CommandLine.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/MyPictures.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/core/FolderNesting.h"
#include "Viewer/ui/MainFrame.h"
#include <shlwapi.h>

namespace {
constexpr UINT kWakeUpGuardMs = 4000;
constexpr DWORD kDefaultOpenOptions = 6;
constexpr DWORD kHiddenOption = 1u << 2;
constexpr DWORD kSystemOption = 1u << 4;
constexpr UINT kOpenCaptionString = 10085;
constexpr UINT kListRefusalString = 10086;
constexpr UINT kDropRefusalString = 10087;
constexpr UINT kMissingPathString = 10190;
constexpr UINT kKeepCopyInsideString = 10036;
constexpr UINT kTitleString = 100;
constexpr UINT kRestartString = 10077;

FILETIME LastWriteTime(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return FILETIME{};
    return data.ftLastWriteTime;
}
}

bool CFrameOpenRequests::OpenPath(const wchar_t* folder, const wchar_t* fileToSelect)
{
    m_frame.SetImageFolderPath(nullptr);
    if (!folder || !*folder) return false;
    if (!m_frame.Engine().OpenFolder(folder, AppSettings::SubFoldersBrowsing != 0, false, kDefaultOpenOptions,
                                     fileToSelect))
        return false;
    m_frame.SetImageFolderPath(folder);
    RecordForTest(L"open", folder);
    return true;
}

bool CFrameOpenRequests::SetSecondaryFolder(const wchar_t* folder)
{
    m_frame.SetKeepCopyFolderPath(nullptr);
    if (!folder || !m_frame.Engine().SetKeepCopyFolder(folder)) return false;
    m_frame.SetKeepCopyFolderPath(folder);
    RecordForTest(L"keep-copy", folder);
    return true;
}

void CFrameOpenRequests::OpenPathList(const std::wstring& list)
{
    LastActivityCode = 278.0;
    ResetImageList();
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(L'|', start), list.size());
        if (end > start) AddPath(list.substr(start, end - start).c_str(), true);
        start = end + 1;
    }
    FinishPathList();
}

void CFrameOpenRequests::ResetImageList()
{
    LastActivityCode = 275.0;
    m_frame.Modes().StopSlideshow();
    if (m_frame.Modes().IsTrackMode()) {
        LastActivityCode = 244.0;
        m_frame.Modes().ToggleTrackMode();
    }
    m_pathCount = 0;
    m_collecting = true;
    m_folderAdded = false;
    m_collectedFolder.clear();
    m_openOptions = kDefaultOpenOptions;
    m_frame.SetImageFolderPath(nullptr);
    // Opening no folder empties the list.
    m_frame.Engine().OpenFolder(nullptr, AppSettings::SubFoldersBrowsing != 0, false, kDefaultOpenOptions, nullptr);
    LastActivityCode = 275.99;
}

void CFrameOpenRequests::RefusePath(const wchar_t* path, bool fromList, bool missing)
{
    m_frame.ShowViewCursor();
    const std::wstring text = missing ? LoadUiString(kMissingPathString) + path
                                      : LoadUiString(fromList ? kListRefusalString : kDropRefusalString);
    ShowMessageBox(m_frame.m_hWnd, text.c_str(), LoadUiString(kOpenCaptionString).c_str(), MB_OK);
}

bool CFrameOpenRequests::AddPath(const wchar_t* path, bool fromList)
{
    LastActivityCode = 276.0;
    if (!path) return false;
    // The attributes tell a folder from a file also for a drive root or a path ending in "\",
    // which a search by name does not find.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        RefusePath(path, fromList, true);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) m_openOptions &= ~kHiddenOption;
    if (attributes & FILE_ATTRIBUTE_SYSTEM) m_openOptions &= ~kSystemOption;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (m_pathCount != 0) {
            RefusePath(path, fromList, false);
            return false;
        }
        m_pathCount = 1;
        m_folderAdded = true;
        return OpenChosenFolder(CanonicalFolderPath(path).c_str(), false);
    }
    if (m_folderAdded) {
        RefusePath(path, fromList, false);
        return false;
    }
    ++m_pathCount;
    CImageEngine& engine = m_frame.Engine();
    if (m_collectedFolder.empty()) {
        std::wstring folder(path);
        PathRemoveFileSpecW(folder.data());
        m_collectedFolder = folder.c_str();
        std::wstring base(path);
        PathRemoveExtensionW(base.data());
        engine.SetCurrentName(base.c_str());
    }
    engine.AddFileToList(path, LastWriteTime(path), true);
    return true;
}

void CFrameOpenRequests::FinishPathList()
{
    m_collecting = false;
    LastActivityCode = 277.0;
    CImageEngine& engine = m_frame.Engine();
    if (engine.GetEntryCount() != 0) {
        if (!m_collectedFolder.empty() &&
            engine.OpenFolder(m_collectedFolder.c_str(), AppSettings::SubFoldersBrowsing != 0, true, m_openOptions,
                              nullptr))
            m_frame.SetImageFolderPath(m_collectedFolder.c_str());
        if (!m_frame.ImageFolderPath().Empty()) {
            RegKey key;
            if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_WRITE) == ERROR_SUCCESS)
                key.SetString(L"LastPictureFolder", std::wstring(m_frame.ImageFolderPath().View()));
        }
    } else {
        m_frame.SystemCommands().ShowEmptyViewScreen(false);
    }
    m_frame.Caption().UpdateStatusLine(nullptr);
}

bool CFrameOpenRequests::OpenChosenFolder(const wchar_t* folder, bool alwaysShowEmptyView)
{
    LastActivityCode = 230.0;
    const std::wstring keepCopy(m_frame.KeepCopyFolderPath().View());
    if (!keepCopy.empty() && IsStrictlyInside(keepCopy, folder)) {
        m_frame.ShowViewCursor();
        ShowMessageBox(m_frame.m_hWnd, LoadUiString(kKeepCopyInsideString).c_str(), LoadUiString(kTitleString).c_str(),
                       MB_ICONHAND);
        return false;
    }
    const bool opened = OpenPath(folder, nullptr);
    if (!opened || alwaysShowEmptyView) m_frame.SystemCommands().ShowEmptyViewScreen(true);
    m_frame.Caption().SetTitleForEntry(m_frame.Engine().GetCurrentEntry(true), false, false);
    return opened;
}

void CFrameOpenRequests::ApplyStartMode()
{
    if (StartModes.autoStart) {
        StartModes.autoStart = FALSE;
        m_frame.Modes().ToggleAutoMode();
    } else if (StartModes.trackMode) {
        StartModes.trackMode = FALSE;
        m_frame.Modes().ToggleTrackMode();
    } else if (StartModes.deviceMode) {
        StartModes.deviceMode = FALSE;
        m_frame.Modes().ToggleDeviceMode();
    }
}

LRESULT CFrameOpenRequests::OnWakeUp(UINT, WPARAM atomParam, LPARAM, BOOL&)
{
    LastActivityCode = 270.0;
    const ATOM atom = static_cast<ATOM>(atomParam);
    wchar_t text[1040]{};
    if (!GlobalGetAtomNameW(atom, text, static_cast<int>(std::size(text)))) return 0;
    GlobalDeleteAtom(atom);
    RecordForTest(L"wake-up", text);
    if (m_recentlyWoken) return 0;
    if (IsIconic(m_frame.m_hWnd)) PostMessageW(m_frame.m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    m_frame.RaiseAboveOthersOnce();
    ApplyWakeUpText(text);
    LastActivityCode = 270.99;
    return 0;
}

void CFrameOpenRequests::ApplyWakeUpText(const wchar_t* text)
{
    CommandLine arguments(text, true);
    if (!arguments.FindOption(L"i*mageFolder")) {
        const std::wstring free = arguments.GetPositionalArgument(false, false, L"|");
        if (!free.empty()) OpenPathList(free);
        return;
    }
    const std::wstring value = arguments.GetOptionValue(L"i*mageFolder");
    const std::wstring folder = value.empty() ? MyPicturesFolder() : value;
    if (!OpenPath(folder.c_str(), nullptr)) return;
    const std::wstring keepCopyFolder = arguments.GetOptionValue(L"c*opyFolder");
    if (!keepCopyFolder.empty()) SetSecondaryFolder(keepCopyFolder.c_str());
    if (value.empty()) return;
    // Within the guard, further wake-ups only lose their atom: the shell may wake twice for one open.
    m_recentlyWoken = true;
    SetTimer(m_frame.m_hWnd, TIMER_FRAME_RECENTLY_WOKEN, kWakeUpGuardMs, nullptr);
}

LRESULT CFrameOpenRequests::OnRestartWithoutHardwareAcceleration(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 266.0;
    HWND frame = m_frame.m_hWnd;
    m_frame.ShowViewCursor();
    ShowMessageBox(frame, LoadUiString(kRestartString).c_str(), LoadUiString(kTitleString).c_str(), MB_ICONHAND);
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_WRITE) == ERROR_SUCCESS) key.SetDword(L"DisableHWA", 1);
    std::wstring parameters;
    if (!m_frame.ImageFolderPath().Empty()) parameters += L" -i \"" + std::wstring(m_frame.ImageFolderPath().View()) + L"\"";
    if (!m_frame.KeepCopyFolderPath().Empty())
        parameters += L" -c \"" + std::wstring(m_frame.KeepCopyFolderPath().View()) + L"\"";
    CloseInstanceEvent();
    PostMessageW(frame, WM_CLOSE, 0, 0);
    wchar_t program[MAX_PATH]{};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    OpenWithShell(nullptr, L"open", program, parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return 0;
}
