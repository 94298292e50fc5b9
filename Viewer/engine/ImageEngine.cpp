#include "Viewer/engine/ImageEngine.h"
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/DecodeWorkerRules.h"
#include <shlwapi.h>

namespace {
constexpr DWORD RecordWaitMilliseconds = 300;
constexpr DWORD ChangedFileDecodeWait = 60000;
constexpr DWORD ListThreadStopWait = 60000;
// How long the frame waits before it shows the first picture: longer when an installed codec,
// not one of the viewer's native formats, has to start first.
constexpr LPARAM FirstPictureDelayNative = 25;
constexpr LPARAM FirstPictureDelayCodec = 75;
}

CImageEngine::CImageEngine(HWND* owner, bool disableSmp, bool colourProfile)
    : m_owner(owner),
      m_disableSmp(disableSmp),
      m_colourProfile(colourProfile),
      m_entries(EntryOrder{}),
      m_codecsReady(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    ThrowLastErrorIf(!m_codecsReady);
    ThrowIfFailed(m_factory.CoCreate(CLSID_WICImagingFactory));
    m_workerCount = DecodeWorkerCount(disableSmp, AppSettings::MemoryUsageGuideNumber,
                                      CountPhysicalCores());
    ClearList();
    ThrowIfFailed(m_listThread.Start(L"file list", [this](WorkerThread& self) { return RunFileList(self); },
                                     WorkerApartment::MultiThreaded, THREAD_PRIORITY_BELOW_NORMAL));
}

CImageEngine::~CImageEngine()
{
    m_copyQueue.Stop();
    m_scanner.Stop(TRUE);
    m_listThread.StopAndJoin(ListThreadStopWait);
    StopDecodeWorkers();
    WaitForEvictions();
    ClearList();
}

HRESULT CImageEngine::RunFileList(WorkerThread& self)
{
    while (!self.StopRequested()) {
        Bstr path;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (m_scanner.GetNextRecord(&path, &data, RecordWaitMilliseconds) != S_OK) continue;
        // One file that cannot be listed must not end the listing of the others.
        try {
            AddFileToList(path.c_str(), m_sortMode == 2 ? data.ftCreationTime : data.ftLastWriteTime, false);
        } catch (...) {
            TraceCaughtException(L"file list");
        }
    }
    return S_OK;
}

HRESULT CImageEngine::ListFolder(const wchar_t* folder, bool recursive, const wchar_t* file)
{
    return ListFolderMatching(BuildSupportedList(m_factory.Get(), m_codecsReady.Get()), folder, recursive, file);
}

HRESULT CImageEngine::ListFolderMatching(const std::wstring& supported, const wchar_t* folder, bool recursive,
                                         const wchar_t* file)
{
    m_scanner.Stop(TRUE);
    ClearList();
    if (folder) LoadFolderMarks(folder);
    return StartScan(supported, folder, recursive, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, file);
}

void CImageEngine::PrepareList(std::wstring supported)
{
    CriticalSectionScope list(m_listLock);
    ClearList();
    m_supported = std::move(supported);
}

void CImageEngine::ClearList()
{
    CriticalSectionScope list(m_listLock);
    ++m_generation;
    m_slots.ClearQuickSlots();
    m_bookmarks.ClearBookmarks();
    m_names.clear();
    m_sortMode = SortModeFromSetting(AppSettings::SortByDateTime);
    m_multiPage = AppSettings::EnableMultiFrameSupport != 0;
    m_entries = EntryMap(EntryOrder{m_sortMode});
    m_current = m_entries.end();
    m_position = 0;
    m_positionChanged = true;
}

void CImageEngine::LoadFolderMarks(const wchar_t* folder)
{
    BookmarkKeyTable keys;
    const std::wstring path = BookmarkFilePath(folder, AppSettings::ExternalBookmarkFileName.c_str());
    // A file that cannot be read gives no bookmarks; one that is not a bookmark file is also never
    // overwritten (the writer checks it again).
    if (ReadBookmarkFile(path.c_str(), keys) != S_OK) keys.clear();
    QuickSlotsRead slots;
    m_markedFolder = folder;
    m_volume = GetVolumeIdentity(folder);
    m_folderIdentity = ::GetFolderIdentityText(m_volume, folder);
    if (AppSettings::SaveBookmarksAcrossSessions) slots = ReadQuickSlots(m_folderIdentity);

    CriticalSectionScope list(m_listLock);
    CriticalSectionScope bookmarks(m_bookmarks.Lock());
    m_bookmarks.unresolvedBookmarks = static_cast<uint32_t>(m_bookmarks.Load(path, std::move(keys)));
    m_bookmarks.unresolvedSlots = static_cast<uint32_t>(m_slots.Load(slots.hashes, slots.pendingMask));
}

