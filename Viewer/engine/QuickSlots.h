#pragma once
// The ten quick slots of the open folder: each holds one entry and the entry's 64-bit identity, or
// only the identity while the entry it names is not listed yet. Slots read from the old registry
// form hold identities made with the program's own hash until their entry is listed; matching
// converts them, and the conversion counts as a change so that the new form gets saved.
// Every member is guarded by the lock; the file-list thread takes it inside the list lock.
#include "Framework/CriticalSection.h"
#include "Viewer/engine/ImageEntry.h"
#include <array>
#include <cstdint>

class CQuickSlots {
public:
    static constexpr int SlotCount = 10;
    using Hashes = std::array<uint64_t, SlotCount>;

    CriticalSection& Lock() noexcept { return m_lock; }

    // Empties every slot that holds an entry; no slot is pending afterwards.
    void ClearQuickSlots();
    // Empties every slot that holds the entry.
    void ClearSlotsOfEntry(const CImageEntry* entry);
    // Empties slot n when it holds an entry (a slot that holds only an identity keeps it).
    void ClearQuickSlot(int n);
    // Puts the entry into slot n, taking it out of any other slot; false for n outside 0..9.
    bool SetQuickSlot(int n, CImageEntry* entry);
    // Puts the entry into the first slot whose identity is the entry's; false when none is.
    bool MatchQuickSlots(CImageEntry* entry);

    // A folder's slots as read from the registry; the slots of the pending mask hold identities made
    // with the own hash (the old form). Returns the number of non-empty identities.
    int Load(const Hashes& hashes, uint32_t pendingMask);
    // The identities to save (0 for a slot without an entry); false when no slot holds an entry
    // with an identity, so that the folder's value is to be deleted. Clears the changed flag.
    bool TakeHashesToSave(Hashes& hashes);

    bool Changed() const noexcept { return m_changed; }
    CImageEntry* EntryAt(int n) const noexcept { return n >= 0 && n < SlotCount ? m_entries[n].Get() : nullptr; }
    uint64_t HashAt(int n) const noexcept { return n >= 0 && n < SlotCount ? m_hashes[n] : 0; }
    uint32_t PendingMask() const noexcept { return m_pending; }

private:
    void Empty(int n) noexcept;

    CriticalSection m_lock;
    std::array<EntryRef, SlotCount> m_entries;
    Hashes m_hashes = {};
    uint32_t m_pending = 0;
    bool m_changed = false;
};
