#include "Viewer/dialogs/BookmarksDialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueMenu.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/Trim.h"
#include "Viewer/core/WindowPlacement.h"
#include <windowsx.h>
#include <algorithm>
#include <cwchar>

namespace {
constexpr const wchar_t* PlacementValue = L"BookmarksDlgEx";
constexpr UINT EmptyListText = 10022;
constexpr UINT RemoveCaption = 10023;
constexpr UINT RemoveQuestion = 10024;
constexpr UINT BookmarkMenu = 243;
constexpr UINT ID_SHOW_PICTURE = 32845;
constexpr UINT ID_RENAME = 32870;
constexpr UINT ID_REMOVE = 32872;
constexpr DWORD ListExtendedStyles = LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_INFOTIP |
                                     LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
constexpr UINT_PTR ListSubclassId = 1;

Bstr& SelectedName()
{
    static Bstr name;
    return name;
}

// Copies text into a buffer of capacity characters, cut to fit.
void CopyCut(const std::wstring& text, wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0) return;
    const size_t count = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::copy_n(text.c_str(), count, buffer);
    buffer[count] = L'\0';
}

std::wstring Trimmed(const wchar_t* text)
{
    std::wstring trimmed(text);
    Trim(trimmed.data(), false);
    trimmed.resize(wcslen(trimmed.c_str()));
    return trimmed;
}
}

void SetSelectedBookmarkName(const wchar_t* name)
{
    SelectedName() = name ? Bstr(name) : Bstr();
}

const Bstr& SelectedBookmarkName() noexcept
{
    return SelectedName();
}

LRESULT CBookmarksDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    RestoreWindowPlacement(m_hWnd, PlacementValue);
    m_list = GetDlgItem(m_hWnd, IDC_BOOKMARK_LIST);
    if (!m_list) return TRUE;
    SetWindowSubclass(m_list, &ListProc, ListSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(m_list, LVM_SETUNICODEFORMAT, TRUE, 0);
    ListView_SetExtendedListViewStyleEx(m_list, ListExtendedStyles, ListExtendedStyles);
    RECT client{};
    GetClientRect(m_list, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"Bookmarks");
    column.cx = client.right - client.left;
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    if (HWND header = ListView_GetHeader(m_list))
        SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HDS_HIDDEN);
    Layout();
    m_snapshot = m_store.Snapshot();
    m_itemCount = static_cast<int>(m_snapshot.names.size());
    ListView_SetItemCountEx(m_list, m_itemCount, LVSICF_NOINVALIDATEALL);
    RefreshBookmarkList();
    SetTimer(m_hWnd, TIMER_REFRESH, RefreshInterval, nullptr);
    return TRUE;
}

LRESULT CBookmarksDialog::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    Layout();
    return 0;
}

void CBookmarksDialog::Layout()
{
    if (!m_list) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    LockWindowUpdate(m_list);
    ListView_SetColumnWidth(m_list, 0, client.right - client.left - GetSystemMetrics(SM_CXVSCROLL));
    SetWindowPos(m_list, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    LockWindowUpdate(nullptr);
}

LRESULT CBookmarksDialog::OnTimer(UINT, WPARAM timer, LPARAM, BOOL& handled)
{
    if (timer != TIMER_REFRESH) {
        handled = FALSE;
        return 0;
    }
    RefreshBookmarkList();
    return 0;
}

void CBookmarksDialog::TakeSnapshotIfChanged()
{
    if (!m_store.RefreshPending()) return;
    m_snapshot = m_store.Snapshot();
    const int count = static_cast<int>(m_snapshot.names.size());
    if (count != m_itemCount) {
        m_itemCount = count;
        ListView_SetItemCountEx(m_list, count, LVSICF_NOINVALIDATEALL);
    }
    // A rename elsewhere changes the texts of the rows without changing their number.
    MarkVisibleRowsForRedraw();
}

void CBookmarksDialog::RefreshBookmarkList()
{
    if (!m_list) return;
    TakeSnapshotIfChanged();
    if (m_redrawFirst >= 0 && m_redrawLast >= m_redrawFirst) ListView_RedrawItems(m_list, m_redrawFirst, m_redrawLast);
    m_redrawFirst = m_redrawLast = -1;
    const Bstr& wanted = SelectedName();
    if (!wanted.Get()) return;
    const int selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    if (InRange(selected) && m_snapshot.names[selected] == wanted.View()) return;
    const auto found = std::find(m_snapshot.names.begin(), m_snapshot.names.end(), wanted.View());
    if (found == m_snapshot.names.end()) return;
    const int row = static_cast<int>(found - m_snapshot.names.begin());
    m_selecting = true;
    ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_list, row, FALSE);
    m_selecting = false;
}