LONG CImageEngine::SaveQuickSlots()
{
    if (!m_slots.Changed()) return ERROR_SUCCESS;
    CQuickSlots::Hashes hashes = {};
    m_slots.TakeHashesToSave(hashes);
    if (!AppSettings::SaveBookmarksAcrossSessions || m_markedFolder.empty() || GetEntryCount() == 0)
        return ERROR_SUCCESS;
    // No slot with a listed picture: the folder's value is deleted.
    return WriteQuickSlots(m_folderIdentity, hashes);
}

HRESULT CImageEngine::SaveBookmarkFile()
{
    std::vector<BookmarkRecord> records;
    std::wstring path;
    {
        CriticalSectionScope bookmarks(m_bookmarks.Lock());
        if (!m_bookmarks.Changed() || m_bookmarks.FilePath().empty()) return S_FALSE;
        path = m_bookmarks.FilePath();
        for (auto& [key, name] : m_bookmarks.TakeLinesToSave()) records.push_back({std::move(key), std::move(name)});
    }
    // Written without the bookmark lock: the writer may ask the user, and the file list must not
    // wait for an answer.
    return WriteBookmarkFile(m_owner ? *m_owner : nullptr, path.c_str(), std::move(records));
}

bool CImageEngine::AddFileToList(const wchar_t* path, const FILETIME& time, bool newArrival)
{
    if (!path || !*path) return false;
    const std::wstring fullPath(path);
    const wchar_t* dot = PathFindExtensionW(fullPath.c_str());
    if (!*dot) return false;
    const std::wstring basePath(fullPath.c_str(), dot);
    const wchar_t* extension = dot + 1;

    uint64_t generation = 0;
    DWORD sortMode = 0;
    bool pageCandidate = false;
    EntryRef changed;
    {
        CriticalSectionScope list(m_listLock);
        if (m_ignored.count(fullPath) || !IsSupportedExtension(m_supported, dot)) return false;
        // The entry was re-keyed under the new name by the rename itself.
        if (m_renamesInProgress.erase(fullPath)) return true;
        generation = m_generation;
        sortMode = m_sortMode;
        pageCandidate = m_multiPage && IsMultiPageExtension(dot);
        if (!pageCandidate) {
            const KnownFile known = ListKnownSinglePage(basePath, extension, changed);
            if (known == KnownFile::Listed) return true;
        }
    }
    if (changed) {
        RefreshChangedEntry(changed, generation);
        return true;
    }

    // The file's own reading happens outside the list lock, which the user-interface thread needs
    // to move through the list.
    const UINT pages = pageCandidate ? GetPageCount(path) : 1;
    if (pages == 0) return true;
    const FILETIME sortTime = sortMode >= 3 ? ReadCaptureDate(path, time, sortMode == 4) : time;

    bool wasEmpty = false;
    bool deferred = false;
    uint32_t count = 0;
    {
        CriticalSectionScope list(m_listLock);
        if (generation != m_generation) return false;
        wasEmpty = m_entries.empty();
        if (pages >= 2) {
            if (PagesListed(basePath, extension)) return true;
            for (UINT page = 0; page < pages; ++page)
                AttachMarks(Insert(MakeEntry(this, basePath, &sortTime, static_cast<uint16_t>(page),
                                             static_cast<uint16_t>(pages), extension, newArrival)));
        } else {
            if (pageCandidate) {
                const KnownFile known = ListKnownSinglePage(basePath, extension, changed);
                if (known == KnownFile::Listed) return true;
            }
            if (!changed) AttachMarks(Insert(MakeEntry(this, basePath, &sortTime, 0, 1, extension, newArrival)));
        }
        count = static_cast<uint32_t>(m_entries.size());
        deferred = m_trackMode || m_deviceWatchMode;
    }
    if (changed) {
        RefreshChangedEntry(changed, generation);
        return true;
    }
    PostFileListed(basePath, extension, wasEmpty, count, deferred);
    return true;
}

CImageEngine::KnownFile CImageEngine::ListKnownSinglePage(const std::wstring& basePath, const wchar_t* extension,
                                                          EntryRef& changed)
{
    const auto [first, last] = m_names.equal_range(basePath.c_str());
    for (auto it = first; it != last; ++it) {
        CImageEntry* entry = it->second;
        if (entry->IsMultiPage()) continue;
        if (entry->AddCompanionExtension(extension)) return KnownFile::Listed;
        // The same file again: it changed on disk, unless the program caused the report itself.
        if (entry->TakeEntryFlag(EntryFlagOwnChange)) return KnownFile::Listed;
        if (!m_pendingOpenBase.empty() && SameFileName(m_pendingOpenBase, basePath)) {
            m_pendingOpenBase.clear();
            return KnownFile::Listed;
        }
        if (entry->TakeEntryFlag(EntryFlagNewArrival)) return KnownFile::Listed;
        changed = EntryRef(entry);
        return KnownFile::Changed;
    }
    return KnownFile::New;
}

