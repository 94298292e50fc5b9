// Moving the current position over the sorted list; every move recomputes the prefetch window so
// that the pictures around the new position are queued at once.
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ImageEngine.h"
#include <shlwapi.h>

namespace {
constexpr DWORD RemovalDecodeWait = 60000;

void EndBeep(UINT type)
{
    LastActivityCode = 131.0;
    if (AppSettings::EnableMessageBeep) PlayMessageBeep(type);
}

std::wstring FolderOf(const CImageEntry& entry)
{
    std::wstring folder = entry.GetBasePath();
    folder.resize(wcslen(folder.c_str()));
    PathRemoveFileSpecW(folder.data());
    folder.resize(wcslen(folder.c_str()));
    return folder;
}
}

bool CImageEngine::WrapAround() const noexcept
{
    return AppSettings::WrapImageList != 0 && !m_deviceWatchMode;
}

uint32_t CImageEngine::GetCurrentPosition()
{
    CriticalSectionScope list(m_listLock);
    if (!HasCurrent()) return 0;
    if (m_positionChanged) {
        m_position = static_cast<uint32_t>(std::distance(m_entries.begin(), m_current)) + 1;
        m_positionChanged = false;
    }
    return m_position;
}

CImageEntry* CImageEngine::GetCurrentEntry(bool noUpdate)
{
    CriticalSectionScope list(m_listLock);
    if (!HasCurrent()) return nullptr;
    if (!noUpdate) UpdatePrefetchWindow(false);
    return m_current->Get();
}

CImageEntry* CImageEngine::GetEntryAtPosition(uint32_t position)
{
    CriticalSectionScope list(m_listLock);
    if (position == 0 || position > m_entries.size()) return nullptr;
    return std::next(m_entries.begin(), position - 1)->Get();
}

CImageEntry* CImageEngine::MoveTo(EntryMap::iterator entry, uint32_t position)
{
    m_current = entry;
    m_position = position;
    m_positionChanged = false;
    UpdatePrefetchWindow(false);
    return m_current->Get();
}

CImageEntry* CImageEngine::GoFirst()
{
    CriticalSectionScope list(m_listLock);
    m_targetName.Free();
    if (m_entries.empty()) return nullptr;
    return MoveTo(m_entries.begin(), 1);
}

CImageEntry* CImageEngine::GoLast()
{
    CriticalSectionScope list(m_listLock);
    m_targetName.Free();
    if (m_entries.empty()) return nullptr;
    return MoveTo(std::prev(m_entries.end()), static_cast<uint32_t>(m_entries.size()));
}

CImageEntry* CImageEngine::AtEnd(bool forward, bool quiet)
{
    if (!WrapAround()) {
        if (!quiet) EndBeep(MB_ICONEXCLAMATION);
        return nullptr;
    }
    CImageEntry* reached = forward ? GoFirst() : GoLast();
    if (!quiet) EndBeep(reached ? MB_ICONASTERISK : MB_ICONEXCLAMATION);
    return reached;
}

CImageEntry* CImageEngine::GoNext(uint32_t steps, bool quiet)
{
    CriticalSectionScope list(m_listLock);
    if (m_targetName.Get()) return GoToTargetName(1, !quiet);
    if (m_entries.empty()) return nullptr;
    const uint32_t count = static_cast<uint32_t>(m_entries.size());
    if (!HasCurrent()) return GoFirst();
    uint32_t position = GetCurrentPosition();
    if (position >= count) return AtEnd(true, quiet);
    EntryMap::iterator entry = m_current;
    for (uint32_t i = 0; i < steps && position < count; ++i, ++position) ++entry;
    return MoveTo(entry, position);
}

CImageEntry* CImageEngine::GoPrevious(uint32_t steps)
{
    CriticalSectionScope list(m_listLock);
    if (m_targetName.Get()) return GoToTargetName(-1, true);
    if (m_entries.empty()) return nullptr;
    if (!HasCurrent()) return GoLast();
    uint32_t position = GetCurrentPosition();
    if (position < 2) return AtEnd(false, false);
    EntryMap::iterator entry = m_current;
    for (uint32_t i = 0; i < steps && position > 1; ++i, --position) --entry;
    return MoveTo(entry, position);
}

CImageEntry* CImageEngine::GoToPosition(uint32_t target)
{
    CriticalSectionScope list(m_listLock);
    if (target == 0 || target > m_entries.size()) return nullptr;
    const uint32_t position = GetCurrentPosition();
    if (!HasCurrent()) return MoveTo(std::next(m_entries.begin(), target - 1), target);
    if (target > position) return GoNext(target - position, false);
    if (target < position) return GoPrevious(position - target);
    return GetCurrentEntry();
}

bool CImageEngine::GoToEntry(CImageEntry* entry)
{
    CriticalSectionScope list(m_listLock);
    // The picture asked for is decoded before its neighbours, also when it is the current one
    // whose picture was just released to be read again.
    const auto decodeFirst = [this](CImageEntry* asked) {
        if (!FAILED(asked->GetDecodeResult()) && !asked->IsLoading() && !asked->HasImage()) QueueDecodeRequest(asked);
    };
    if (HasCurrent() && m_current->Get() == entry) {
        decodeFirst(entry);
        return true;
    }
    uint32_t position = 1;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it, ++position) {
        if (it->Get() != entry) continue;
        decodeFirst(entry);
        MoveTo(it, position);
        return true;
    }
    return false;
}

