#pragma once
// One picture of the image list: one file, or one page of a multi-page file, with the other files
// that share its base path (a raw file's JPEG, a sidecar), its sort key, the user's marks, the
// decoded image in one of two forms and the metadata record of the decode.
//
// Ownership: an entry is reference counted and lives on the heap. The engine's entry map holds one
// reference; everything that keeps an entry beyond the list lock (a queued decode or eviction
// request, a quick slot, a named bookmark, later the metadata writer and the copy queue) holds one
// more through an EntryRef. A folder change or a flush takes the entry out of the maps, but the
// entry is freed only when its last holder lets go, so a request still in a queue never points at
// freed memory. A bare CImageEntry* is valid only while the list lock is held, or while the holder
// keeps an EntryRef to the same entry.
//
// Threads: the page fields are fixed after construction; the base path changes only by a rename,
// which holds both the owner's list lock and the entry's lock; the extension list and the
// bookmark name are changed and read under the owner's list lock (or the bookmark lock for the
// name); the decoded image belongs to whoever holds the entry's lock; the loading flag, the cancel
// flag, the decode result and the entry flags are single words that one thread writes and others
// poll.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Viewer/imaging/ImageInfo.h"
#include <windows.h>
#include <d3d9.h>
#include <gdiplus.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

class CImageEngine;
class DecodeThreadContext;

// Bits of the entry flags: each makes the image list ignore the next report that this file changed
// on disk, and is cleared by that report.
enum EntryFlag : LONG {
    EntryFlagNewArrival = 0x1,
    EntryFlagOwnChange = 0x2,
};

// Owning holder of a movable global memory block.
class UniqueHGlobal {
public:
    UniqueHGlobal() noexcept = default;
    explicit UniqueHGlobal(HGLOBAL block) noexcept : m_block(block) {}
    UniqueHGlobal(const UniqueHGlobal&) = delete;
    UniqueHGlobal& operator=(const UniqueHGlobal&) = delete;
    ~UniqueHGlobal() { Reset(); }
    void Reset(HGLOBAL block = nullptr) noexcept
    {
        if (m_block) GlobalFree(m_block);
        m_block = block;
    }
    HGLOBAL Get() const noexcept { return m_block; }
    HGLOBAL Release() noexcept { return std::exchange(m_block, nullptr); }
    explicit operator bool() const noexcept { return m_block != nullptr; }

private:
    HGLOBAL m_block = nullptr;
};

class CImageEntry {
public:
    // basePath: the full path without the extension. sortTime: null for 0. firstExtension (with or
    // without its dot) becomes the first of the extension list. newArrival sets EntryFlagNewArrival.
    CImageEntry(CImageEngine* owner, std::wstring basePath, const FILETIME* sortTime, uint16_t pageIndex,
                uint16_t pageCount, const wchar_t* firstExtension, bool newArrival);
    // A copy carries every field but the decoded image's sole owners: the GDI+ bitmap and the saved
    // pixels stay with the original (the copy has none), the surface is shared by one more reference.
    // The copy has its own lock and a reference count of 1. Throws E_OUTOFMEMORY.
    CImageEntry(const CImageEntry& other);
    CImageEntry& operator=(const CImageEntry&) = delete;
    ~CImageEntry();

