#include "Viewer/engine/ImageEngine.h"
#include "Viewer/core/FrameMessages.h"
#include <shlwapi.h>

template <class Set>
void CImageEngine::SetForGroup(CImageEntry* entry, const Set& set)
{
    CImageEngine* owner = entry->GetOwner();
    // A single byte or word: written without the lock, as the frame reads it.
    if (!entry->IsMultiPage() || !owner) {
        set(*entry);
        return;
    }
    CriticalSectionScope list(owner->m_listLock);
    auto it = owner->FindListed(entry);
    if (it == owner->m_entries.end()) return;
    // The pages of one file are adjacent in the list, by page.
    while (it != owner->m_entries.begin() && (*it)->GetPageIndex() > 0) --it;
    const std::wstring& basePath = entry->GetBasePath();
    for (; it != owner->m_entries.end() && StrCmpIW((*it)->GetBasePath().c_str(), basePath.c_str()) == 0; ++it)
        set(**it);
}

CImageEngine::EntryMap::iterator CImageEngine::FindListed(CImageEntry* entry)
{
    auto [it, last] = m_entries.equal_range(EntryRef(entry));
    while (it != last && *it != entry) ++it;
    return it == last ? m_entries.end() : it;
}

HRESULT CImageEngine::SetCopiedForGroup(CImageEntry* entry, bool value)
{
    SetForGroup(entry, [value](CImageEntry& page) { *page.GetCopiedFlag() = value; });
    return S_OK;
}

HRESULT CImageEngine::SetMarkedForGroup(CImageEntry* entry, bool value)
{
    const bool wasMarked = *entry->GetMarkedFlag() != 0;
    SetForGroup(entry, [value](CImageEntry& page) { *page.GetMarkedFlag() = value; });
    // Counted when the group's mark changes, so that marking a marked picture again, or clearing a
    // clear one, does not make the count drift from what is marked.
    CImageEngine* owner = entry->GetOwner();
    if (!owner || wasMarked == value) return S_OK;
    CriticalSectionScope list(owner->m_listLock);
    if (value)
        ++owner->m_markedCount;
    else if (owner->m_markedCount > 0)
        --owner->m_markedCount;
    return S_OK;
}

HRESULT CImageEngine::SetRatingForGroup(CImageEntry* entry, int32_t value)
{
    SetForGroup(entry, [value](CImageEntry& page) { page.rating = value; });
    return S_OK;
}

HRESULT CImageEngine::SetLabelForGroup(CImageEntry* entry, int32_t label, int32_t convention)
{
    SetForGroup(entry, [label, convention](CImageEntry& page) {
        page.label = label;
        page.labellingConvention = convention;
    });
    return S_OK;
}

HRESULT CImageEngine::SetUrgencyForGroup(CImageEntry* entry, int32_t value)
{
    SetForGroup(entry, [value](CImageEntry& page) { page.urgency = value; });
    return S_OK;
}

void CImageEngine::ClearCopiedAll()
{
    CriticalSectionScope list(m_listLock);
    for (const EntryRef& entry : m_entries) *entry->GetCopiedFlag() = 0;
}

void CImageEngine::ClearMarks()
{
    CriticalSectionScope list(m_listLock);
    for (const EntryRef& entry : m_entries) *entry->GetMarkedFlag() = 0;
    m_markedCount = 0;
}

uint32_t CImageEngine::GetMarkedCount()
{
    CriticalSectionScope list(m_listLock);
    return m_markedCount;
}

void CImageEngine::RenameEntry(CImageEntry* entry, const std::wstring& newBasePath)
{
    // The decode workers read the base path while they hold the entry's lock.
    entry->EntryLockEnter();
    {
        CriticalSectionScope list(m_listLock);
        const auto listed = FindListed(entry);
        if (listed == m_entries.end()) {
            // Flushed: no map refers to it any more.
            entry->SetBasePath(newBasePath);
        } else {
            const auto [first, last] = m_names.equal_range(entry->GetBasePath().c_str());
            for (auto it = first; it != last; ++it) {
                if (it->second != entry) continue;
                m_names.erase(it);
                break;
            }
            // The list may be ordered by name: the entry moves to the place of its new name, or the
            // list's order would no longer hold and lookups in it would miss.
            const bool current = m_current == listed;
            auto node = m_entries.extract(listed);
            entry->SetBasePath(newBasePath);
            const auto placed = m_entries.insert(std::move(node));
            if (current) m_current = placed;
            m_names.emplace(entry->GetBasePath().c_str(), entry);
            m_positionChanged = true;
        }
    }
    entry->EntryLockLeave();
    const HWND frame = m_owner ? *m_owner : nullptr;
    if (frame && IsWindow(frame)) SendMessageW(frame, WM_APP_ENTRY_INSERTED, 0, reinterpret_cast<LPARAM>(entry));
}

bool CImageEngine::SetKeepCopyFolder(const wchar_t* path)
{
    if (!path || !PathIsDirectoryW(path)) return false;
    CriticalSectionScope list(m_listLock);
    m_keepCopyFolder = path;
    for (const EntryRef& entry : m_entries) *entry->GetCopiedFlag() = 0;
    return true;
}

std::wstring CImageEngine::GetKeepCopyFolder()
{
    CriticalSectionScope list(m_listLock);
    return m_keepCopyFolder;
}

std::wstring CImageEngine::GetFolderIdentityText(const wchar_t* folder) const
{
    if (!folder || !*folder) return {};
    return ::GetFolderIdentityText(m_volume, folder);
}
