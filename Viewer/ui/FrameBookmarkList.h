#pragma once
// The frame's floating bookmark list: its toggle command, the name of the bookmark it is to select,
// and the prefix dialog that the engine shows when a new bookmark needs a name.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/dialogs/BookmarksDialog.h"

class CMainFrame;

class CFrameBookmarkList : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameBookmarkList)
        COMMAND_ID_HANDLER(ID_SHOW_BOOKMARKS, OnToggleBookmarks)
    END_MESSAGE_MAP()

    explicit CFrameBookmarkList(CMainFrame& frame);

    CBookmarksDialog& Dialog() noexcept { return m_dialog; }
    // The list selects this bookmark's row at its next tick. A null or empty name is ignored.
    void SelectBookmark(const wchar_t* name);

private:
    LRESULT OnToggleBookmarks(WORD, WORD, HWND, BOOL&);

    CMainFrame& m_frame;
    CBookmarksDialog m_dialog;
};
