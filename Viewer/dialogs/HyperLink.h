#pragma once
// A static control shown as a link: its text in the link colour over a background colour, underlined
// only while the cursor is over it, with the hand cursor and a tooltip of the same text. A click
// sends WM_COMMAND (id, BN_CLICKED) to the dialog, which decides what to open.
#include "Framework/UniqueGdiObject.h"
#include "Framework/Window.h"
#include <string>

class CHyperLink : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CHyperLink)
        MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MESSAGE_MAP()

    // Colours before subclassing: link and visited text, and the background painted behind the text.
    void SetColors(COLORREF link, COLORREF visited, COLORREF background) noexcept;
    // Subclasses the static control and shows the text (the control's own when text is empty).
    BOOL SubclassWindow(HWND control, const std::wstring& text = {});
    const std::wstring& Text() const noexcept { return m_text; }
    bool Hot() const noexcept { return m_hot; }

private:
    LRESULT OnMouseMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetFont(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    void MakeUnderlinedFont();
    void Paint(HDC dc) const;
    void SetHot(bool hot);

    COLORREF m_linkColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(128, 0, 128);
    COLORREF m_backgroundColor = RGB(255, 255, 255);
    std::wstring m_text;
    UniqueGdiObject<HFONT> m_underlined;
    HWND m_tooltip = nullptr;
    bool m_hot = false;
};
