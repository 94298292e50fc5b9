#include "Viewer/ui/FrameBookmarkList.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/dialogs/PrefixDialog.h"
#include "Viewer/ui/MainFrame.h"

CFrameBookmarkList::CFrameBookmarkList(CMainFrame& frame) : m_frame(frame), m_dialog(frame.Engine().Bookmarks())
{
    frame.Engine().SetPrefixChooser([](HWND owner, BookmarkPrefixRequest& request) {
        CPrefixDialog dialog(request, FrameSkinImageLoader());
        return dialog.DoModal(owner);
    });
}

void CFrameBookmarkList::SelectBookmark(const wchar_t* name)
{
    if (name && *name) SetSelectedBookmarkName(name);
}

LRESULT CFrameBookmarkList::OnToggleBookmarks(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 299.0;
    if (m_dialog.IsWindow()) {
        m_dialog.DestroyWindow();
        AppSettings::ShowBookmarkList = 0;
        return 0;
    }
    m_frame.ShowViewCursor();
    if (!m_dialog.Create(m_frame.m_hWnd)) return 0;
    ShowWindow(m_dialog.m_hWnd, SW_SHOWNORMAL);
    AppSettings::ShowBookmarkList = 1;
    return 0;
}