    void AddRef() noexcept { m_references.fetch_add(1, std::memory_order_relaxed); }
    // Frees a heap entry when the last reference goes.
    void Release() noexcept
    {
        if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    // The entry's lock, held by a decode worker for a whole decode and by an eviction. TryEnter:
    // S_OK when entered, E_FAIL while another thread holds it.
    HRESULT EntryLockEnter() noexcept;
    HRESULT EntryLockTryEnter() noexcept;
    HRESULT EntryLockLeave() noexcept;

    // Adds one extension (a leading dot is dropped) to the list; false when the list already holds
    // it as a whole extension, compared without case.
    bool AddCompanionExtension(const wchar_t* extension);
    // True when the extension (without its dot) is one of the list, compared without case.
    bool HasExtension(const wchar_t* extension) const noexcept;
    const Bstr& GetExtensions() const noexcept { return m_extensions; }
    // Lower-case "nef+jpg+xmp": the decoded extension first, then the others of the list; "???"
    // when there are none.
    std::wstring GetExtensionsText() const;

    // The 64-bit identity of the entry, for the quick slots: the hash of the base path for an
    // ordinary file, of "base.extensions:page" for a page of a multi-page file.
    uint64_t GetEntryKeyHash(bool ownHashOnly) const;
    // The entry's key in the bookmark file: the base path, or "base<page>" for a page of a
    // multi-page file; empty when the base path is empty.
    std::wstring GetBookmarkKey() const;
    // Hands back the bookmark name and stores a copy of the given one (null clears it).
    Bstr SwapBookmarkName(const wchar_t* name);
    const Bstr& GetBookmarkName() const noexcept { return m_bookmarkName; }

    // Frees the decoded image (telling a running decode to stop); true when there was one.
    bool ReleaseDecodedImage() noexcept;
    // Before the display device is reset: keeps a system-memory copy of the surface's pixels and
    // releases the surface, so that the next surface decode rebuilds it without reading the file.
    // Runs with the entry's lock held. S_FALSE when there is no surface.
    HRESULT SavePixelsForReset() noexcept;

    const std::wstring& GetBasePath() const noexcept { return m_basePath; }
    // After the file got a new name; the caller holds the owner's list lock and the entry's lock, and
    // has taken the entry out of the owner's maps.
    void SetBasePath(std::wstring basePath) noexcept { m_basePath = std::move(basePath); }
    uint64_t GetSortTime() const noexcept { return m_sortTime; }
    uint16_t GetPageIndex() const noexcept { return m_pageIndex; }
    uint16_t GetPageCount() const noexcept { return m_pageCount; }
    bool IsMultiPage() const noexcept { return m_pageCount >= 2; }
    CImageEngine* GetOwner() const noexcept { return m_owner; }

    Gdiplus::Bitmap* GetBitmap() const noexcept { return m_bitmap.get(); }
    IDirect3DSurface9* GetSurface() const noexcept { return m_surface.Get(); }
    bool HasImage() const noexcept { return m_bitmap || m_surface; }
    UINT GetWidth() const noexcept { return m_width; }
    UINT GetHeight() const noexcept { return m_height; }
    // The view state word: the quarter turns (-3..3) that the rotate commands give the picture on screen.
    DWORD GetState() const noexcept { return m_viewState; }
    void SetState(DWORD state) noexcept { m_viewState = state; }
    ImageInfo* GetInfo() noexcept { return &m_info; }
    uint8_t* GetCopiedFlag() noexcept { return &m_copied; }
    uint8_t* GetMarkedFlag() noexcept { return &m_marked; }
    const Bstr& GetDecodedExtension() const noexcept { return m_decodedExtension; }

    // The user's marks; -1 = unset.
    int32_t rating = -1;
    int32_t label = -1;
    int32_t labellingConvention = -1;
    int32_t urgency = -1;
    // When the last rating, label or urgency command was accepted for this picture (FILETIME units);
    // the frame's thread only.
    uint64_t lastRatingTime = 0;
    // The quick slot 0..9 that holds this entry, -1 = none; written under the slot lock.
    int16_t quickSlot = -1;

    // Decode state, polled by other threads.
    bool IsLoading() const noexcept { return m_loading != 0; }
    void SetLoading(bool loading) noexcept { InterlockedExchange(&m_loading, loading ? 1 : 0); }
    bool IsCancelled() const noexcept { return m_cancel != 0; }
    void SetCancel(bool cancel) noexcept { InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_cancel), cancel); }
    HRESULT GetDecodeResult() const noexcept { return m_decodeResult; }
    void SetDecodeResult(HRESULT hr) noexcept { InterlockedExchange(&m_decodeResult, hr); }
    // True when the flag was set; clears it.
    bool TakeEntryFlag(EntryFlag flag) noexcept { return (InterlockedAnd(&m_entryFlags, ~flag) & flag) != 0; }
    void SetEntryFlag(EntryFlag flag) noexcept { InterlockedOr(&m_entryFlags, flag); }
    LONG GetEntryFlags() const noexcept { return m_entryFlags; }

    // Keep copy: the jobs queued for this entry's files and not yet finished (raised as a job is
    // queued, lowered by the copy worker as it ends), and the flag that keep copy is still
    // queueing them. Either one keeps the picture from being deleted meanwhile.
    void AddPendingCopy() noexcept { InterlockedIncrement(&m_pendingCopies); }
    void FinishPendingCopy() noexcept { InterlockedDecrement(&m_pendingCopies); }
    void SetQueueingCopies(bool queueing) noexcept { InterlockedExchange(&m_queueingCopies, queueing ? 1 : 0); }
    bool CopiesPending() const noexcept { return m_pendingCopies != 0 || m_queueingCopies != 0; }

