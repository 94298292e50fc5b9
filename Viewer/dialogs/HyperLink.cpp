#include "Viewer/dialogs/HyperLink.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Framework/PaintMessage.h"
#include <commctrl.h>

void CHyperLink::SetColors(COLORREF link, COLORREF visited, COLORREF background) noexcept
{
    m_linkColor = link;
    m_visitedColor = visited;
    m_backgroundColor = background;
}

BOOL CHyperLink::SubclassWindow(HWND control, const std::wstring& text)
{
    if (!WindowBase::SubclassWindow(control)) return FALSE;
    SetWindowLongPtrW(control, GWL_STYLE, GetWindowLongPtrW(control, GWL_STYLE) | SS_NOTIFY);
    if (text.empty()) {
        wchar_t own[1024]{};
        GetWindowTextW(control, own, static_cast<int>(std::size(own)));
        m_text = own;
    } else {
        m_text = text;
        SetWindowTextW(control, m_text.c_str());
    }
    MakeUnderlinedFont();
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, nullptr, nullptr);
    if (m_tooltip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(control);
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = m_text.data();
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    InvalidateRect(control, nullptr, TRUE);
    return TRUE;
}

void CHyperLink::MakeUnderlinedFont()
{
    m_underlined.reset(CreateFontVariant(m_hWnd, KeepFontWeight, true));
}

LRESULT CHyperLink::OnMouseMessage(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    if (message == WM_MOUSEMOVE && !m_hot) {
        SetHot(true);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
    }
    // The static control's own click notification would come on top of the link's.
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) return 0;
    if (message == WM_LBUTTONUP) {
        SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CHyperLink::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    SetHot(false);
    return 0;
}

void CHyperLink::SetHot(bool hot)
{
    if (m_hot == hot) return;
    m_hot = hot;
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CHyperLink::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CHyperLink::OnSetFont(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    MakeUnderlinedFont();
    return result;
}

LRESULT CHyperLink::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;
}

LRESULT CHyperLink::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    return PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { Paint(dc); });
}

void CHyperLink::Paint(HDC dc) const
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    SetBkColor(dc, m_backgroundColor);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    HFONT font = m_hot && m_underlined ? m_underlined.get() : reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_linkColor);
    DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &client, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    if (previous) SelectObject(dc, previous);
}

LRESULT CHyperLink::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    handled = FALSE;
    return 0;
}
