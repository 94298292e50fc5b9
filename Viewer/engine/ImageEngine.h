#pragma once
// The document behind the main window: the sorted image list of the open folder, filled on the
// engine's file-list thread from the folder scanner's records, with the bookmarks and quick slots
// that attach to its entries as they are listed.
//
// Locks, in the order they may be taken: the list lock (both maps, the count, the list's settings),
// then the bookmark lock, then the slot lock; an entry's own lock is taken before all of them (or
// only tried under them). No thread sends to the frame window while it holds
// any of them; the list thread only posts.
#include "Framework/ComPtr.h"
#include "Framework/CriticalSection.h"
#include "Framework/UniqueHandle.h"
#include "Framework/WorkerThread.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/engine/BookmarkFile.h"
#include "Viewer/engine/BookmarkStore.h"
#include "Viewer/engine/CacheSizer.h"
#include "Viewer/engine/CopyQueue.h"
#include "Viewer/engine/DecodeQueue.h"
#include "Viewer/engine/FolderScanner.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/ImageList.h"
#include "Viewer/engine/NaturalOrder.h"
#include "Viewer/engine/QuickSlotStore.h"
#include "Viewer/engine/QuickSlots.h"
#include <windows.h>
#include <wincodec.h>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct BookmarkPrefixRequest;

class CImageEngine {
public:
    // owner: the frame's window-handle member; the engine posts to that window while it exists.
    // Creates the engine's imaging factory (COM must be initialised on the calling thread) and
    // starts the file-list thread. Throws the failing HRESULT.
    CImageEngine(HWND* owner, bool disableSmp, bool colourProfile);
    CImageEngine(const CImageEngine&) = delete;
    CImageEngine& operator=(const CImageEngine&) = delete;
    virtual ~CImageEngine();

    // Empties the list and starts listing the folder (with its subfolders when recursive): builds
    // the supported list from the installed codecs, gives it to the scanner as its filter and starts
    // the scan and the watch. file, when given, is queued before the scan and shown once listed.
    // Returns the scanner's failure when the folder cannot be listed.
    HRESULT ListFolder(const wchar_t* folder, bool recursive, const wchar_t* file = nullptr);
    // The same with the given supported list ("*.jpg;*.cr2;...") instead of the codecs' one.
    HRESULT ListFolderMatching(const std::wstring& supported, const wchar_t* folder, bool recursive,
                               const wchar_t* file = nullptr);
    // Empties the list and takes the supported list for the next listing.
    void PrepareList(std::wstring supported);
    // Empties the list, the quick slots' entries and the bookmarks' entries, and takes the list
    // settings ("SortByDateTime", "EnableMultiFrameSupport") for the next listing.
    void ClearList();

    // Lists one file: a new entry (one per page of a multi-page file), a companion of an entry with
    // the same base path, or a change of a listed file. False when the file is rejected (ignored,
    // no extension, not supported). time: the file time to sort by when no capture date is used.
    bool AddFileToList(const wchar_t* path, const FILETIME& time, bool newArrival);

    // The list lock; re-entrant on one thread.
    CriticalSection& ListLock() noexcept { return m_listLock; }
    uint32_t GetEntryCount();
    // The entries in list order, each with a reference.
    std::vector<EntryRef> GetEntries();
    // The supported list of the last listing: "*.jpg;*.jpeg;...".
    std::wstring GetSupportedExtensions();
    // Set once a codec has answered for the supported list.
    HANDLE CodecsReadyEvent() const noexcept { return m_codecsReady.Get(); }

    // The frame's watch modes: in either, new files are offered to the frame with
    // WM_APP_OPEN_FILE_DEFERRED instead of being shown as the list grows.
    void SetWatchModes(bool trackMode, bool deviceWatchMode);
    // The path the frame is about to open; a change report of that file is not a change.
    void SetPendingOpenPath(const wchar_t* path);
    // Paths that the program itself moves or deletes are not listed while ignored.
    void SetPathIgnored(const wchar_t* path, bool ignored);
    // A path a listed file is about to be renamed to: its first report is not a new file. Made before
    // the move, so that the watcher cannot report the file first.
    void AddRenameInProgress(const std::wstring& path);