void CBookmarksDialog::MarkVisibleRowsForRedraw()
{
    if (!m_list || m_itemCount == 0) return;
    const int top = ListView_GetTopIndex(m_list);
    m_redrawFirst = top;
    m_redrawLast = std::min(top + ListView_GetCountPerPage(m_list), m_itemCount - 1);
}

CImageEntry* CBookmarksDialog::RowEntry(int row)
{
    TakeSnapshotIfChanged();
    return InRange(row) ? m_snapshot.entries[row].Get() : nullptr;
}

void CBookmarksDialog::ShowRowPicture(int row)
{
    CImageEntry* entry = RowEntry(row);
    if (!InRange(row)) return;
    if (!entry) {
        PlayMessageBeep(MB_ICONHAND);
        return;
    }
    PostMessageW(GetWindow(m_hWnd, GW_OWNER), WM_APP_GO_TO_ENTRY, reinterpret_cast<WPARAM>(entry), 0);
}

LRESULT CBookmarksDialog::OnDoubleClick(int, NMHDR* header, BOOL&)
{
    ShowRowPicture(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
    return 0;
}

LRESULT CBookmarksDialog::OnItemChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    if (m_selecting) return 0;
    if ((change->uNewState & (LVIS_SELECTED | LVIS_FOCUSED)) == 0) return 0;
    ShowRowPicture(change->iItem);
    return 0;
}

LRESULT CBookmarksDialog::OnCustomDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        if (InRange(row) && !m_snapshot.entries[row]) draw->clrText = GetSysColor(COLOR_GRAYTEXT);
    }
    return CDRF_DODEFAULT;
}

LRESULT CBookmarksDialog::OnGetDisplayInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if ((info->item.mask & LVIF_TEXT) && InRange(info->item.iItem))
        CopyCut(m_snapshot.names[info->item.iItem], info->item.pszText, info->item.cchTextMax);
    return 0;
}

LRESULT CBookmarksDialog::OnGetInfoTip(int, NMHDR* header, BOOL&)
{
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    const CImageEntry* entry = RowEntry(tip->iItem);
    CopyCut(entry ? entry->GetBasePath() + L"." + entry->GetExtensionsText() : std::wstring(), tip->pszText,
            tip->cchTextMax);
    return 0;
}

LRESULT CBookmarksDialog::OnBeginLabelEdit(int, NMHDR* header, BOOL&)
{
    if (!RowEntry(reinterpret_cast<NMLVDISPINFOW*>(header)->item.iItem)) return TRUE;
    if (MessageLoop* loop = GetMessageLoop(); loop && !m_filterAdded) {
        loop->AddMessageFilter(this);
        m_filterAdded = true;
    }
    return FALSE;
}

LRESULT CBookmarksDialog::OnEndLabelEdit(int, NMHDR* header, BOOL&)
{
    StopEditFilter();
    const auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if (!info->item.pszText) return 0;
    RenameRow(info->item.iItem, info->item.pszText);
    return 0;
}