private:
    friend HRESULT DecodeEntry(CImageEntry& entry, DecodeThreadContext* context, const wchar_t* extension,
                               bool useSurface, bool colourManage, bool raw, bool autoRotate) noexcept;

    std::atomic<ULONG> m_references{1};
    CImageEngine* m_owner;
    std::wstring m_basePath;
    uint64_t m_sortTime = 0;
    UINT m_width = 0;
    UINT m_height = 0;
    uint16_t m_pageIndex;
    uint16_t m_pageCount;
    DWORD m_viewState = 0;
    volatile HRESULT m_decodeResult = S_OK;
    UINT m_savedPitch = 0;
    // A system-memory copy of the surface's pixels, to rebuild the surface after a device reset.
    UniqueHGlobal m_savedPixels;
    // Takes the decoded picture out of the entry and out of the view's slots, then frees it.
    void TakeImageFromView() noexcept;
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    ComPtr<IDirect3DSurface9> m_surface;
    ImageInfo m_info;
    uint8_t m_onSurface = 0;
    uint8_t m_copied = 0;
    uint8_t m_marked = 0;
    volatile LONG m_loading = 0;
    SRWLOCK m_lock = SRWLOCK_INIT;
    Bstr m_extensions;
    Bstr m_decodedExtension;
    // Read by the decode pipeline's abort callback.
    volatile ULONG m_cancel = 0;
    Bstr m_bookmarkName;
    volatile LONG m_entryFlags = 0;
    volatile LONG m_pendingCopies = 0;
    volatile LONG m_queueingCopies = 0;
};

// A counted reference to an entry.
class EntryRef {
public:
    EntryRef() noexcept = default;
    EntryRef(std::nullptr_t) noexcept {}
    explicit EntryRef(CImageEntry* entry) noexcept : m_entry(entry)
    {
        if (m_entry) m_entry->AddRef();
    }
    EntryRef(const EntryRef& other) noexcept : EntryRef(other.m_entry) {}
    EntryRef(EntryRef&& other) noexcept : m_entry(std::exchange(other.m_entry, nullptr)) {}
    ~EntryRef() { Reset(); }
    EntryRef& operator=(EntryRef other) noexcept
    {
        std::swap(m_entry, other.m_entry);
        return *this;
    }

    // Takes over the reference of a new entry.
    static EntryRef Adopt(CImageEntry* entry) noexcept
    {
        EntryRef ref;
        ref.m_entry = entry;
        return ref;
    }
    void Reset() noexcept
    {
        if (CImageEntry* entry = std::exchange(m_entry, nullptr)) entry->Release();
    }

    CImageEntry* Get() const noexcept { return m_entry; }
    CImageEntry* operator->() const noexcept { return m_entry; }
    CImageEntry& operator*() const noexcept { return *m_entry; }
    explicit operator bool() const noexcept { return m_entry != nullptr; }
    bool operator==(const EntryRef& other) const noexcept { return m_entry == other.m_entry; }
    bool operator==(const CImageEntry* other) const noexcept { return m_entry == other; }

private:
    CImageEntry* m_entry = nullptr;
};

// A new heap entry with its first reference.
template <class... Args>
EntryRef MakeEntry(Args&&... args)
{
    return EntryRef::Adopt(new CImageEntry(std::forward<Args>(args)...));
}