    // Reads the folder's bookmark file and its quick slots; the listed entries find them as they are
    // listed. ListFolder does this for the folder it lists.
    void LoadFolderMarks(const wchar_t* folder);
    // Saves the quick slots of the folder last loaded (or deletes its value when no slot holds a
    // listed picture), when they changed. A Win32 error code.
    LONG SaveQuickSlots();
    // Writes the folder's bookmark file when bookmarks were added or removed; S_FALSE when there was
    // nothing to write. The user is asked to retry when the file cannot be written.
    HRESULT SaveBookmarkFile();

    // Document operations: the user's marks on an entry and on every page of its file, renaming, the
    // keep-copy folder and the folder's identity. entry: listed in this engine, or of no engine.
    HRESULT SetCopiedForGroup(CImageEntry* entry, bool value);
    // Also counts the marked pages groups (one per group that was marked).
    HRESULT SetMarkedForGroup(CImageEntry* entry, bool value);
    HRESULT SetRatingForGroup(CImageEntry* entry, int32_t value);
    HRESULT SetLabelForGroup(CImageEntry* entry, int32_t label, int32_t convention);
    HRESULT SetUrgencyForGroup(CImageEntry* entry, int32_t value);
    void ClearCopiedAll();
    void ClearMarks();
    uint32_t GetMarkedCount();
    // After the entry's file got a new name: re-keys the entry and tells the frame
    // (WM_APP_ENTRY_INSERTED), which rebuilds its title when this is the current entry.
    void RenameEntry(CImageEntry* entry, const std::wstring& newBasePath);
    // True when the path is an existing folder: it becomes the keep-copy folder and every copied mark
    // is cleared. False changes nothing.
    bool SetKeepCopyFolder(const wchar_t* path);
    std::wstring GetKeepCopyFolder();
    // The text the quick slots of a folder are stored under, from the volume of the folder whose marks
    // were loaded; empty without a folder.
    std::wstring GetFolderIdentityText(const wchar_t* folder) const;
    // Opens a folder (null: only empties the list): saves the marks of the folder left (asking while
    // they still wait for their files), empties the list unless keepList, loads the folder's marks and
    // starts the scan with the codecs' supported list. file: shown once it is listed. options: the
    // attributes of the files the scan skips. The frame is told the status. False when the folder
    // cannot be listed.
    bool OpenFolder(const wchar_t* path, bool recursive, bool keepList, DWORD options, const wchar_t* file);
    // Services for the main window: its rating, label and urgency commands do nothing while the list
    // is empty.
    bool IsListEmpty();
    // The slider's preview of the entry at the 1-based position, without moving: "base.extensions",
    // which the caller frees; null outside the list, where the outputs are not written. The entry is
    // valid while the caller holds the list lock; sortTime may be null.
    BSTR GetEntryTextAt(uint32_t position, FILETIME* sortTime, CImageEntry** entry);

    // ---- Quick slots and named bookmarks of the current picture ----
    // Stores the current entry in slot 0..9, taking it out of any other slot; false for another slot
    // number or an empty list.
    bool SetQuickSlot(int slot);
    // Runs the prefix dialog, given by the layer that has it, modally over the owner for the request;
    // IDOK when the user chose. Without one no prefix can be chosen.
    using PrefixChooser = std::function<INT_PTR(HWND owner, BookmarkPrefixRequest& request)>;
    void SetPrefixChooser(PrefixChooser chooser) { m_prefixChooser = std::move(chooser); }
    // Asks the user for the prefix of new bookmark names when there is none yet, or always when
    // forced. False when the user cancelled: the prefix stays as it was.
    bool ChooseBookmarkPrefix(const wchar_t* picturePath, bool force);
    // The first name of the stored prefix style and a running number that no bookmark has.
    Bstr MakeBookmarkName(CImageEntry* entry);
    // Bookmarks the current picture under a new name. With Shift the prefix is asked again and a
    // bookmarked picture is renamed; with Control a bookmarked picture loses its bookmark once the
    // user confirms, and a new bookmark takes the prefix without asking. Returns the new name; null
    // after a removal or when nothing changed (a beep tells why where the user cannot see it).
    Bstr ToggleBookmark();
    // Asks the frame (WM_APP_GO_TO_ENTRY) to show the next or previous bookmarked picture, wrapping
    // round the list as the navigation does. Returns its bookmark name; null, with a beep, when there
    // is none.
    Bstr GoToNextBookmark();
    Bstr GoToPreviousBookmark();
    // ---- Keep copy and delete ----
    // The folder below the keep-copy folder into which the file goes: the keep-copy folder itself,
    // or with "PreserveSourceFolderHierarchy" its subfolder that repeats the file's folder below the
    // open folder (or, on another drive, the file's whole folder path without its root). Empty when
    // no keep-copy folder is set.
    std::wstring GetKeepCopyFolderFor(const wchar_t* source);
    // Queues the current picture's files (its companions and sidecar with it) for copying, or moving,
    // into the keep-copy folder, after asking before each existing target unless overwrite. A move
    // takes the entry out of the list once every file of the picture was queued. True when done.
    bool KeepCopy(bool overwrite, bool move);
    // Deletes the current picture's files (into the Recycle Bin when recycle) through the shell,
    // which asks the user, and takes the entry out of the list. Refused while keep-copy jobs of the
    // picture are pending, until they are done or the user cancels. True when the picture is gone.
    bool DeleteOrMoveCurrent(bool recycle);
    CCopyQueue& CopyQueue() noexcept { return m_copyQueue; }

