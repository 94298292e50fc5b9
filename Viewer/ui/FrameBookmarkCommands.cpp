#include "Viewer/ui/FrameBookmarkCommands.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/MainFrame.h"

LRESULT CFrameBookmarkCommands::OnToggleQuickSlot(WORD, WORD command, HWND, BOOL&)
{
    LastActivityCode = 283.0;
    const int slot = command - ID_TOGGLE_QUICK_SLOT_0;
    CImageEngine& engine = m_frame.Engine();
    const EntryRef current(engine.GetCurrentEntry(true));
    CQuickSlots& slots = engine.QuickSlots();
    bool holdsCurrent = false;
    {
        CriticalSectionScope lock(slots.Lock());
        holdsCurrent = current && slots.EntryAt(slot) && current->quickSlot == slot;
    }
    // The key of the slot the picture is in takes it out; any other stores it there. A bar that hides
    // itself comes up, so that the status line shows the change.
    if (holdsCurrent) {
        if (!m_frame.IsBarVisible()) m_frame.SlideInTaskbar();
        slots.ClearQuickSlot(slot);
    } else if (!engine.SetQuickSlot(slot)) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
    } else if (!m_frame.IsBarVisible()) {
        m_frame.SlideInTaskbar();
    }
    return 0;
}

LRESULT CFrameBookmarkCommands::OnToggleBookmarkCurrent(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 306.0;
    SelectInBookmarkList(m_frame.Engine().ToggleBookmark());
    return 0;
}

LRESULT CFrameBookmarkCommands::OnNextBookmark(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 307.0;
    SelectInBookmarkList(m_frame.Engine().GoToNextBookmark());
    return 0;
}

LRESULT CFrameBookmarkCommands::OnPreviousBookmark(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 308.0;
    SelectInBookmarkList(m_frame.Engine().GoToPreviousBookmark());
    return 0;
}

void CFrameBookmarkCommands::SelectInBookmarkList(const Bstr& name)
{
    if (m_frame.BookmarkList().Dialog().IsWindow()) m_frame.BookmarkList().SelectBookmark(name.c_str());
}
