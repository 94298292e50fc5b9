#include "Viewer/ui/ImageButton.h"
#include "Framework/PaintMessage.h"
#include "Viewer/ui/SkinImages.h"
#include "Viewer/dialogs/SkinPaintBuffer.h"
#include <commctrl.h>
#include <algorithm>

namespace {
constexpr UINT kFadePeriod = 20;
constexpr UINT kTooltipDelay = 2000;
constexpr BYTE kCaptionNormal = 0xA0;
constexpr BYTE kCaptionDisabled = 0x80;
constexpr BYTE kCaptionPressed = 0xC0;
constexpr BYTE kCaptionHover = 0xE0;
constexpr BYTE kBoldLift = 16;

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}
}

CImageButton::CImageButton() : m_ignoreNextClickMessage(RegisterWindowMessageW(L"WM_IGNORE_NEXT_CLICK")) {}

CImageButton::~CImageButton()
{
    if (m_strip) DeleteObject(m_strip);
}

bool CImageButton::SubclassAndInit(HWND control)
{
    if (!SubclassWindow(control)) return false;
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (m_tooltip) SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(kTooltipDelay, 0));
    if (!::IsWindowEnabled(m_hWnd)) m_currentState = StateDisabled;
    return true;
}

void CImageButton::SetStripImage(Gdiplus::Bitmap* backdrop, UINT pngId, const wchar_t* type)
{
    m_backdrop = backdrop;
    if (m_strip) DeleteObject(m_strip);
    m_strip = LoadPngResourceHBitmap(pngId, type);
    m_stripSize = BITMAP{};
    if (m_strip) GetObjectW(m_strip, sizeof m_stripSize, &m_stripSize);
    if (IsWindow()) InvalidateRect(m_hWnd, nullptr, FALSE);
}

HRESULT CImageButton::SetAutoRepeat(bool on, int delay, int interval) noexcept
{
    if (delay < 1 || interval < 1) return E_FAIL;
    m_autoRepeat = on;
    m_repeatDelay = delay;
    m_repeatInterval = interval;
    return S_OK;
}

BYTE CImageButton::CaptionAlpha(bool disabled, bool pressed, bool hovering, bool bold) noexcept
{
    const BYTE lift = bold ? kBoldLift : 0;
    if (disabled) return kCaptionDisabled + lift;
    if (pressed) return kCaptionPressed + lift;
    if (hovering) return kCaptionHover + lift;
    return kCaptionNormal;
}

UINT CImageButton::StateNow() const noexcept
{
    const LRESULT buttonState = SendMessageW(m_hWnd, BM_GETSTATE, 0, 0);
    if (buttonState & (BST_CHECKED | BST_PUSHED)) return StatePressed;
    if (!::IsWindowEnabled(m_hWnd)) return StateDisabled;
    if (m_pressed) return StatePressed;
    return m_hovering ? StateHot : StateNormal;
}

// Only the fades between resting states are shown; pressing and releasing switch at once.
BYTE CImageButton::AdvanceFade(UINT state, DWORD now) noexcept
{
    if (state != m_currentState) {
        if (state < StatePressed && m_currentState != StatePressed && IsWindowVisible(m_hWnd)) {
            m_currentState = state;
            m_fadeOpacity = std::min(255u, 2 * (255 - m_fadeOpacity));
            m_fadeClock = now;
            SetTimer(m_hWnd, TIMER_FADE, kFadePeriod, nullptr);
        } else {
            m_currentState = state;
            m_fadeOpacity = 255;
            KillTimer(m_hWnd, TIMER_FADE);
        }
    }
    if (m_fadeOpacity < 255) {
        const DWORD step = static_cast<DWORD>(m_fadeStep < 1 ? kDefaultFadeStep : m_fadeStep);
        m_fadeOpacity += (now - m_fadeClock) * 10 / step;
        m_fadeClock = now;
        if (m_fadeOpacity >= 255) {
            m_fadeOpacity = 255;
            KillTimer(m_hWnd, TIMER_FADE);
        }
    }
    return static_cast<BYTE>(std::min(255u, 2 * (m_fadeOpacity + 1)));
}

void CImageButton::PaintButton(HDC target)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    CSkinPaintBuffer buffer(target, client);
    if (!buffer.Dc()) return;
    const BYTE frameAlpha = AdvanceFade(StateNow(), GetTickCount());
    {
        Gdiplus::Graphics graphics(buffer.Dc());
        DrawBackdrop(graphics, client);
    }
    if (m_strip && m_stripSize.bmWidth >= 4) {
        HDC stripDc = CreateCompatibleDC(target);
        HGDIOBJ previous = SelectObject(stripDc, m_strip);
        const int frameWidth = m_stripSize.bmWidth / 4;
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, frameAlpha, AC_SRC_ALPHA};
        ::AlphaBlend(buffer.Dc(), client.left, client.top, Width(client), Height(client), stripDc,
                     static_cast<int>(m_currentState) * frameWidth, 0, frameWidth, m_stripSize.bmHeight, blend);
        SelectObject(stripDc, previous);
        DeleteDC(stripDc);
    }
    {
        Gdiplus::Graphics graphics(buffer.Dc());
        DrawCaption(graphics, client);
    }
    buffer.AlphaBlit();
}