void CBookmarksDialog::RenameRow(int row, const wchar_t* text)
{
    const std::wstring name = Trimmed(text);
    if (name.empty()) return;
    CImageEntry* entry = RowEntry(row);
    if (!InRange(row)) return;
    if (!entry || !m_store.RenameBookmark(m_snapshot.names[row], name, entry)) {
        PlayMessageBeep(MB_ICONHAND);
        return;
    }
    m_snapshot.names[row] = name;
    MarkVisibleRowsForRedraw();
    SetSelectedBookmarkName(name.c_str());
}

LRESULT CBookmarksDialog::OnGetEmptyMarkup(int, NMHDR* header, BOOL&)
{
    auto* markup = reinterpret_cast<NMLVEMPTYMARKUP*>(header);
    markup->dwFlags = 0;
    CopyCut(LoadUiString(EmptyListText), markup->szMarkup, static_cast<int>(std::size(markup->szMarkup)));
    return TRUE;
}

LRESULT CBookmarksDialog::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (!m_list) return 0;
    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(m_list, &hit.pt);
    const int row = ListView_HitTest(m_list, &hit);
    CImageEntry* entry = RowEntry(row);
    if (!InRange(row)) return 0;
    const UniqueMenu menu(LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(BookmarkMenu)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return 0;
    SetMenuDefaultItem(popup, ID_SHOW_PICTURE, FALSE);
    const UINT withPicture = entry ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(popup, ID_SHOW_PICTURE, MF_BYCOMMAND | withPicture);
    EnableMenuItem(popup, ID_RENAME, MF_BYCOMMAND | withPicture);
    EnableMenuItem(popup, ID_REMOVE, MF_BYCOMMAND | MF_ENABLED);
    switch (static_cast<UINT>(TrackPopup(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, m_list))) {
    case ID_SHOW_PICTURE:
        ShowRowPicture(row);
        break;
    case ID_RENAME:
        SendMessageW(m_list, LVM_EDITLABELW, row, 0);
        break;
    case ID_REMOVE:
        RemoveRow(row);
        break;
    default:
        break;
    }
    return 0;
}

void CBookmarksDialog::RemoveRow(int row)
{
    // The name now, not after the question: the list may change while it is asked.
    const std::wstring name = m_snapshot.names[row];
    if (ShowMessageBox(m_hWnd, LoadUiString(RemoveQuestion).c_str(), LoadUiString(RemoveCaption).c_str(),
                       MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    m_store.RemoveBookmarkByName(name);
    MarkVisibleRowsForRedraw();
}

LRESULT CBookmarksDialog::OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HWND parent = GetParent(m_hWnd);
    if (!parent) {
        handled = FALSE;
        return 0;
    }
    return SendMessageW(parent, message, wParam, lParam);
}

LRESULT CBookmarksDialog::OnClose(WORD, WORD, HWND, BOOL&)
{
    DestroyWindow();
    return 0;
}

LRESULT CBookmarksDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    KillTimer(m_hWnd, TIMER_REFRESH);
    StopEditFilter();
    SaveWindowPlacement(m_hWnd, PlacementValue);
    AppSettings::ShowBookmarkList = 0;
    if (m_list) RemoveWindowSubclass(m_list, &ListProc, ListSubclassId);
    m_list = nullptr;
    m_snapshot = {};
    m_itemCount = 0;
    return 0;
}

void CBookmarksDialog::StopEditFilter()
{
    if (!m_filterAdded) return;
    if (MessageLoop* loop = GetMessageLoop()) loop->RemoveMessageFilter(this);
    m_filterAdded = false;
}

BOOL CBookmarksDialog::PreTranslateMessage(MSG* message)
{
    return m_hWnd && IsDialogMessageW(m_hWnd, message);
}

LRESULT CALLBACK CBookmarksDialog::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self)
{
    if (message == WM_MOUSEWHEEL) {
        const auto* dialog = reinterpret_cast<CBookmarksDialog*>(self);
        return SendMessageW(dialog->m_hWnd, message, wParam, lParam);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}
