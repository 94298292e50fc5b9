#include "Viewer/dialogs/ThemedButton.h"
#include "Framework/ResourceModule.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Framework/PaintMessage.h"
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

namespace {
// The radio button's and the check box's states share their numbers: 1-4 unchecked normal, hot,
// pressed, disabled; 5-8 the same checked.
int GlyphState(bool enabled, bool pressed, bool hot, bool checked) noexcept
{
    if (!enabled) return checked ? CBS_CHECKEDDISABLED : CBS_UNCHECKEDDISABLED;
    if (pressed) return checked ? CBS_CHECKEDPRESSED : CBS_UNCHECKEDPRESSED;
    if (hot) return checked ? CBS_CHECKEDHOT : CBS_UNCHECKEDHOT;
    return checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
}

// The gap between the glyph and the caption.
constexpr int kCaptionGap = 5;
}

void CThemedButton::SetBackground(Gdiplus::Image* picture, bool nested) noexcept
{
    m_picture = picture;
    m_nested = nested;
}

BOOL CThemedButton::SubclassWindow(HWND control) noexcept
{
    if (!WindowBase::SubclassWindow(control)) return FALSE;
    if (Checkable()) m_checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    InitThemedButton();
    return TRUE;
}

void CThemedButton::InitThemedButton() noexcept
{
    // Owner-drawn, the control's own procedure never paints over ours.
    if (m_themes->IsAppThemed()) {
        const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    }
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_tooltip || m_tooltipText.empty()) return;
    SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = GetParent(m_hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.hinst = GetResourceInstance();
    tool.lpszText = m_tooltipText.data();
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CThemedButton::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    InitThemedButton();
    return result;
}

LRESULT CThemedButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CThemedButton::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_tooltip) {
        MSG relayed{m_hWnd, message, wParam, lParam, 0, {0, 0}};
        SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_MOUSEMOVE:
        MouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        handled = FALSE;
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(m_hWnd);
        SetCapture(m_hWnd);
        if (GetCapture() == m_hWnd) SetState(Pressed, true);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (GetCapture() != m_hWnd) SetCapture(m_hWnd);
        SetState(Pressed, true);
        return 0;
    case WM_LBUTTONUP:
        // Released anywhere, even off the control, the press is a click.
        if (GetCapture() == m_hWnd) {
            Click();
            ReleaseCapture();
        }
        return 0;
    default:
        handled = FALSE;
        return 0;
    }
}

void CThemedButton::MouseMove(POINT point)
{
    if (GetCapture() != m_hWnd) {
        if (m_state & Hot) return;
        SetState(Hot, true);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
        return;
    }
    RECT bounds{};
    GetWindowRect(m_hWnd, &bounds);
    ClientToScreen(m_hWnd, &point);
    SetState(Pressed, PtInRect(&bounds, point) != FALSE);
}

LRESULT CThemedButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    SetState(Hot, false);
    return 0;
}

LRESULT CThemedButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    SetState(Pressed, false);
    return 0;
}

LRESULT CThemedButton::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != VK_SPACE) {
        handled = FALSE;
        return 0;
    }
    SetState(Pressed, true);
    return 0;
}

LRESULT CThemedButton::OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != VK_SPACE) {
        handled = FALSE;
        return 0;
    }
    // With the mouse holding the control, the click belongs to the mouse.
    if ((m_state & Pressed) && GetCapture() != m_hWnd) {
        m_state &= static_cast<BYTE>(~Pressed);
        Click();
    }
    return 0;
}