bool CImageEngine::PagesListed(const std::wstring& basePath, const wchar_t* extension) const
{
    const auto [first, last] = m_names.equal_range(basePath.c_str());
    for (auto it = first; it != last; ++it)
        if (it->second->IsMultiPage() && SameFileName(it->second->GetExtensions().View(), extension)) return true;
    return false;
}

CImageEntry* CImageEngine::Insert(EntryRef entry)
{
    CImageEntry* raw = entry.Get();
    m_entries.insert(std::move(entry));
    m_names.emplace(raw->GetBasePath().c_str(), raw);
    m_positionChanged = true;
    return raw;
}

void CImageEngine::AttachMarks(CImageEntry* entry)
{
    CriticalSectionScope bookmarks(m_bookmarks.Lock());
    if (m_bookmarks.unresolvedSlots > 0 && m_slots.MatchQuickSlots(entry)) --m_bookmarks.unresolvedSlots;
    if (m_bookmarks.unresolvedBookmarks > 0 && m_bookmarks.IsEntryBookmarked(entry)) --m_bookmarks.unresolvedBookmarks;
}

void CImageEngine::RefreshChangedEntry(const EntryRef& entry, uint64_t generation)
{
    WaitForDecode(*entry, true, false, ChangedFileDecodeWait, nullptr);
    entry->EntryLockEnter();
    entry->ReleaseDecodedImage();
    entry->EntryLockLeave();

    CriticalSectionScope list(m_listLock);
    if (generation != m_generation) return;
    if (m_trackMode || m_deviceWatchMode)
        PostToFrame(WM_APP_OPEN_FILE_DEFERRED, m_entries.size(), 0, SysAllocString(entry->GetBasePath().c_str()));
    else
        PostToFrame(WM_APP_REFRESH_IF_CURRENT, reinterpret_cast<WPARAM>(entry.Get()), 0);
}

void CImageEngine::PostFileListed(const std::wstring& basePath, const wchar_t* extension, bool wasEmpty,
                                  uint32_t count, bool deferred) const noexcept
{
    if (deferred) {
        PostToFrame(WM_APP_OPEN_FILE_DEFERRED, count, 0, SysAllocString(basePath.c_str()));
        return;
    }
    const LPARAM delay = wasEmpty && !IsNativeExtension(extension) ? FirstPictureDelayCodec : FirstPictureDelayNative;
    PostToFrame(WM_APP_FILE_ADDED, wasEmpty ? 0 : count, delay);
}

void CImageEngine::PostToFrame(UINT message, WPARAM wParam, LPARAM lParam, BSTR ownedText) const noexcept
{
    const HWND frame = m_owner ? *m_owner : nullptr;
    if (ownedText) lParam = reinterpret_cast<LPARAM>(ownedText);
    if (!frame || !IsWindow(frame) || !PostMessageW(frame, message, wParam, lParam)) SysFreeString(ownedText);
}

uint32_t CImageEngine::GetEntryCount()
{
    CriticalSectionScope list(m_listLock);
    return static_cast<uint32_t>(m_entries.size());
}

std::vector<EntryRef> CImageEngine::GetEntries()
{
    CriticalSectionScope list(m_listLock);
    return {m_entries.begin(), m_entries.end()};
}

std::wstring CImageEngine::GetSupportedExtensions()
{
    CriticalSectionScope list(m_listLock);
    return m_supported;
}

void CImageEngine::SetWatchModes(bool trackMode, bool deviceWatchMode)
{
    CriticalSectionScope list(m_listLock);
    m_trackMode = trackMode;
    m_deviceWatchMode = deviceWatchMode;
}

void CImageEngine::SetPendingOpenPath(const wchar_t* path)
{
    std::wstring base = path ? path : L"";
    if (!base.empty()) PathRemoveExtensionW(base.data());
    base.resize(wcslen(base.c_str()));
    CriticalSectionScope list(m_listLock);
    m_pendingOpenBase = std::move(base);
}

void CImageEngine::AddRenameInProgress(const std::wstring& path)
{
    CriticalSectionScope list(m_listLock);
    m_renamesInProgress.insert(path);
}

void CImageEngine::SetPathIgnored(const wchar_t* path, bool ignored)
{
    if (!path) return;
    CriticalSectionScope list(m_listLock);
    if (ignored)
        m_ignored.insert(path);
    else
        m_ignored.erase(path);
}
