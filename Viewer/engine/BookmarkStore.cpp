#include "Viewer/engine/BookmarkStore.h"
#include <cwchar>

namespace {
// Long enough for any wanted name cut to 240 characters and its number, so that every number makes
// a different name.
constexpr size_t NameLength = 260;
}

size_t CBookmarkStore::Load(std::wstring path, KeyTable keys)
{
    m_path = std::move(path);
    m_keys = std::move(keys);
    m_names.clear();
    for (const auto& [key, name] : m_keys) m_names.emplace(name, EntryRef());
    MarkRefresh();
    return m_keys.size();
}

bool CBookmarkStore::IsEntryBookmarked(CImageEntry* entry)
{
    if (!entry) return false;
    CriticalSectionScope scope(m_lock);
    if (m_path.empty()) return false;
    const auto key = m_keys.find(entry->GetBookmarkKey());
    if (key == m_keys.end()) return false;
    const auto name = m_names.find(key->second);
    if (name != m_names.end() && !name->second) {
        name->second = EntryRef(entry);
        entry->SwapBookmarkName(name->first.c_str());
        MarkRefresh();
    } else {
        AddUnique(key->second.c_str(), entry);
    }
    return true;
}

Bstr CBookmarkStore::AddBookmark(const wchar_t* wanted, CImageEntry* entry)
{
    if (!entry) return {};
    CriticalSectionScope scope(m_lock);
    return AddUnique(wanted, entry);
}

std::wstring CBookmarkStore::FirstFreeName(const wchar_t* prefix, const wchar_t* separator) const
{
    wchar_t name[NameLength];
    for (unsigned n = 1;; ++n) {
        _snwprintf(name, NameLength - 1, L"%.240ls%ls%u", prefix ? prefix : L"", separator, n);
        name[NameLength - 1] = L'\0';
        if (m_names.find(name) == m_names.end()) return name;
    }
}

Bstr CBookmarkStore::AddUnique(const wchar_t* wanted, CImageEntry* entry)
{
    const std::wstring name = FirstFreeName(wanted, L"_");
    m_names.emplace(name, EntryRef(entry));
    entry->SwapBookmarkName(name.c_str());
    MarkRefresh();
    m_changed = true;
    return Bstr(name);
}

void CBookmarkStore::SetEntryBookmark(CImageEntry* entry, const std::wstring& name)
{
    const Bstr old = entry->SwapBookmarkName(name.c_str());
    const auto found = old.Empty() ? m_names.end() : m_names.find(old.c_str());
    if (found != m_names.end() && found->second.Get() == entry) m_names.erase(found);
    m_names.insert_or_assign(name, EntryRef(entry));
    m_changed = true;
    MarkRefresh();
}

void CBookmarkStore::RemoveEntryBookmark(CImageEntry* entry)
{
    if (!entry) return;
    CriticalSectionScope scope(m_lock);
    const Bstr name = entry->SwapBookmarkName(nullptr);
    if (name.Empty()) return;
    const auto found = m_names.find(name.c_str());
    if (found == m_names.end()) return;
    m_names.erase(found);
    m_changed = true;
    MarkRefresh();
}

void CBookmarkStore::ClearBookmarks()
{
    CriticalSectionScope scope(m_lock);
    for (auto& [name, entry] : m_names)
        if (entry) entry->SwapBookmarkName(nullptr);
    m_names.clear();
    MarkRefresh();
}

BookmarkSnapshot CBookmarkStore::Snapshot()
{
    CriticalSectionScope scope(m_lock);
    BookmarkSnapshot snapshot;
    snapshot.names.reserve(m_names.size());
    snapshot.entries.reserve(m_names.size());
    for (const auto& [name, entry] : m_names) {
        snapshot.names.push_back(name);
        snapshot.entries.push_back(entry);
        if (entry) ++snapshot.pictureCount;
    }
    InterlockedExchange(&m_refresh, 0);
    return snapshot;
}

bool CBookmarkStore::RenameBookmark(const std::wstring& oldName, const std::wstring& newName, CImageEntry* entry)
{
    if (!entry) return false;
    CriticalSectionScope scope(m_lock);
    if (entry->GetBookmarkName().View() != oldName) return false;
    if (newName == oldName) return true;
    const auto found = m_names.find(oldName);
    if (found == m_names.end()) return false;
    // Names are unique: taking one that another bookmark has would drop that bookmark.
    const auto taken = m_names.find(newName);
    if (taken != m_names.end() && taken != found) return false;
    EntryRef keep = std::move(found->second);
    m_names.erase(found);
    m_names.emplace(newName, std::move(keep));
    entry->SwapBookmarkName(newName.c_str());
    RenameKeys(oldName, &newName);
    m_changed = true;
    MarkRefresh();
    return true;
}

void CBookmarkStore::RemoveBookmarkByName(const std::wstring& name)
{
    CriticalSectionScope scope(m_lock);
    const auto found = m_names.find(name);
    if (found == m_names.end()) return;
    if (found->second)
        found->second->SwapBookmarkName(nullptr);
    else if (unresolvedBookmarks > 0)
        --unresolvedBookmarks;
    RenameKeys(found->first, nullptr);
    m_names.erase(found);
    m_changed = true;
    MarkRefresh();
}

void CBookmarkStore::RenameKeys(const std::wstring& oldName, const std::wstring* newName)
{
    for (auto key = m_keys.begin(); key != m_keys.end();) {
        if (CompareNaturally(key->second.c_str(), oldName.c_str()) != 0) {
            ++key;
        } else if (newName) {
            key->second = *newName;
            ++key;
        } else {
            key = m_keys.erase(key);
        }
    }
}

std::vector<std::pair<std::wstring, std::wstring>> CBookmarkStore::TakeLinesToSave()
{
    m_changed = false;
    std::vector<std::pair<std::wstring, std::wstring>> lines;
    for (const auto& [name, entry] : m_names)
        if (entry) lines.emplace_back(entry->GetBookmarkKey(), name);
    return lines;
}
