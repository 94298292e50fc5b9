#pragma once
// A push button of the control bar drawn from a four-frame skin strip (disabled, normal, hot,
// pressed) over the bar's own background, cross-fading between states, with a semi-transparent white
// caption and, where asked, auto-repeat while it is held.
#include "Framework/Window.h"
#include <windows.h>
#include <memory>
#include <gdiplus.h>

class CImageButton : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CImageButton)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKey)
        MESSAGE_HANDLER(WM_KEYUP, OnKey)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MESSAGE_MAP()

    enum Timer : UINT_PTR { TIMER_FADE = 1000, TIMER_REPEAT_DELAY = 1001, TIMER_REPEAT_INTERVAL = 1002 };
    enum State : UINT { StateDisabled = 0, StateNormal = 1, StateHot = 2, StatePressed = 3 };

    CImageButton();
    ~CImageButton() override;

    // Takes over a button of a dialog template and makes it owner-drawn with a tooltip control.
    bool SubclassAndInit(HWND control);
    // The parent's background image (not owned) and the state strip of the skin.
    void SetStripImage(Gdiplus::Bitmap* backdrop, UINT pngId, const wchar_t* type);
    void SetFadeStep(int step) noexcept { m_fadeStep = step < 1 ? kDefaultFadeStep : step; }
    HRESULT SetAutoRepeat(bool on, int delay, int interval) noexcept;
    void SetBoldCaption(bool bold) noexcept { m_boldCaption = bold; }

    // The painting, onto any device context of the client's size.
    void PaintButton(HDC target);
    UINT CurrentState() const noexcept { return m_currentState; }
    UINT FadeOpacity() const noexcept { return m_fadeOpacity; }
    bool IsPressed() const noexcept { return m_pressed; }
    // Advances a fade towards state at the tick count now; returns the frame's constant alpha.
    BYTE AdvanceFade(UINT state, DWORD now) noexcept;
    // The caption's white alpha in a state.
    static BYTE CaptionAlpha(bool disabled, bool pressed, bool hovering, bool bold) noexcept;

    static constexpr int kDefaultFadeStep = 13;

private:
    LRESULT OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocus(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnKey(UINT message, WPARAM key, LPARAM lParam, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM id, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&);

    void OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    UINT StateNow() const noexcept;
    void DrawBackdrop(Gdiplus::Graphics& graphics, const RECT& client);
    void DrawCaption(Gdiplus::Graphics& graphics, const RECT& client);
    void SendCommand() noexcept;

    HWND m_tooltip = nullptr;
    HBITMAP m_strip = nullptr;  // owned
    BITMAP m_stripSize{};
    Gdiplus::Bitmap* m_backdrop = nullptr;  // the parent's
    std::unique_ptr<Gdiplus::Font> m_regularFont;
    std::unique_ptr<Gdiplus::Font> m_boldFont;
    bool m_boldCaption = false;
    bool m_pressed = false;
    bool m_hovering = false;
    UINT m_currentState = StateNormal;
    int m_fadeStep = 1;
    UINT m_fadeOpacity = 255;
    DWORD m_fadeClock = 0;
    bool m_repeatFired = false;
    bool m_autoRepeat = false;
    int m_repeatDelay = 750;
    int m_repeatInterval = 500;
    UINT m_ignoreNextClickMessage;
};