// An owner-drawn radio button is no automatic one to the dialog manager: it says it is a radio button,
// so that the arrow keys move through its group, and notes when an arrow key is bringing the focus.
LRESULT CThemedButton::OnGetDlgCode(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (m_glyph != Glyph::RadioButton || (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW) {
        handled = FALSE;
        return 0;
    }
    m_arrowArrival = message && message->message == WM_KEYDOWN && message->hwnd != m_hWnd &&
                     (message->wParam == VK_LEFT || message->wParam == VK_UP || message->wParam == VK_RIGHT ||
                      message->wParam == VK_DOWN);
    return DLGC_BUTTON | DLGC_RADIOBUTTON;
}

// A radio button reached with an arrow key is chosen, as an automatic one would be.
LRESULT CThemedButton::OnFocusChange(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    const bool chosenByArrow = message == WM_SETFOCUS && m_arrowArrival && !m_checked;
    m_arrowArrival = false;
    SetState(Focused, message == WM_SETFOCUS);
    if (chosenByArrow) Click();
    handled = FALSE;
    return 0;
}

LRESULT CThemedButton::OnEnable(UINT, WPARAM, LPARAM, BOOL&)
{
    Repaint();
    return 0;
}

LRESULT CThemedButton::OnGetCheck(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = Checkable();
    return m_checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CThemedButton::OnSetCheck(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = Checkable();
    if (!handled) return 0;
    m_checked = wParam == BST_CHECKED;
    Repaint();
    return 0;
}

LRESULT CThemedButton::OnGetState(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = Checkable();
    return (m_checked ? BST_CHECKED : BST_UNCHECKED) | ((m_state & Pressed) ? BST_PUSHED : 0) |
           ((m_state & Focused) ? BST_FOCUS : 0);
}

LRESULT CThemedButton::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;  // no focus rectangles or accelerator cues
}

LRESULT CThemedButton::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;
}

LRESULT CThemedButton::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    return PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { Paint(dc); });
}

void CThemedButton::SetState(BYTE bit, bool on)
{
    const BYTE state = on ? static_cast<BYTE>(m_state | bit) : static_cast<BYTE>(m_state & ~bit);
    if (state == m_state) return;
    m_state = state;
    StateChanged();
}

void CThemedButton::Click()
{
    if (Checkable()) m_checked = !m_checked;
    StateChanged();
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

// The caption alone looks the same in every state: it only records the change.
void CThemedButton::StateChanged() const noexcept
{
    if (Checkable()) Repaint();
}

void CThemedButton::Repaint() const noexcept
{
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

HWND CThemedButton::PictureOwner() const noexcept
{
    HWND owner = GetParent(m_hWnd);
    if (m_nested) owner = owner ? GetParent(owner) : nullptr;  // the page's host
    if (m_nested) owner = owner ? GetParent(owner) : nullptr;  // the host's dialog
    return owner;
}

void CThemedButton::Paint(HDC target) const
{
    if (!target || !m_themes->IsAppThemed()) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    MemoryCanvas canvas(target, client.right, client.bottom);
    HDC dc = canvas.Dc();
    if (HTHEME theme = m_themes->OpenThemeData(m_hWnd, L"BUTTON")) {
        PaintPictureUnder(m_hWnd, PictureOwner(), m_picture, dc);
        RECT textArea = client;
        if (Checkable()) {
            const int part = m_glyph == Glyph::RadioButton ? BP_RADIOBUTTON : BP_CHECKBOX;
            const int state = GlyphState(IsWindowEnabled(m_hWnd) != FALSE, (m_state & Pressed) != 0,
                                         (m_state & Hot) != 0, m_checked);
            SIZE glyph{};
            m_themes->GetThemePartSize(theme, dc, part, state, &client, TS_DRAW, &glyph);
            const RECT glyphArea{0, 0, glyph.cx, glyph.cy};
            m_themes->DrawThemeBackground(theme, dc, part, state, &glyphArea, nullptr);
            textArea.left = glyph.cx + kCaptionGap;
        }
        wchar_t text[512]{};
        const int length = GetWindowTextW(m_hWnd, text, static_cast<int>(std::size(text)));
        HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
        SendMessageW(GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(m_hWnd));
        DrawTextW(dc, text, length, &textArea, 0);
        if (previousFont) SelectObject(dc, previousFont);
        m_themes->CloseThemeData(theme);
    }
    canvas.CopyTo(target, 0, 0);
}