void CImageEngine::SetCurrentName(const wchar_t* basePath)
{
    CriticalSectionScope list(m_listLock);
    m_targetName = basePath ? Bstr(basePath) : Bstr();
}

CImageEntry* CImageEngine::GoToTargetName(int direction, bool beep)
{
    CriticalSectionScope list(m_listLock);
    CImageEntry* reached = nullptr;
    if (m_targetName.Get()) {
        const auto named = m_names.lower_bound(m_targetName.c_str());
        if (named != m_names.end()) {
            for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
                if (it->Get() != named->second) continue;
                m_current = it;
                m_positionChanged = true;
                // The name is found: later moves are ordinary steps from it.
                m_targetName.Free();
                const uint32_t position = GetCurrentPosition();
                if (direction < 0 && position >= 2) reached = MoveTo(std::prev(it), position - 1);
                else if (direction > 0 && position < m_entries.size()) reached = MoveTo(std::next(it), position + 1);
                else reached = MoveTo(it, position);
                break;
            }
        }
    }
    if (beep && !reached) EndBeep(MB_ICONEXCLAMATION);
    return reached;
}

CImageEntry* CImageEngine::GoFolderEdge(bool forward)
{
    if (!HasCurrent()) return nullptr;
    const std::wstring folder = FolderOf(**m_current);
    const uint32_t start = GetCurrentPosition();
    uint32_t position = start;
    EntryMap::iterator entry = m_current;
    for (;;) {
        EntryMap::iterator next = entry;
        if (forward) {
            if (++next == m_entries.end()) break;
        } else {
            if (next == m_entries.begin()) break;
            --next;
        }
        if (lstrcmpiW(FolderOf(**next).c_str(), folder.c_str()) != 0) break;
        entry = next;
        position = forward ? position + 1 : position - 1;
    }
    if (position == start) return m_current->Get();
    return MoveTo(entry, position);
}

CImageEntry* CImageEngine::GoToFolderStart()
{
    CriticalSectionScope list(m_listLock);
    if (AppSettings::SortByDateTime != 0) return nullptr;
    m_targetName.Free();
    return GoFolderEdge(false);
}

CImageEntry* CImageEngine::GoToFolderEnd()
{
    CriticalSectionScope list(m_listLock);
    if (AppSettings::SortByDateTime != 0) return nullptr;
    m_targetName.Free();
    return GoFolderEdge(true);
}

CImageEntry* CImageEngine::GoOtherFolder(bool forward)
{
    if (AppSettings::SortByDateTime != 0) return nullptr;
    m_targetName.Free();
    if (!HasCurrent()) return nullptr;
    // Case-sensitive here, unlike the folder's edges: names differing in case are other folders.
    const std::wstring folder = FolderOf(**m_current);
    uint32_t position = GetCurrentPosition();
    EntryMap::iterator entry = m_current;
    for (;;) {
        if (forward) {
            if (std::next(entry) == m_entries.end()) return nullptr;
            ++entry;
            ++position;
        } else {
            if (entry == m_entries.begin()) return nullptr;
            --entry;
            --position;
        }
        if (FolderOf(**entry) != folder) break;
    }
    MoveTo(entry, position);
    return forward ? m_current->Get() : GoFolderEdge(false);
}

CImageEntry* CImageEngine::GoPreviousFolder()
{
    CriticalSectionScope list(m_listLock);
    return GoOtherFolder(false);
}

CImageEntry* CImageEngine::GoNextFolder()
{
    CriticalSectionScope list(m_listLock);
    return GoOtherFolder(true);
}

void CImageEngine::RemoveCurrentEntry()
{
    uint32_t pages = 1;
    {
        CriticalSectionScope list(m_listLock);
        if (!HasCurrent()) return;
        GetCurrentPosition();
        if ((*m_current)->IsMultiPage()) {
            while ((*m_current)->GetPageIndex() != 0 && m_current != m_entries.begin()) {
                --m_current;
                --m_position;
            }
            pages = (*m_current)->GetPageCount();
        }
    }
    m_removing = true;
    const HWND frame = m_owner ? *m_owner : nullptr;
    for (uint32_t page = 0; page < pages; ++page) {
        EntryRef entry;
        {
            CriticalSectionScope list(m_listLock);
            if (!HasCurrent()) break;
            entry = *m_current;
        }
        WaitForDecode(*entry, false, true, RemovalDecodeWait, frame);
        SendToFrame(WM_APP_ENTRY_RELEASED, reinterpret_cast<WPARAM>(entry.Get()), 0);
        CriticalSectionScope list(m_listLock);
        if (!HasCurrent() || *m_current != entry) break;
        GetCurrentPosition();
        const bool last = std::next(m_current) == m_entries.end();
        RemoveFromCacheSet(entry.Get());
        m_slots.ClearSlotsOfEntry(entry.Get());
        m_bookmarks.RemoveEntryBookmark(entry.Get());
        const auto [first, end] = m_names.equal_range(entry->GetBasePath().c_str());
        for (auto it = first; it != end; ++it)
            if (it->second == entry.Get()) {
                m_names.erase(it);
                break;
            }
        m_current = m_entries.erase(m_current);
        if (last) {
            if (m_entries.empty()) {
                m_current = m_entries.end();
                m_position = 0;
                m_positionChanged = false;
                break;
            }
            --m_current;
            --m_position;
        }
    }
    m_removing = false;
}
