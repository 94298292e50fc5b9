#pragma once
// The buttons of the dark dialogs that keep the visual style's look over the dialog's background
// picture: a caption alone, a radio button or a check box. Each takes over a control of a dialog
// template, keeps its own hot, focused and pressed state (and the check of the two with a glyph),
// shows an optional tooltip and tells its parent of a click with WM_COMMAND BN_CLICKED, wherever the
// mouse is released. They paint only while visual styles are active; otherwise nothing at all.
#include "Framework/Window.h"
#include "Viewer/core/ThemeHelper.h"
#include <gdiplus.h>
#include <string>

class CThemedButton : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CThemedButton)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(BM_GETCHECK, OnGetCheck)
        MESSAGE_HANDLER(BM_SETCHECK, OnSetCheck)
        MESSAGE_HANDLER(BM_GETSTATE, OnGetState)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MESSAGE_MAP()

    // The owner's background picture (not owned) and whether the control sits on a page of a page
    // host, so that the picture's owner is its great-grandparent rather than its parent. Before
    // subclassing.
    void SetBackground(Gdiplus::Image* picture, bool nested) noexcept;
    // The text of the tooltip. Before subclassing.
    void SetTooltipText(std::wstring text) { m_tooltipText = std::move(text); }
    // The visual-styles library the control asks; the process's unless set. Before subclassing.
    void SetThemeHelper(const CThemeHelper& themes) noexcept { m_themes = &themes; }
    BOOL SubclassWindow(HWND control) noexcept;

protected:
    enum class Glyph { None, RadioButton, CheckBox };
    explicit CThemedButton(Glyph glyph) noexcept : m_glyph(glyph) {}

private:
    enum StateBit : BYTE { Hot = 0x1, Focused = 0x2, Pressed = 0x4 };

    LRESULT OnMouseMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetCheck(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCheck(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetState(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);

    bool Checkable() const noexcept { return m_glyph != Glyph::None; }
    void InitThemedButton() noexcept;
    void MouseMove(POINT point);
    void SetState(BYTE bit, bool on);
    void Click();
    void StateChanged() const noexcept;
    void Repaint() const noexcept;
    HWND PictureOwner() const noexcept;
    void Paint(HDC target) const;

    const Glyph m_glyph;
    const CThemeHelper* m_themes = &CThemeHelper::Process();
    bool m_nested = false;
    Gdiplus::Image* m_picture = nullptr;
    HWND m_tooltip = nullptr;
    std::wstring m_tooltipText;
    bool m_checked = false;
    BYTE m_state = 0;
    // The dialog manager is moving the focus here with an arrow key.
    bool m_arrowArrival = false;
};