    CFolderScanner& Scanner() noexcept { return m_scanner; }
    CBookmarkStore& Bookmarks() noexcept { return m_bookmarks; }
    CQuickSlots& QuickSlots() noexcept { return m_slots; }

    // ---- Decode workers, prefetch window and cache, navigation ----
    // The engine's memory reading: free bytes and load. Without one the engine reads the device's
    // texture memory, or the system's memory without a device.
    using MemoryProbe = std::function<MemoryReading()>;
    // Before the workers start (they read these without a lock).
    void SetDecodeDisplay(const DecodeDisplay& display, UINT totalTextureMemory, bool useSurfaces);
    void SetMemoryProbe(MemoryProbe probe) { m_memoryProbe = std::move(probe); }
    void SetWorkerStartDelay(DWORD perWorkerMilliseconds) noexcept { m_workerStartDelay = perWorkerMilliseconds; }
    // How a worker waits out its start delay: true when it was stopped meanwhile. Without one it
    // waits on its stop event; tests give their own clock.
    using StartDelayWait = std::function<bool(HANDLE stop, DWORD milliseconds)>;
    void SetStartDelayWait(StartDelayWait wait) { m_startDelayWait = std::move(wait); }
    int GetWorkerCount() const noexcept { return m_workerCount; }
    // Overrides the count the machine gave (1..8), from the next flush on.
    void SetWorkerCount(int count) noexcept { m_workerCount = count < 1 ? 1 : count > 8 ? 8 : count; }

    // Stops the workers, empties the decode queue, starts the workers again and drops every decoded
    // picture. full (a folder opening, a removed volume): the frame is told first that its shown
    // entry goes, and every entry goes too. Otherwise (a device reset, a suspend) the list stays, so
    // that the current picture can be decoded again.
    void FlushCache(bool full);
    // At the frame's destruction: saves the marks when closing was confirmed, stops every thread
    // and drops every entry.
    void ShutdownLoader();
    // When the frame closes while marks still wait for their files: asks whether to wait for the
    // scan. False when the user cancelled the closing.
    bool ConfirmExitWithPendingWrites();
    bool IsClosing() const noexcept { return m_closing; }

    void QueueDecodeRequest(CImageEntry* entry);
    // Frees the entry's decoded picture; the release goes to the thread pool while a worker holds
    // the entry. True when a picture was freed or the release was handed on.
    bool EvictEntry(CImageEntry* entry);
    void ComputeCacheSize(bool noQueue);
    // Recomputes the window around the current entry: queues what enters it (unless noQueue) and
    // evicts what left it.
    void UpdatePrefetchWindow(bool noQueue);
    // After a decode; false only when it ran out of memory and the window cannot shrink further.
    bool AdjustCacheWindow(HRESULT hr, uint32_t decodedSize, bool skip = false);
    uint32_t GetMeanDecodedSize() const { return m_sizer.MeanDecodedSize(); }
    CacheQuotas GetCacheQuotas() const { return m_sizer.Quotas(); }
    void SetCacheQuotas(CacheQuotas quotas) { m_sizer.SetQuotas(quotas); }
    // The entries queued or decoded, each with a reference.
    std::vector<EntryRef> GetCachedEntries();

