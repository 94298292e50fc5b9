// The user's marks on the current picture: storing it in a quick slot, and adding, renaming,
// removing and stepping through its named bookmarks.
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/engine/BookmarkPrefix.h"
#include "Viewer/engine/ImageEngine.h"
#include <iterator>

namespace {
constexpr UINT RemoveBookmarkText = 10211;
constexpr UINT RemoveBookmarkCaption = 10212;

bool KeyDown(int virtualKey)
{
    return QueryKeyState(virtualKey) < 0;
}

// The first entry of [first, last) that carries a bookmark, with its name; caller holds the bookmark
// lock.
template <class Iterator>
bool FindBookmarked(Iterator first, Iterator last, EntryRef& entry, Bstr& name)
{
    for (; first != last; ++first) {
        if ((*first)->GetBookmarkName().Empty()) continue;
        entry = *first;
        name = (*first)->GetBookmarkName();
        return true;
    }
    return false;
}
}

bool CImageEngine::SetQuickSlot(int slot)
{
    if (slot < 0 || slot >= CQuickSlots::SlotCount) return false;
    CriticalSectionScope list(m_listLock);
    if (m_entries.empty()) return false;
    m_slots.SetQuickSlot(slot, HasCurrent() ? m_current->Get() : nullptr);
    return true;
}

bool CImageEngine::ChooseBookmarkPrefix(const wchar_t* picturePath, bool force)
{
    if (m_bookmarkPrefix && !force) return true;
    if (!m_prefixChooser) return false;
    const HWND frame = m_owner ? *m_owner : nullptr;
    PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
    // The dialog works on a copy: a cancelled choice leaves the prefix as it was.
    BookmarkPrefixRequest request{m_bookmarkPrefix.value_or(L""), m_markedFolder.c_str(), picturePath};
    if (m_prefixChooser(frame, request) != IDOK) return false;
    m_bookmarkPrefix = std::move(request.prefix);
    return true;
}

Bstr CImageEngine::MakeBookmarkName(CImageEntry* entry)
{
    CriticalSectionScope bookmarks(m_bookmarks.Lock());
    const std::wstring picture = entry ? entry->GetBasePath() : std::wstring();
    // The dialog keeps the user's choice in the settings: every new name follows them.
    m_bookmarkPrefix = LoadPrefixSettings(ComputePrefixCandidates(m_markedFolder.c_str(), picture.c_str())).prefix;
    return Bstr(m_bookmarks.FirstFreeName(m_bookmarkPrefix->c_str(), m_bookmarkPrefix->empty() ? L"" : L"_"));
}

Bstr CImageEngine::ToggleBookmark()
{
    EntryRef entry;
    {
        CriticalSectionScope list(m_listLock);
        if (HasCurrent()) entry = *m_current;
    }
    if (!entry) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return {};
    }
    bool bookmarked = false;
    {
        CriticalSectionScope bookmarks(m_bookmarks.Lock());
        bookmarked = !entry->GetBookmarkName().Empty();
    }
    // The keys as they were with the command's message, not as they are after a decode wait.
    const bool shift = KeyDown(VK_SHIFT);
    const bool control = KeyDown(VK_CONTROL);
    if (bookmarked && !shift && !control) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return {};
    }
    if (bookmarked && control) {
        PostToFrame(WM_APP_SHOW_CURSOR, 0, 0);
        if (ShowMessageBox(m_owner ? *m_owner : nullptr, LoadUiString(RemoveBookmarkText).c_str(),
                           LoadUiString(RemoveBookmarkCaption).c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            m_bookmarks.RemoveEntryBookmark(entry.Get());
        return {};
    }
    if (!control && !ChooseBookmarkPrefix(entry->GetBasePath().c_str(), shift)) return {};
    CriticalSectionScope list(m_listLock);
    // The list may have changed while the user chose: a picture no longer listed gets no bookmark.
    if (FindListed(entry.Get()) == m_entries.end()) return {};
    CriticalSectionScope bookmarks(m_bookmarks.Lock());
    Bstr name = MakeBookmarkName(entry.Get());
    m_bookmarks.SetEntryBookmark(entry.Get(), std::wstring(name.View()));
    return name;
}

Bstr CImageEngine::GoToBookmark(bool forward)
{
    EntryRef entry;
    Bstr name;
    {
        CriticalSectionScope list(m_listLock);
        CriticalSectionScope bookmarks(m_bookmarks.Lock());
        // Without a current entry every entry lies ahead.
        const bool has = HasCurrent();
        const bool wrap = AppSettings::WrapImageList != 0 && has;
        const auto current = m_current;
        if (m_bookmarks.Names().empty()) {
            // No bookmark to look for.
        } else if (forward) {
            const auto after = has ? std::next(current) : m_entries.begin();
            if (!FindBookmarked(after, m_entries.end(), entry, name) && wrap)
                FindBookmarked(m_entries.begin(), current, entry, name);
        } else {
            const auto before = std::make_reverse_iterator(current);
            if (!FindBookmarked(before, m_entries.rend(), entry, name) && wrap)
                FindBookmarked(m_entries.rbegin(), std::make_reverse_iterator(std::next(current)), entry, name);
        }
    }
    if (!entry) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return {};
    }
    PostToFrame(WM_APP_GO_TO_ENTRY, reinterpret_cast<WPARAM>(entry.Get()), 0);
    return name;
}

Bstr CImageEngine::GoToNextBookmark()
{
    return GoToBookmark(true);
}

Bstr CImageEngine::GoToPreviousBookmark()
{
    return GoToBookmark(false);
}
