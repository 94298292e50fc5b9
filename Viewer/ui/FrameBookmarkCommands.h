#pragma once
// The keys that put the current picture into a quick slot or take it out again, and the named
// bookmark commands of the control bar: toggle the current picture's bookmark, go to the next or
// previous bookmarked picture. The engine keeps the slots and bookmarks, asks and moves.
#include "Framework/Bstr.h"
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameBookmarkCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameBookmarkCommands)
        COMMAND_RANGE_HANDLER(ID_TOGGLE_QUICK_SLOT_0, ID_TOGGLE_QUICK_SLOT_9, OnToggleQuickSlot)
        COMMAND_ID_HANDLER(ID_TOGGLE_BOOKMARK, OnToggleBookmarkCurrent)
        COMMAND_ID_HANDLER(ID_NEXT_BOOKMARK, OnNextBookmark)
        COMMAND_ID_HANDLER(ID_PREVIOUS_BOOKMARK, OnPreviousBookmark)
    END_MESSAGE_MAP()

    explicit CFrameBookmarkCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnToggleQuickSlot(WORD, WORD command, HWND, BOOL&);
    LRESULT OnToggleBookmarkCurrent(WORD, WORD, HWND, BOOL&);
    LRESULT OnNextBookmark(WORD, WORD, HWND, BOOL&);
    LRESULT OnPreviousBookmark(WORD, WORD, HWND, BOOL&);
    // The open bookmark list selects the bookmark a command added or went to.
    void SelectInBookmarkList(const Bstr& name);

    CMainFrame& m_frame;
};
