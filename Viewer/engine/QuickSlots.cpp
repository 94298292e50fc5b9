#include "Viewer/engine/QuickSlots.h"
#include "Viewer/core/AppSettings.h"

void CQuickSlots::Empty(int n) noexcept
{
    if (m_entries[n]) m_entries[n]->quickSlot = -1;
    m_entries[n].Reset();
}

void CQuickSlots::ClearQuickSlots()
{
    CriticalSectionScope scope(m_lock);
    for (int n = 0; n < SlotCount; ++n) {
        if (!m_entries[n]) continue;
        Empty(n);
        m_hashes[n] = 0;
    }
    m_pending = 0;
}

void CQuickSlots::ClearSlotsOfEntry(const CImageEntry* entry)
{
    CriticalSectionScope scope(m_lock);
    for (int n = 0; n < SlotCount; ++n) {
        if (!entry || m_entries[n].Get() != entry) continue;
        Empty(n);
        m_hashes[n] = 0;
        m_pending &= ~(1u << n);
        m_changed = true;
    }
}

void CQuickSlots::ClearQuickSlot(int n)
{
    if (n < 0 || n >= SlotCount) return;
    CriticalSectionScope scope(m_lock);
    if (!m_entries[n]) return;
    Empty(n);
    m_hashes[n] = 0;
    m_pending &= ~(1u << n);
    m_changed = true;
}

bool CQuickSlots::SetQuickSlot(int n, CImageEntry* entry)
{
    if (n < 0 || n >= SlotCount) return false;
    CriticalSectionScope scope(m_lock);
    Empty(n);
    m_hashes[n] = 0;
    if (!entry) return true;
    for (int other = 0; other < SlotCount; ++other) {
        if (m_entries[other].Get() != entry) continue;
        Empty(other);
        m_hashes[other] = 0;
    }
    entry->quickSlot = static_cast<int16_t>(n);
    m_entries[n] = EntryRef(entry);
    m_hashes[n] = entry->GetEntryKeyHash(false);
    m_pending &= ~(1u << n);
    m_changed = true;
    return true;
}

bool CQuickSlots::MatchQuickSlots(CImageEntry* entry)
{
    if (!entry || !AppSettings::SaveBookmarksAcrossSessions) return false;
    CriticalSectionScope scope(m_lock);
    const uint64_t hash = entry->GetEntryKeyHash(m_pending != 0);
    for (int n = 0; n < SlotCount; ++n) {
        if (m_hashes[n] != hash || hash == 0) continue;
        if (m_pending & (1u << n)) {
            m_hashes[n] = entry->GetEntryKeyHash(false);
            m_pending &= ~(1u << n);
            m_changed = true;
        }
        if (m_entries[n]) m_entries[n]->quickSlot = -1;
        m_entries[n] = EntryRef(entry);
        entry->quickSlot = static_cast<int16_t>(n);
        return true;
    }
    return false;
}

int CQuickSlots::Load(const Hashes& hashes, uint32_t pendingMask)
{
    CriticalSectionScope scope(m_lock);
    int found = 0;
    m_pending = pendingMask;
    for (int n = 0; n < SlotCount; ++n) {
        Empty(n);
        m_hashes[n] = hashes[n];
        if (hashes[n]) ++found;
    }
    return found;
}

bool CQuickSlots::TakeHashesToSave(Hashes& hashes)
{
    CriticalSectionScope scope(m_lock);
    m_changed = false;
    bool any = false;
    for (int n = 0; n < SlotCount; ++n) {
        hashes[n] = m_entries[n] ? m_hashes[n] : 0;
        any = any || hashes[n] != 0;
    }
    return any;
}