    // Navigation: each returns the new current entry, or null when nothing changed.
    uint32_t GetCurrentPosition();
    CImageEntry* GetCurrentEntry(bool noUpdate = false);
    // The entry at the 1-based position, without moving; null outside the list.
    CImageEntry* GetEntryAtPosition(uint32_t position);
    CImageEntry* GoFirst();
    CImageEntry* GoLast();
    CImageEntry* GoNext(uint32_t steps = 1, bool quiet = false);
    CImageEntry* GoPrevious(uint32_t steps = 1);
    CImageEntry* GoToPosition(uint32_t position);
    bool GoToEntry(CImageEntry* entry);
    // A base path to show once it is listed; null clears it.
    void SetCurrentName(const wchar_t* basePath);
    CImageEntry* GoToTargetName(int direction, bool beep);
    CImageEntry* GoToFolderStart();
    CImageEntry* GoToFolderEnd();
    CImageEntry* GoPreviousFolder();
    CImageEntry* GoNextFolder();
    // Drops the current entry (all pages of its file) after its file went away.
    void RemoveCurrentEntry();
    bool IsRemovingEntry() const noexcept { return m_removing; }

private:
    using NameMap = std::multimap<const wchar_t*, CImageEntry*, NaturalLess>;
    using EntryMap = std::multiset<EntryRef, EntryOrder>;
    enum class KnownFile { New, Listed, Changed };

    // Document operations: calls set on the entry alone, or under the list lock on every page of its
    // file.
    template <class Set>
    static void SetForGroup(CImageEntry* entry, const Set& set);
    // The entry's place in the entry map, or its end; caller holds the list lock.
    EntryMap::iterator FindListed(CImageEntry* entry);
    // Points the scanner at the folder with the supported list as its filter (which the list keeps)
    // and starts the scan; file, when given, is queued first and shown once it is listed.
    HRESULT StartScan(std::wstring supported, const wchar_t* folder, bool recursive, DWORD options,
                      const wchar_t* file);
    void SaveMarksBeforeLeaving();
    // True while changed marks still wait for files that the scan has not listed yet.
    bool MarksWaitForScan();
    // True while the scanner scans or still holds records for the list.
    bool ScannerBusy();
    UINT ListingStatus();
    void SetStatusText(UINT stringId) const;
    // Tells the user once when the codecs take long to answer at the first opening.
    void StartSlowCodecsNotice();

    HRESULT RunFileList(WorkerThread& self);
    Bstr GoToBookmark(bool forward);

