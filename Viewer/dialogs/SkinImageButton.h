#pragma once
// A push button drawn from GDI+ images over a backdrop image with a semi-transparent white caption:
// normal, pushed, hot (hovered, or focused without the hover style) and disabled. It keeps its own
// pressed, hover and focus state, holds the mouse while pressed and shows a tooltip.
#include "Framework/Window.h"
#include <windows.h>
#include <array>
#include <memory>
#include <string>
#include <gdiplus.h>

class CSkinImageButton : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CSkinImageButton)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
    END_MESSAGE_MAP()

    // Extended styles.
    enum Style : DWORD { StyleHover = 1, StyleEdge = 2, StyleDoubleEdge = 4, StyleAutoSize = 8 };
    enum Image : size_t { ImageNormal = 0, ImagePushed = 1, ImageHot = 2, ImageDisabled = 3 };

    explicit CSkinImageButton(DWORD styles = 0) : m_styles(styles) {}
    ~CSkinImageButton() override;

    // Takes over a button of a dialog template.
    bool SubclassButton(HWND control);
    // Any image may be null. At a display scale other than 1 the button draws its own scaled copies.
    void SetButtonImages(Gdiplus::Bitmap* backdrop, Gdiplus::Bitmap* normal, Gdiplus::Bitmap* pushed,
                         Gdiplus::Bitmap* hot, Gdiplus::Bitmap* disabled);
    void SetToolTipText(const std::wstring& text);

    // Which image a state draws and the caption's white alpha with it.
    struct Look {
        Image image;
        BYTE captionAlpha;
    };
    static Look ChooseLook(bool disabled, bool pressed, bool hot) noexcept;
    Look CurrentLook() const noexcept;
    bool IsPressed() const noexcept { return m_pressed; }
    bool IsMouseOver() const noexcept { return m_mouseOver; }
    bool OwnsImage(Image image) const noexcept { return m_owned[image] != nullptr; }
    Gdiplus::Bitmap* ImageAt(Image image) const noexcept { return m_images[image]; }
    HWND ToolTip() const noexcept { return m_tooltip; }

private:
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM point, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFocus(UINT message, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&);

    void Paint(HDC target);
    void DrawBackdrop(Gdiplus::Graphics& graphics, const RECT& client);
    void DrawEdges(HDC dc, RECT client);
    void DrawCaption(Gdiplus::Graphics& graphics, const RECT& client, BYTE alpha);
    void Redraw() noexcept { InvalidateRect(m_hWnd, nullptr, FALSE); }

    DWORD m_styles;
    bool m_pressed = false;
    bool m_mouseOver = false;
    bool m_focused = false;
    HWND m_tooltip = nullptr;
    Gdiplus::Bitmap* m_backdrop = nullptr;  // the parent's
    std::array<Gdiplus::Bitmap*, 4> m_images{};
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 4> m_owned;  // scaled copies the button made
    std::unique_ptr<Gdiplus::Font> m_font;
};
