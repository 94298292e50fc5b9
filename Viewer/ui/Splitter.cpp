#include "Viewer/ui/Splitter.h"

namespace {
void ShowPane(HWND pane, int command)
{
    if (pane && IsWindow(pane)) ShowWindow(pane, command);
}
}

HWND CSplitter::CreateSplitter(HWND parent)
{
    return Create(parent, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
}

void CSplitter::SetPanes(HWND top, HWND bottom)
{
    m_panes[0] = top;
    m_panes[1] = bottom;
    UpdateLayout();
}

void CSplitter::SetBottomPaneHeight(int height)
{
    m_bottomHeight = height < 0 ? 0 : height;
    UpdateLayout();
}

bool CSplitter::SetActivePane(int pane)
{
    if (pane != 0 && pane != 1) return false;
    if (m_singlePane != NoSinglePane && m_singlePane != pane) return false;
    if (m_panes[pane] && ::IsWindow(m_panes[pane])) SetFocus(m_panes[pane]);
    m_activePane = pane;
    return true;
}

bool CSplitter::SetSinglePaneMode(int pane)
{
    if (pane != 0 && pane != 1 && pane != NoSinglePane) return false;
    if (pane == NoSinglePane) {
        if (m_singlePane != NoSinglePane) ShowPane(m_panes[1 - m_singlePane], SW_SHOW);
    } else {
        ShowPane(m_panes[pane], SW_SHOW);
        ShowPane(m_panes[1 - pane], SW_HIDE);
    }
    m_singlePane = pane;
    if (pane != NoSinglePane && m_activePane != pane) SetActivePane(pane);
    UpdateLayout();
    return true;
}

void CSplitter::UpdateLayout()
{
    if (!IsWindow()) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (m_singlePane != NoSinglePane) {
        PlacePane(m_panes[m_singlePane], client);
        return;
    }
    // The bottom pane keeps its height; the top pane takes whatever the window gains or loses. The
    // panes meet without a divider: the bar is not meant to be dragged.
    const LONG split = client.bottom - m_bottomHeight > client.top ? client.bottom - m_bottomHeight : client.top;
    PlacePane(m_panes[0], RECT{client.left, client.top, client.right, split});
    PlacePane(m_panes[1], RECT{client.left, split, client.right, client.bottom});
}

void CSplitter::PlacePane(HWND pane, const RECT& place)
{
    if (pane && ::IsWindow(pane)) {
        SetWindowPos(pane, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    InvalidateRect(m_hWnd, &place, TRUE);
}

LRESULT CSplitter::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    UpdateLayout();
    handled = FALSE;
    return 0;
}

LRESULT CSplitter::OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessageW(GetParent(m_hWnd), message, wParam, lParam);
}
