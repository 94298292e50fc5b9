#include "Viewer/dialogs/SkinImageButton.h"
#include "Framework/PaintMessage.h"
#include "Viewer/dialogs/SkinPaintBuffer.h"
#include <commctrl.h>

namespace {
constexpr Gdiplus::ARGB kNoBackdropArgb = 0xC0292F30;

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}
}

CSkinImageButton::~CSkinImageButton() = default;

bool CSkinImageButton::SubclassButton(HWND control)
{
    if (!SubclassWindow(control)) return false;
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    return true;
}

void CSkinImageButton::SetToolTipText(const std::wstring& text)
{
    if (!m_tooltip) {
        m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
        if (!m_tooltip) return;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(m_hWnd);
        tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(m_hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CSkinImageButton::SetButtonImages(Gdiplus::Bitmap* backdrop, Gdiplus::Bitmap* normal, Gdiplus::Bitmap* pushed,
                                       Gdiplus::Bitmap* hot, Gdiplus::Bitmap* disabled)
{
    for (auto& owned : m_owned) owned.reset();
    m_backdrop = backdrop;
    m_images = {normal, pushed, hot, disabled};
    HDC dc = GetDC(m_hWnd);
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    // Scaled once to the button's size on a display that is not at 96 DPI.
    if (dpiX != 96 || dpiY != 96) {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        Gdiplus::Graphics reference(dc);
        for (size_t i = 0; i < m_images.size(); ++i) {
            if (!m_images[i]) continue;
            auto copy = std::make_unique<Gdiplus::Bitmap>(Width(client), Height(client), &reference);
            Gdiplus::Graphics graphics(copy.get());
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.DrawImage(m_images[i], 0, 0, Width(client), Height(client));
            m_images[i] = copy.get();
            m_owned[i] = std::move(copy);
        }
    }
    ReleaseDC(m_hWnd, dc);
    if ((m_styles & StyleAutoSize) && m_images[ImageNormal])
        SetWindowPos(m_hWnd, nullptr, 0, 0, static_cast<int>(m_images[ImageNormal]->GetWidth()),
                     static_cast<int>(m_images[ImageNormal]->GetHeight()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Redraw();
}

CSkinImageButton::Look CSkinImageButton::ChooseLook(bool disabled, bool pressed, bool hot) noexcept
{
    if (disabled) return {ImageDisabled, 0x80};
    if (pressed) return {ImagePushed, 0xC0};
    if (hot) return {ImageHot, 0xE0};
    return {ImageNormal, 0xA0};
}

CSkinImageButton::Look CSkinImageButton::CurrentLook() const noexcept
{
    const bool hot = (m_styles & StyleHover) ? m_mouseOver : m_focused;
    return ChooseLook(!::IsWindowEnabled(m_hWnd), m_pressed, hot);
}

void CSkinImageButton::Paint(HDC target)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    CSkinPaintBuffer buffer(target, client);
    if (!buffer.Dc()) return;
    const Look look = CurrentLook();
    Gdiplus::Bitmap* image = m_images[look.image] ? m_images[look.image] : m_images[ImageNormal];
    const bool edged = (m_styles & (StyleEdge | StyleDoubleEdge)) != 0;
    const int offset = m_pressed && edged && !m_images[ImagePushed] ? 1 : 0;
    {
        Gdiplus::Graphics graphics(buffer.Dc());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        DrawBackdrop(graphics, client);
        if (image) graphics.DrawImage(image, offset, offset, Width(client), Height(client));
    }
    if (edged) DrawEdges(buffer.Dc(), client);
    {
        Gdiplus::Graphics graphics(buffer.Dc());
        DrawCaption(graphics, client, look.captionAlpha);
    }
    buffer.AlphaBlit();
}

void CSkinImageButton::DrawBackdrop(Gdiplus::Graphics& graphics, const RECT& client)
{
    if (!m_backdrop) {
        const Gdiplus::SolidBrush fill{Gdiplus::Color(kNoBackdropArgb)};
        graphics.FillRectangle(&fill, 0, 0, Width(client), Height(client));
        return;
    }
    HWND parent = GetParent(m_hWnd);
    RECT place{};
    GetWindowRect(m_hWnd, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // Only the one-pixel ring around the button is left for the parent to repaint.
    RECT ring = place;
    InflateRect(&ring, 1, 1);
    InvalidateRect(parent, &ring, FALSE);
    ValidateRect(parent, &place);
    graphics.DrawImage(m_backdrop, Gdiplus::Rect(0, 0, Width(client) + 1, Height(client) + 1), place.left, place.top,
                       Width(client) + 1, Height(client) + 1, Gdiplus::UnitPixel);
}

void CSkinImageButton::DrawEdges(HDC dc, RECT client)
{
    const bool single = (m_styles & StyleEdge) != 0;
    bool edgeDrawn = false;
    if (m_pressed) {
        DrawEdge(dc, &client, single ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
        edgeDrawn = true;
    } else if (!(m_styles & StyleHover) || m_mouseOver) {
        DrawEdge(dc, &client, single ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    }
    if (!(m_styles & StyleHover) && m_focused && !edgeDrawn) {
        InflateRect(&client, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
        DrawFocusRect(dc, &client);
    }
}

void CSkinImageButton::DrawCaption(Gdiplus::Graphics& graphics, const RECT& client, BYTE alpha)
{
    wchar_t text[128]{};
    const int length = GetWindowTextW(m_hWnd, text, static_cast<int>(std::size(text)));
    if (length <= 0) return;
    if (!m_font) {
        const Gdiplus::FontFamily family(L"Verdana");
        m_font = std::make_unique<Gdiplus::Font>(
            family.GetLastStatus() == Gdiplus::Ok ? &family : Gdiplus::FontFamily::GenericSansSerif(), 8.5f,
            Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    }
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::SolidBrush ink(Gdiplus::Color(alpha, 255, 255, 255));
    const Gdiplus::RectF box(0.0f, 0.0f, static_cast<float>(Width(client)), static_cast<float>(Height(client) - 2));
    graphics.DrawString(text, length, m_font.get(), box, &format, &ink);
}

LRESULT CSkinImageButton::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&)
{
    SetCapture(m_hWnd);
    if (GetFocus() != m_hWnd) SetFocus(m_hWnd);
    m_pressed = true;
    Redraw();
    return 0;
}

// While held, the button looks pressed only with the cursor over it.
LRESULT CSkinImageButton::OnMouseMove(UINT, WPARAM, LPARAM point, BOOL&)
{
    const POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const bool inside = PtInRect(&client, at) != FALSE;
    if (GetCapture() == m_hWnd && inside != m_pressed) {
        m_pressed = inside;
        Redraw();
    }
    if (!m_mouseOver && inside) {
        m_mouseOver = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
        Redraw();
    }
    return 0;
}

LRESULT CSkinImageButton::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&)
{
    const bool click = m_pressed;
    if (GetCapture() == m_hWnd) ReleaseCapture();
    m_pressed = false;
    Redraw();
    if (click)
        SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT CSkinImageButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_mouseOver = false;
    Redraw();
    return 0;
}

LRESULT CSkinImageButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    m_pressed = false;
    Redraw();
    return 0;
}

LRESULT CSkinImageButton::OnFocus(UINT message, WPARAM, LPARAM, BOOL&)
{
    m_focused = message == WM_SETFOCUS;
    Redraw();
    return 0;
}

LRESULT CSkinImageButton::OnEnable(UINT, WPARAM, LPARAM, BOOL&)
{
    Redraw();
    return 0;
}

LRESULT CSkinImageButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    return 0;
}

LRESULT CSkinImageButton::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    return PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { Paint(dc); });
}
