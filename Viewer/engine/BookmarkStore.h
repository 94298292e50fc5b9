#pragma once
// The named bookmarks of the open folder as the engine holds them: the key table read from the
// folder's bookmark file (entry key to name, keys without case), and the name table of the
// bookmarks that exist now (name to the entry that carries it, or none while no listed entry does).
// Entries find their bookmark as the list grows; only names with an entry are saved.
// Every member is guarded by the lock; the file-list thread takes it inside the list lock.
#include "Framework/Bstr.h"
#include "Framework/CriticalSection.h"
#include "Viewer/engine/BookmarkFile.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/engine/NaturalOrder.h"
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The bookmarks as the bookmarks dialog lists them: names in the table's order, each with its entry
// (none while its picture is not listed), and how many have one.
struct BookmarkSnapshot {
    std::vector<std::wstring> names;
    std::vector<EntryRef> entries;
    uint32_t pictureCount = 0;
};

class CBookmarkStore {
public:
    using KeyTable = BookmarkKeyTable;
    using NameTable = std::map<std::wstring, EntryRef, NaturalLess>;

    CriticalSection& Lock() noexcept { return m_lock; }

    // A folder's bookmarks as read from its file (path empty: no file); every name waits for its
    // entry. Returns the number of keys. Caller holds the lock.
    size_t Load(std::wstring path, KeyTable keys);
    const std::wstring& FilePath() const noexcept { return m_path; }

    // True when the entry's key has a bookmark; the entry then carries its name (or a unique
    // variant of it when another entry already carries that name). Takes the lock.
    bool IsEntryBookmarked(CImageEntry* entry);
    // Gives the entry a new bookmark "wanted_1", "wanted_2", ... (the first free one) and returns
    // that name; null for a null entry. Takes the lock.
    Bstr AddBookmark(const wchar_t* wanted, CImageEntry* entry);
    // The first of "prefix" + separator + 1, 2, 3, ... that no bookmark has; a long prefix is cut so
    // that every number still makes another name. Caller holds the lock.
    std::wstring FirstFreeName(const wchar_t* prefix, const wchar_t* separator) const;
    // Gives the entry this bookmark, a name no other entry carries, instead of the one it carried.
    // Caller holds the lock.
    void SetEntryBookmark(CImageEntry* entry, const std::wstring& name);
    // Removes the bookmark the entry carries. Takes the lock.
    void RemoveEntryBookmark(CImageEntry* entry);
    // Takes every bookmark off its entry and empties the name table; the key table stays.
    void ClearBookmarks();

    // The lines to save, key and name, in the natural order of the names; names whose picture is no
    // longer listed are dropped. Clears the changed flag. Caller holds the lock.
    std::vector<std::pair<std::wstring, std::wstring>> TakeLinesToSave();
    const NameTable& Names() const noexcept { return m_names; }

    // The names and entries as they are now; clears the refresh flag. Takes the lock.
    BookmarkSnapshot Snapshot();
    // Gives the entry's bookmark oldName the name newName. False for a null entry, an entry that no
    // longer carries oldName (compared exactly), an oldName the table lacks, or a newName that
    // another bookmark already has. A newName equal to the entry's name changes nothing. Takes the
    // lock.
    bool RenameBookmark(const std::wstring& oldName, const std::wstring& newName, CImageEntry* entry);
    // Removes the bookmark of that name; one still waiting for its picture no longer counts as
    // unresolved. Takes the lock.
    void RemoveBookmarkByName(const std::wstring& name);

    // Set when a bookmark was added or removed since the last save.
    bool Changed() const noexcept { return m_changed; }
    // Set whenever the name table changed; the bookmarks dialog takes it to refresh its list.
    bool TakeRefresh() noexcept { return InterlockedExchange(&m_refresh, 0) != 0; }
    bool RefreshPending() const noexcept { return m_refresh != 0; }

    // Quick slots and named bookmarks of the folder not yet matched to a listed entry.
    uint32_t unresolvedSlots = 0;
    uint32_t unresolvedBookmarks = 0;

private:
    // Caller holds the lock.
    Bstr AddUnique(const wchar_t* wanted, CImageEntry* entry);
    void MarkRefresh() noexcept { InterlockedExchange(&m_refresh, 1); }
    // Keeps the file's keys in step with a renamed (newName) or removed (null) bookmark, so that a
    // picture listed later does not bring the old name back. Caller holds the lock.
    void RenameKeys(const std::wstring& oldName, const std::wstring* newName);

    CriticalSection m_lock;
    KeyTable m_keys;
    NameTable m_names;
    std::wstring m_path;
    bool m_changed = false;
    volatile LONG m_refresh = 0;
};