    // ---- Decode workers, prefetch window and cache, navigation ----
    void StartDecodeWorkers();
    void StopDecodeWorkers() noexcept;
    HRESULT DecodeWorkerProc(WorkerThread& self, int index);
    // False when the worker is to end.
    bool DecodePopped(HANDLE stop, int index, CImageEntry& entry, DecodeThreadContext& context);
    bool PauseWorker(HANDLE stop, int index);
    void TellCacheCannotShrink() const;
    CacheAdjustment AdjustCache(HRESULT hr, uint32_t decodedSize);
    MemoryReading ReadMemory() const;
    bool ReleaseEvicted(CImageEntry& entry) noexcept;
    static DWORD WINAPI EvictEntryWorkItem(void* work);
    void WaitForEvictions() const noexcept;
    void RemoveFromCacheSet(CImageEntry* entry);
    void EvictAll(bool dropEntries);
    void SendToFrame(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
    // Caller holds the list lock.
    bool WrapAround() const noexcept;
    bool HasCurrent() const noexcept { return m_current != m_entries.end(); }
    EntryMap::iterator StepWrapping(EntryMap::iterator from, size_t forward, size_t backward);
    CImageEntry* MoveTo(EntryMap::iterator entry, uint32_t position);
    CImageEntry* AtEnd(bool forward, bool quiet);
    CImageEntry* GoFolderEdge(bool forward);
    CImageEntry* GoOtherFolder(bool forward);
    // Caller holds the list lock.
    KnownFile ListKnownSinglePage(const std::wstring& basePath, const wchar_t* extension, EntryRef& changed);
    bool PagesListed(const std::wstring& basePath, const wchar_t* extension) const;
    CImageEntry* Insert(EntryRef entry);
    void AttachMarks(CImageEntry* entry);
    void RefreshChangedEntry(const EntryRef& entry, uint64_t generation);
    // Keep copy: whether every file can be opened for writing (none is in use elsewhere).
    static bool FilesAreFree(const std::vector<std::wstring>& files);
    // Asks before a file is replaced; true for Yes.
    bool AskToReplace(const std::wstring& target) const;
    // Whether one of the picture's own files (not its sidecar) is still on disk; caller holds the
    // list lock.
    static bool OwnFilesLeft(const CImageEntry& entry);
    // Posts to the frame when it exists; frees a string parameter that could not be posted.
    void PostToFrame(UINT message, WPARAM wParam, LPARAM lParam, BSTR ownedText = nullptr) const noexcept;
    void PostFileListed(const std::wstring& basePath, const wchar_t* extension, bool wasEmpty, uint32_t count,
                        bool deferred) const noexcept;

    HWND* m_owner;
    // Stopped first at destruction: its jobs reach the list through their entries.
    CCopyQueue m_copyQueue{m_owner};
    bool m_disableSmp;
    bool m_colourProfile;
    ComPtr<IWICImagingFactory> m_factory;
    CFolderScanner m_scanner;

    CriticalSection m_listLock;
    NameMap m_names;
    EntryMap m_entries;
    std::set<std::wstring, NoCaseLess> m_ignored;
    std::set<std::wstring, NoCaseLess> m_renamesInProgress;
    std::wstring m_supported;
    std::wstring m_pendingOpenBase;
    // Written under the list lock; the list thread also reads it without, to pick a record's time.
    std::atomic<DWORD> m_sortMode{0};
    bool m_multiPage = false;
    bool m_trackMode = false;
    bool m_deviceWatchMode = false;
    bool m_positionChanged = false;
    // Raised by every clearing, so that a file examined across a clearing is not listed into the
    // next folder's list.
    uint64_t m_generation = 0;

    // The folder whose marks were loaded, and its identity for the quick slots' registry value.
    std::wstring m_markedFolder;
    std::wstring m_folderIdentity;

    // The prefix of new bookmark names: none until the user chose one. UI thread only.
    std::optional<std::wstring> m_bookmarkPrefix;
    PrefixChooser m_prefixChooser;

    // Document operations; under the list lock.
    uint32_t m_markedCount = 0;
    std::wstring m_keepCopyFolder;
    VolumeIdentity m_volume;
    bool m_folderOpened = false;
    WorkerThread m_slowCodecsNotice;

    // ---- Decode workers, prefetch window and cache, navigation ----
    DecodeDisplay m_display;
    UINT m_totalTextureMemory = 0;
    bool m_useSurfaces = false;
    MemoryProbe m_memoryProbe;
    DWORD m_workerStartDelay = 3000;
    StartDelayWait m_startDelayWait;
    int m_workerCount = 1;
    std::array<std::atomic<DWORD>, 8> m_backOff{};
    std::atomic<LONG> m_pausedWorkers{0};
    std::atomic<LONG> m_pendingEvictions{0};
    CCacheSizer m_sizer;
    // Guards the cache set; taken inside the list lock.
    CriticalSection m_queueLock;
    std::map<CImageEntry*, EntryRef> m_cacheSet;
    CDecodeQueue m_decodeQueue;
    // Under the list lock: the current entry (end: none) and its 1-based position, recounted when
    // m_positionChanged says entries were inserted.
    EntryMap::iterator m_current;
    uint32_t m_position = 0;
    Bstr m_targetName;
    bool m_closing = false;
    bool m_removing = false;
    std::array<WorkerThread, 8> m_workers;

    UniqueHandle m_codecsReady;
    CBookmarkStore m_bookmarks;
    CQuickSlots m_slots;
    // Last: it ends before the members it reads are destroyed.
    WorkerThread m_listThread;
};
