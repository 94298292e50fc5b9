#pragma once
// The floating list of the open folder's bookmarks, in natural order. It follows the picture the
// viewer shows (that picture's bookmark is selected), asks the frame to show a bookmark's picture
// when its row is selected or double-clicked, renames a bookmark in place and removes one after the
// user confirms. A bookmark whose picture is not listed is grey and can be neither shown nor
// renamed. The list works on a copy of the engine's bookmarks, taken anew whenever they changed
// before anything reads it, so that it never hands on an entry of a folder that was closed.
#include "Framework/Bstr.h"
#include "Framework/Dialog.h"
#include "Framework/MessageLoop.h"
#include "Viewer/dialogs/ToolWindowFrame.h"
#include "Viewer/engine/BookmarkStore.h"
#include <commctrl.h>

// The bookmark the list selects at its next tick: the one of the picture shown, a new or a renamed
// one. A copy of name is kept; null clears it.
void SetSelectedBookmarkName(const wchar_t* name);
const Bstr& SelectedBookmarkName() noexcept;

class CBookmarksDialog : public DialogImpl<CBookmarksDialog>, private MessageFilter {
public:
    enum { IDD = 120 };
    enum : WORD { IDC_BOOKMARK_LIST = 1130 };
    enum : UINT_PTR { TIMER_REFRESH = 1 };
    static constexpr UINT RefreshInterval = 250;

    BEGIN_MESSAGE_MAP(CBookmarksDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MESSAGE_MAP_MEMBER(m_look)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_HANDLER(IDOK, 0, OnClose)
        COMMAND_HANDLER(IDCANCEL, 0, OnClose)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_ITEMCHANGED, OnItemChanged)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, NM_CUSTOMDRAW, OnCustomDraw)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_GETDISPINFOW, OnGetDisplayInfo)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_GETINFOTIPW, OnGetInfoTip)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_BEGINLABELEDITW, OnBeginLabelEdit)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_ENDLABELEDITW, OnEndLabelEdit)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_GETEMPTYMARKUP, OnGetEmptyMarkup)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_ODCACHEHINT, OnNothing)
        NOTIFY_HANDLER(IDC_BOOKMARK_LIST, LVN_ODFINDITEMW, OnNothing)
    END_MESSAGE_MAP()

    // The store is the image engine's, borrowed for the dialog object's lifetime.
    explicit CBookmarksDialog(CBookmarkStore& store) : m_store(store) {}

    // The bookmarks as the list shows them.
    const BookmarkSnapshot& Shown() const noexcept { return m_snapshot; }
    // Brings the list in step with the engine's bookmarks and selects the selected name's row; the
    // timer calls it every RefreshInterval.
    void RefreshBookmarkList();

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM timer, LPARAM, BOOL& handled);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD, HWND, BOOL&);
    LRESULT OnDoubleClick(int, NMHDR* header, BOOL&);
    LRESULT OnItemChanged(int, NMHDR* header, BOOL&);
    LRESULT OnCustomDraw(int, NMHDR* header, BOOL&);
    LRESULT OnGetDisplayInfo(int, NMHDR* header, BOOL&);
    LRESULT OnGetInfoTip(int, NMHDR* header, BOOL&);
    LRESULT OnBeginLabelEdit(int, NMHDR* header, BOOL&);
    LRESULT OnEndLabelEdit(int, NMHDR* header, BOOL&);
    LRESULT OnGetEmptyMarkup(int, NMHDR* header, BOOL&);
    LRESULT OnNothing(int, NMHDR*, BOOL&) { return 0; }

    BOOL PreTranslateMessage(MSG* message) override;
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);

    // A new copy of the bookmarks when they changed since the last one; the list's row count and the
    // visible rows follow.
    void TakeSnapshotIfChanged();
    // The row's entry, after a new copy when needed; null out of range or without picture.
    CImageEntry* RowEntry(int row);
    bool InRange(int row) const noexcept { return row >= 0 && row < static_cast<int>(m_snapshot.names.size()); }
    // Asks the frame to show the row's picture; beeps for a bookmark without one.
    void ShowRowPicture(int row);
    void RenameRow(int row, const wchar_t* text);
    void RemoveRow(int row);
    void Layout();
    // The visible rows are repainted at the next tick.
    void MarkVisibleRowsForRedraw();
    void StopEditFilter();

    CBookmarkStore& m_store;
    BookmarkSnapshot m_snapshot;
    HWND m_list = nullptr;
    int m_itemCount = 0;
    int m_redrawFirst = -1;
    int m_redrawLast = -1;
    bool m_selecting = false;
    bool m_filterAdded = false;
    CToolWindowFrame m_look{true};
};