void CImageButton::DrawBackdrop(Gdiplus::Graphics& graphics, const RECT& client)
{
    if (!m_backdrop) {
        graphics.Clear(Gdiplus::Color(0xFF, GetRValue(GetSysColor(COLOR_WINDOW)), GetGValue(GetSysColor(COLOR_WINDOW)),
                                      GetBValue(GetSysColor(COLOR_WINDOW))));
        return;
    }
    // The part of the parent's background that lies under the button.
    POINT origin{0, 0};
    MapWindowPoints(m_hWnd, GetParent(m_hWnd), &origin, 1);
    graphics.DrawImage(m_backdrop, Gdiplus::Rect(client.left, client.top, Width(client), Height(client)), origin.x,
                       origin.y, Width(client), Height(client), Gdiplus::UnitPixel);
}

void CImageButton::DrawCaption(Gdiplus::Graphics& graphics, const RECT& client)
{
    wchar_t text[128]{};
    const int length = GetWindowTextW(m_hWnd, text, static_cast<int>(std::size(text)));
    if (length <= 0) return;
    if (!m_regularFont) {
        const Gdiplus::FontFamily family(L"Verdana");
        const Gdiplus::FontFamily* chosen =
            family.GetLastStatus() == Gdiplus::Ok ? &family : Gdiplus::FontFamily::GenericSansSerif();
        m_regularFont = std::make_unique<Gdiplus::Font>(chosen, 8.5f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        m_boldFont = std::make_unique<Gdiplus::Font>(chosen, 8.5f, Gdiplus::FontStyleBold, Gdiplus::UnitPoint);
    }
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const BYTE alpha = CaptionAlpha(!::IsWindowEnabled(m_hWnd), m_pressed, m_hovering, m_boldCaption);
    const Gdiplus::SolidBrush ink(Gdiplus::Color(alpha, 255, 255, 255));
    const Gdiplus::RectF box(static_cast<float>(client.left), static_cast<float>(client.top),
                             static_cast<float>(Width(client)), static_cast<float>(Height(client) - 2));
    graphics.DrawString(text, length, m_boldCaption ? m_boldFont.get() : m_regularFont.get(), box, &format, &ink);
}

LRESULT CImageButton::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_tooltip) {
        MSG relayed{m_hWnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLButtonDown(message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (!m_hovering) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
            TrackMouseEvent(&track);
            m_hovering = true;
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        break;
    default:
        break;
    }
    handled = FALSE;
    return 0;
}

void CImageButton::OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam)
{
    DefWindowProc(message, wParam, lParam);
    if (GetCapture() == m_hWnd) m_pressed = true;
    m_repeatFired = false;
    if (m_autoRepeat) SetTimer(m_hWnd, TIMER_REPEAT_DELAY, static_cast<UINT>(m_repeatDelay), nullptr);
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

// A release after repeats tells the parent first, so that the click it produces does not act once more.
void CImageButton::OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_repeatFired) {
        m_repeatFired = false;
        SendMessageW(GetParent(m_hWnd), m_ignoreNextClickMessage, static_cast<WPARAM>(GetDlgCtrlID(m_hWnd)),
                     reinterpret_cast<LPARAM>(m_hWnd));
    }
    DefWindowProc(message, wParam, lParam);
}

LRESULT CImageButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
    return 0;
}

LRESULT CImageButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_hovering = false;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    m_pressed = false;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CImageButton::OnFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CImageButton::OnEnable(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

// The space bar never presses these buttons; the frame's accelerators still see the key.
LRESULT CImageButton::OnKey(UINT, WPARAM key, LPARAM, BOOL& handled)
{
    if (key != VK_SPACE) handled = FALSE;
    return 0;
}

void CImageButton::SendCommand() noexcept
{
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CImageButton::OnTimer(UINT, WPARAM id, LPARAM, BOOL&)
{
    switch (id) {
    case TIMER_FADE:
        InvalidateRect(m_hWnd, nullptr, FALSE);
        break;
    case TIMER_REPEAT_DELAY:
        KillTimer(m_hWnd, TIMER_REPEAT_DELAY);
        if (!m_pressed) break;
        m_repeatFired = true;
        SendCommand();
        SetTimer(m_hWnd, TIMER_REPEAT_INTERVAL, static_cast<UINT>(m_repeatInterval), nullptr);
        break;
    case TIMER_REPEAT_INTERVAL:
        if (m_pressed) {
            m_repeatFired = true;
            SendCommand();
        } else if (GetCapture() != m_hWnd) {
            KillTimer(m_hWnd, TIMER_REPEAT_INTERVAL);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CImageButton::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { PaintButton(dc); });
    return 0;
}
