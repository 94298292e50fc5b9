#include "Viewer/dialogs/SkinButton.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/ThemeHelper.h"
#include "Viewer/dialogs/DialogSkin.h"
#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

namespace {
// The visual-styles functions, looked up by name at each use.
template <class Function>
Function ThemeFunction(const char* name) noexcept
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(CThemeHelper::Function(name)));
}

using IsAppThemedFunction = BOOL(WINAPI*)();
using OpenThemeDataFunction = HTHEME(WINAPI*)(HWND, LPCWSTR);
using GetThemePartSizeFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, THEMESIZE, SIZE*);
using DrawThemeBackgroundFunction = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);
using CloseThemeDataFunction = HRESULT(WINAPI*)(HTHEME);

int CheckBoxState(bool enabled, bool pressed, bool hot, bool checked) noexcept
{
    if (!enabled) return checked ? CBS_CHECKEDDISABLED : CBS_UNCHECKEDDISABLED;
    if (pressed) return checked ? CBS_CHECKEDPRESSED : CBS_UNCHECKEDPRESSED;
    if (hot) return checked ? CBS_CHECKEDHOT : CBS_UNCHECKEDHOT;
    return checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
}
}

bool CSkinButton::VisualStylesActive() noexcept
{
    auto isAppThemed = ThemeFunction<IsAppThemedFunction>("IsAppThemed");
    return isAppThemed && isAppThemed();
}

void CSkinButton::SetBackground(Gdiplus::Image* picture, bool nested) noexcept
{
    m_picture = picture;
    m_nested = nested;
}

BOOL CSkinButton::SubclassWindow(HWND checkBox) noexcept
{
    if (!WindowBase::SubclassWindow(checkBox)) return FALSE;
    m_checked = SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetUp();
    return TRUE;
}

void CSkinButton::SetUp() noexcept
{
    if (VisualStylesActive()) {
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

LRESULT CSkinButton::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    SetUp();
    return result;
}

LRESULT CSkinButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CSkinButton::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
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
        if (!(m_state & Pressed)) SetState(Pressed, true);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == m_hWnd) {
            Toggle();
            ReleaseCapture();
        }
        return 0;
    default:
        handled = FALSE;
        return 0;
    }
}

void CSkinButton::MouseMove(POINT point)
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

LRESULT CSkinButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_state & Hot) SetState(Hot, false);
    return 0;
}

LRESULT CSkinButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_state & Pressed) SetState(Pressed, false);
    return 0;
}

LRESULT CSkinButton::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != VK_SPACE) {
        handled = FALSE;
        return 0;
    }
    if (!(m_state & Pressed)) SetState(Pressed, true);
    return 0;
}

LRESULT CSkinButton::OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != VK_SPACE) {
        handled = FALSE;
        return 0;
    }
    // With the mouse holding the button, the click belongs to the mouse.
    if ((m_state & Pressed) && GetCapture() != m_hWnd) {
        m_state &= static_cast<BYTE>(~Pressed);
        Toggle();
    }
    return 0;
}

LRESULT CSkinButton::OnFocusChange(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    SetState(Focused, message == WM_SETFOCUS);
    handled = FALSE;
    return 0;
}

LRESULT CSkinButton::OnEnable(UINT, WPARAM, LPARAM, BOOL&)
{
    Repaint();
    return 0;
}

LRESULT CSkinButton::OnGetCheck(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CSkinButton::OnSetCheck(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_checked = wParam == BST_CHECKED;
    Repaint();
    return 0;
}

LRESULT CSkinButton::OnGetState(UINT, WPARAM, LPARAM, BOOL&)
{
    return (m_checked ? BST_CHECKED : BST_UNCHECKED) | ((m_state & Pressed) ? BST_PUSHED : 0) |
           ((m_state & Focused) ? BST_FOCUS : 0);
}

LRESULT CSkinButton::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&)
{
    return 0;  // no focus rectangles or accelerator cues
}

LRESULT CSkinButton::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;
}

LRESULT CSkinButton::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT) {
        PaintSkinCheckBox(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc) PaintSkinCheckBox(dc);
    EndPaint(m_hWnd, &paint);
    return 0;
}

void CSkinButton::SetState(BYTE bit, bool on)
{
    const BYTE state = on ? static_cast<BYTE>(m_state | bit) : static_cast<BYTE>(m_state & ~bit);
    if (state == m_state) return;
    m_state = state;
    Repaint();
}

void CSkinButton::Toggle()
{
    m_checked = !m_checked;
    Repaint();
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

void CSkinButton::Repaint() const noexcept
{
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
}

HWND CSkinButton::PictureOwner() const noexcept
{
    HWND owner = GetParent(m_hWnd);
    if (m_nested) owner = owner ? GetParent(owner) : nullptr;  // the page's host
    if (m_nested) owner = owner ? GetParent(owner) : nullptr;  // the host's dialog
    return owner;
}

void CSkinButton::PaintSkinCheckBox(HDC target) const
{
    if (!VisualStylesActive() || !target) return;
    auto openThemeData = ThemeFunction<OpenThemeDataFunction>("OpenThemeData");
    auto getThemePartSize = ThemeFunction<GetThemePartSizeFunction>("GetThemePartSize");
    auto drawThemeBackground = ThemeFunction<DrawThemeBackgroundFunction>("DrawThemeBackground");
    auto closeThemeData = ThemeFunction<CloseThemeDataFunction>("CloseThemeData");
    if (!openThemeData || !getThemePartSize || !drawThemeBackground || !closeThemeData) return;

    RECT client{};
    GetClientRect(m_hWnd, &client);
    MemoryCanvas canvas(target, client.right, client.bottom);
    HDC dc = canvas.Dc();
    if (HTHEME theme = openThemeData(m_hWnd, L"BUTTON")) {
        PaintPictureUnder(m_hWnd, PictureOwner(), m_picture, dc);
        const int state = CheckBoxState(IsWindowEnabled(m_hWnd) != FALSE, (m_state & Pressed) != 0,
                                        (m_state & Hot) != 0, m_checked);
        SIZE glyph{};
        getThemePartSize(theme, dc, BP_CHECKBOX, state, &client, TS_DRAW, &glyph);
        RECT glyphArea{0, 0, glyph.cx, glyph.cy};
        drawThemeBackground(theme, dc, BP_CHECKBOX, state, &glyphArea, nullptr);

        wchar_t text[512]{};
        const int length = GetWindowTextW(m_hWnd, text, static_cast<int>(std::size(text)));
        RECT textArea = client;
        textArea.left = glyph.cx + 5;
        HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
        SendMessageW(GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(m_hWnd));
        DrawTextW(dc, text, length, &textArea, 0);
        if (previousFont) SelectObject(dc, previousFont);
        closeThemeData(theme);
    }
    canvas.CopyTo(target, 0, 0);
}
