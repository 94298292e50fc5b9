#include "Viewer/engine/ImageEngine.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageList.h"
#include <memory>
#include <shlwapi.h>

namespace {
constexpr UINT IDS_FOLDER_CANNOT_BE_LISTED = 10127;
constexpr UINT IDS_LISTING_WATCHED = 10128;
constexpr UINT IDS_LISTING = 10129;
constexpr UINT IDS_LISTING_FIRST = 10130;
constexpr UINT IDS_SLOW_CODECS = 10133;
constexpr UINT IDS_MARKS_PENDING_TITLE = 10134;
constexpr UINT IDS_MARKS_PENDING = 10135;
constexpr UINT IDS_PRODUCT = 100;
constexpr DWORD SlowCodecsWait = 8000;
constexpr DWORD MarksRetryPause = 100;
}

bool CImageEngine::OpenFolder(const wchar_t* path, bool recursive, bool keepList, DWORD options, const wchar_t* file)
{
    if (!keepList) SaveMarksBeforeLeaving();
    m_scanner.Stop(TRUE);

    const bool first = !m_folderOpened;
    if (first) {
        SetStatusText(IDS_LISTING_FIRST);
        ResetEvent(m_codecsReady.Get());
        StartSlowCodecsNotice();
        m_folderOpened = true;
    } else {
        SetStatusText(ListingStatus());
    }
    if (!keepList) FlushCache(true);

    if (path) LoadFolderMarks(path);
    std::wstring supported = BuildSupportedList(m_factory.Get(), m_codecsReady.Get());
    if (first) SetStatusText(ListingStatus());
    if (FAILED(StartScan(std::move(supported), path, recursive, options, file))) {
        SetStatusText(IDS_FOLDER_CANNOT_BE_LISTED);
        return false;
    }
    return true;
}

HRESULT CImageEngine::StartScan(std::wstring supported, const wchar_t* folder, bool recursive, DWORD options,
                                const wchar_t* file)
{
    HRESULT hr = m_scanner.SetFilterSpec(supported.c_str());
    {
        CriticalSectionScope list(m_listLock);
        m_supported = std::move(supported);
    }
    if (SUCCEEDED(hr)) hr = folder ? m_scanner.SetFolder(folder, PathIsNetworkPathW(folder)) : E_INVALIDARG;
    if (SUCCEEDED(hr)) hr = m_scanner.SetRecursive(recursive);
    if (SUCCEEDED(hr)) hr = m_scanner.SetOptions(options);
    if (FAILED(hr)) return hr;
    if (file && m_scanner.QueryFile(file) == S_OK) {
        std::wstring base(file);
        PathRemoveExtensionW(base.data());
        base.resize(wcslen(base.c_str()));
        SetCurrentName(base.c_str());
    }
    return m_scanner.Start(CFolderScanner::StartMode::ScanOnThread);
}

void CImageEngine::SaveMarksBeforeLeaving()
{
    for (;;) {
        if (!MarksWaitForScan()) break;
        PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
        const std::wstring text = LoadResourceString(IDS_MARKS_PENDING);
        const std::wstring title = LoadResourceString(IDS_MARKS_PENDING_TITLE);
        const int answer = ShowMessageBox(m_owner ? *m_owner : nullptr, text.c_str(), title.c_str(),
                                          MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON2);
        // Abort: the marks of this folder are given up rather than saved without their pictures.
        if (answer == IDABORT) return;
        if (answer != IDRETRY) break;
        Sleep(MarksRetryPause);
    }
    SaveQuickSlots();
    SaveBookmarkFile();
}

bool CImageEngine::MarksWaitForScan()
{
    if (!m_slots.Changed() && !m_bookmarks.Changed()) return false;
    {
        CriticalSectionScope bookmarks(m_bookmarks.Lock());
        if (m_bookmarks.unresolvedSlots == 0 && m_bookmarks.unresolvedBookmarks == 0) return false;
    }
    return ScannerBusy();
}

bool CImageEngine::ScannerBusy()
{
    BOOL scanning = FALSE;
    DWORD records = 0;
    m_scanner.IsScanning(&scanning);
    m_scanner.GetRecordCount(&records);
    return scanning || records > 0;
}

UINT CImageEngine::ListingStatus()
{
    CriticalSectionScope list(m_listLock);
    return m_trackMode || m_deviceWatchMode ? IDS_LISTING_WATCHED : IDS_LISTING;
}

void CImageEngine::SetStatusText(UINT stringId) const
{
    const std::wstring text = LoadResourceString(stringId);
    SendToFrame(WM_APP_SET_STATUS_TEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CImageEngine::StartSlowCodecsNotice()
{
    HANDLE ready = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), m_codecsReady.Get(), GetCurrentProcess(), &ready, SYNCHRONIZE, FALSE, 0))
        return;
    auto readyEvent = std::make_shared<UniqueHandle>(ready);
    m_slowCodecsNotice.Start(L"slow codecs notice", [readyEvent](WorkerThread& self) {
        const HANDLE handles[] = {readyEvent->Get(), self.StopEvent()};
        if (WaitForMultipleObjects(2, handles, FALSE, SlowCodecsWait) != WAIT_TIMEOUT) return S_OK;
        const std::wstring text = LoadResourceString(IDS_SLOW_CODECS);
        const std::wstring title = LoadResourceString(IDS_PRODUCT);
        ShowMessageBox(nullptr, text.c_str(), title.c_str(), MB_ICONINFORMATION | MB_TASKMODAL | MB_TOPMOST);
        return S_OK;
    });
}
