#include "Viewer/dialogs/PageHost.h"

namespace {
void AddControlParentStyle(HWND window) noexcept
{
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}
}

BOOL CPageHost::SubclassWindow(HWND host) noexcept
{
    if (!WindowBase::SubclassWindow(host)) return FALSE;
    Initialise();
    return TRUE;
}

void CPageHost::Initialise() noexcept
{
    // With the host and every page a control parent, the dialog manager steps through the controls of
    // the visible page as if they were the dialog's own.
    AddControlParentStyle(m_hWnd);
    NotifyParent(Initialised);
}

LRESULT CPageHost::NotifyParent(int code) const noexcept
{
    NMHDR header{};
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd));
    header.code = static_cast<UINT>(code);
    return SendMessageW(GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

int CPageHost::AddPage(HWND page)
{
    m_pages.push_back(page);
    ShowWindow(page, SW_HIDE);
    AddControlParentStyle(page);
    NotifyParent(PageAdded);
    return PageCount() - 1;
}

bool CPageHost::ShowPage()
{
    const int index = LastOptionsPage;
    if (index < 0 || index >= PageCount()) return false;
    if (index == m_currentIndex) return true;
    if (NotifyParent(PageChanging) != 0) return false;

    HWND oldPage = m_currentPage;
    m_currentIndex = index;
    m_currentPage = m_pages[static_cast<size_t>(index)];
    if (oldPage)
        SetWindowPos(oldPage, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    FitCurrentPage();
    SetWindowPos(m_currentPage, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (!oldPage) {
        SetFocus(m_hWnd);
    } else {
        HWND focus = GetFocus();
        if (focus && IsChild(m_hWnd, focus))
            if (HWND first = GetWindow(m_currentPage, GW_CHILD)) SetFocus(first);
    }
    NotifyParent(PageChanged);
    return true;
}

void CPageHost::FitCurrentPage() const noexcept
{
    if (!m_currentPage) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_currentPage, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CPageHost::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    Initialise();
    return result;
}

LRESULT CPageHost::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_currentPage)
        if (HWND first = GetNextDlgTabItem(m_currentPage, nullptr, FALSE)) SetFocus(first);
    return 0;
}

LRESULT CPageHost::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;  // the pages cover the host
}

LRESULT CPageHost::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    FitCurrentPage();
    handled = FALSE;
    return 0;
}

LRESULT CPageHost::OnCommand(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_currentPage) SendMessageW(m_currentPage, message, wParam, lParam);
    handled = FALSE;  // reflected to the control next, then default processing
    return 0;
}
