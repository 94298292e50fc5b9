#include "Viewer/engine/ImageEntry.h"
#include "Framework/HResultError.h"
#include "Viewer/core/Hash64.h"
#include "Viewer/engine/ExtensionList.h"
#include "Viewer/engine/ViewImageHandoff.h"
#include <shlwapi.h>
#include <cstring>
#include <cwchar>

namespace {
constexpr size_t KeyTextLength = 520;

uint64_t FileTimeValue(const FILETIME* time) noexcept
{
    return time ? (uint64_t(time->dwHighDateTime) << 32) | time->dwLowDateTime : 0;
}

std::wstring Formatted(const wchar_t* format, const wchar_t* a, const wchar_t* b, unsigned page)
{
    wchar_t text[KeyTextLength + 1];
    if (b)
        _snwprintf(text, KeyTextLength, format, a, b, page);
    else
        _snwprintf(text, KeyTextLength, format, a, page);
    text[KeyTextLength] = L'\0';
    return text;
}
}

CImageEntry::CImageEntry(CImageEngine* owner, std::wstring basePath, const FILETIME* sortTime, uint16_t pageIndex,
                         uint16_t pageCount, const wchar_t* firstExtension, bool newArrival)
    : m_owner(owner),
      m_basePath(std::move(basePath)),
      m_sortTime(FileTimeValue(sortTime)),
      m_pageIndex(pageIndex),
      m_pageCount(pageCount),
      m_entryFlags(newArrival ? LONG(EntryFlagNewArrival) : 0)
{
    if (firstExtension) AddCompanionExtension(firstExtension);
}

CImageEntry::CImageEntry(const CImageEntry& other)
    : rating(other.rating),
      label(other.label),
      labellingConvention(other.labellingConvention),
      urgency(other.urgency),
      lastRatingTime(other.lastRatingTime),
      quickSlot(other.quickSlot),
      m_owner(other.m_owner),
      m_basePath(other.m_basePath),
      m_sortTime(other.m_sortTime),
      m_width(other.m_width),
      m_height(other.m_height),
      m_pageIndex(other.m_pageIndex),
      m_pageCount(other.m_pageCount),
      m_viewState(other.m_viewState),
      m_decodeResult(other.m_decodeResult),
      m_surface(other.m_surface),
      m_info(other.m_info),
      m_onSurface(other.m_onSurface),
      m_copied(other.m_copied),
      m_marked(other.m_marked),
      m_loading(other.m_loading),
      m_extensions(other.m_extensions),
      m_decodedExtension(other.m_decodedExtension),
      m_cancel(other.m_cancel),
      m_bookmarkName(other.m_bookmarkName),
      m_entryFlags(other.m_entryFlags)
{
}

CImageEntry::~CImageEntry()
{
    ReleaseDecodedImage();
}

HRESULT CImageEntry::EntryLockEnter() noexcept
{
    AcquireSRWLockExclusive(&m_lock);
    return S_OK;
}

HRESULT CImageEntry::EntryLockTryEnter() noexcept
{
    return TryAcquireSRWLockExclusive(&m_lock) ? S_OK : E_FAIL;
}

HRESULT CImageEntry::EntryLockLeave() noexcept
{
    ReleaseSRWLockExclusive(&m_lock);
    return S_OK;
}

bool CImageEntry::AddCompanionExtension(const wchar_t* extension)
{
    if (extension && *extension == L'.') ++extension;
    if (!extension || HasExtension(extension)) return false;
    std::wstring list(m_extensions.View());
    if (!list.empty()) list += L';';
    list += extension;
    m_extensions = Bstr(list);
    return true;
}

bool CImageEntry::HasExtension(const wchar_t* extension) const noexcept
{
    return ExtensionListHolds(m_extensions.View(), extension);
}

std::wstring CImageEntry::GetExtensionsText() const
{
    std::wstring text(m_decodedExtension.View());
    ForEachExtension(m_extensions.View(), [&](std::wstring_view token) {
        if (ExtensionListHolds(text, token, L'+')) return;
        if (!text.empty()) text += L'+';
        text += token;
    });
    if (text.empty()) return L"???";
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

uint64_t CImageEntry::GetEntryKeyHash(bool ownHashOnly) const
{
    if (m_pageIndex == 0 && m_pageCount == 1)
        return Hash64(m_basePath.c_str(), static_cast<int>(m_basePath.size()), ownHashOnly);
    const std::wstring text = Formatted(L"%ls.%ls:%x", m_basePath.c_str(), m_extensions.c_str(), m_pageIndex);
    return Hash64(text.c_str(), static_cast<int>(text.size()), ownHashOnly);
}

std::wstring CImageEntry::GetBookmarkKey() const
{
    if (m_pageIndex == 0 && m_pageCount == 1) return m_basePath;
    return Formatted(L"%ls<%d>", m_basePath.c_str(), nullptr, m_pageIndex);
}

Bstr CImageEntry::SwapBookmarkName(const wchar_t* name)
{
    if (name && name == m_bookmarkName.Get()) return m_bookmarkName;
    Bstr old = std::move(m_bookmarkName);
    m_bookmarkName = name ? Bstr(name) : Bstr();
    return old;
}

HRESULT CImageEntry::SavePixelsForReset() noexcept
{
    if (!m_surface) return S_FALSE;
    D3DLOCKED_RECT locked = {};
    HRESULT hr = m_surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(hr)) return hr;
    const size_t bytes = size_t(m_height) * static_cast<UINT>(locked.Pitch);
    UniqueHGlobal saved(GlobalAlloc(GMEM_MOVEABLE, bytes));
    void* target = saved ? GlobalLock(saved.Get()) : nullptr;
    if (target) {
        memcpy(target, locked.pBits, bytes);
        GlobalUnlock(saved.Get());
    }
    m_surface->UnlockRect();
    if (!target) return E_OUTOFMEMORY;
    m_savedPixels.Reset(saved.Release());
    m_savedPitch = static_cast<UINT>(locked.Pitch);
    TakeImageFromView();
    return S_OK;
}

void CImageEntry::TakeImageFromView() noexcept
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ComPtr<IDirect3DSurface9> surface;
    {
        // The view reads an entry's picture under the same lock, so it either takes it before this
        // (and the slot is cleared here) or finds none.
        CriticalSectionScope view(ViewLock);
        bitmap = std::move(m_bitmap);
        surface = std::move(m_surface);
        if (bitmap && DisplayedBitmap == bitmap.get()) DisplayedBitmap = nullptr;
        if (surface && DisplayedSurface == surface.Get()) DisplayedSurface = nullptr;
    }
}

bool CImageEntry::ReleaseDecodedImage() noexcept
{
    if (InterlockedExchange(&m_loading, 0)) SetCancel(true);
    const bool freed = HasImage();
    TakeImageFromView();
    m_savedPixels.Reset();
    InterlockedAnd(&m_entryFlags, ~(EntryFlagNewArrival | EntryFlagOwnChange));
    SetDecodeResult(S_OK);
    return freed;
}
