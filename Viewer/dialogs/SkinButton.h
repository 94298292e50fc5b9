#pragma once
// The skinned check box of the dark dialogs: drawn with the system theme over the owner's background
// picture, its text in the colour the owner's WM_CTLCOLORSTATIC gives. It keeps its own checked,
// hot, focused and pressed state and tells its parent of a click with WM_COMMAND BN_CLICKED.
// Owners subclass check boxes this way only while visual styles are active.
#include "Framework/Window.h"
#include <gdiplus.h>
#include <string>

class CSkinButton : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CSkinButton)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
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

    CSkinButton() = default;
    ~CSkinButton() override = default;

    // The owner's background picture (not owned) and whether the button sits on a page of a page host,
    // so that the picture's owner is its great-grandparent rather than its parent. Before subclassing.
    void SetBackground(Gdiplus::Image* picture, bool nested) noexcept;
    // The text of the button's tooltip. Before subclassing.
    void SetTooltipText(std::wstring text) { m_tooltipText = std::move(text); }
    BOOL SubclassWindow(HWND checkBox) noexcept;

    // True while the system's visual styles are active.
    static bool VisualStylesActive() noexcept;

private:
    enum StateBit : BYTE { Hot = 0x1, Focused = 0x2, Pressed = 0x4 };

    LRESULT OnMouseMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetCheck(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCheck(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetState(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);

    void SetUp() noexcept;
    void MouseMove(POINT point);
    void SetState(BYTE bit, bool on);
    void Toggle();
    void Repaint() const noexcept;
    HWND PictureOwner() const noexcept;
    void PaintSkinCheckBox(HDC target) const;

    bool m_nested = false;
    Gdiplus::Image* m_picture = nullptr;
    HWND m_tooltip = nullptr;
    std::wstring m_tooltipText;
    bool m_checked = false;
    BYTE m_state = 0;
};
