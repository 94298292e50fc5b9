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
#include "Viewer/engine/BookmarkFile.h"
#include "Viewer/engine/BookmarkStore.h"
#include "Viewer/engine/FolderScanner.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/ImageList.h"
#include "Viewer/engine/NaturalOrder.h"
#include "Viewer/engine/QuickSlotStore.h"
#include "Viewer/engine/QuickSlots.h"
#include <windows.h>
#include <wincodec.h>
#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

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
    // the scan and the watch. file, when given, is queued before the scan. Returns the scanner's
    // failure when the folder cannot be listed.
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
    // Services for the main window: its rating, label and urgency commands do nothing while the list
    // is empty.
    bool IsListEmpty();

    CFolderScanner& Scanner() noexcept { return m_scanner; }
    CBookmarkStore& Bookmarks() noexcept { return m_bookmarks; }
    CQuickSlots& QuickSlots() noexcept { return m_slots; }

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

    HRESULT RunFileList(WorkerThread& self);
    // Caller holds the list lock.
    KnownFile ListKnownSinglePage(const std::wstring& basePath, const wchar_t* extension, EntryRef& changed);
    bool PagesListed(const std::wstring& basePath, const wchar_t* extension) const;
    CImageEntry* Insert(EntryRef entry);
    void AttachMarks(CImageEntry* entry);
    void RefreshChangedEntry(const EntryRef& entry, uint64_t generation);
    // Posts to the frame when it exists; frees a string parameter that could not be posted.
    void PostToFrame(UINT message, WPARAM wParam, LPARAM lParam, BSTR ownedText = nullptr) const noexcept;
    void PostFileListed(const std::wstring& basePath, const wchar_t* extension, bool wasEmpty, uint32_t count,
                        bool deferred) const noexcept;

    HWND* m_owner;
    bool m_disableSmp;
    bool m_colourProfile;
    ComPtr<IWICImagingFactory> m_factory;
    CFolderScanner m_scanner;

    CriticalSection m_listLock;
    NameMap m_names;
    EntryMap m_entries;
    std::set<std::wstring, NoCaseLess> m_ignored;
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

    // Document operations; under the list lock.
    uint32_t m_markedCount = 0;
    std::wstring m_keepCopyFolder;
    VolumeIdentity m_volume;

    UniqueHandle m_codecsReady;
    CBookmarkStore m_bookmarks;
    CQuickSlots m_slots;
    // Last: it ends before the members it reads are destroyed.
    WorkerThread m_listThread;
};
