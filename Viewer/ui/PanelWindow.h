#pragma once
// The common part of the floating panels over the picture: a layered tool window owned by the frame
// that fades in as the cursor comes near, is dragged by its whole surface, snaps to the work area's
// edges, keeps its placement between runs and paints through a memory bitmap onto a rounded, shaded
// background. Each panel says what differs (its look) and paints its content.
#include "Framework/Window.h"
#include "Viewer/core/FloatingFade.h"
#include "Viewer/imaging/ImageInfo.h"
#include <memory>
#include <gdiplus.h>

// A closed rounded rectangle in whole pixels, as the panels' background and border use it.
std::unique_ptr<Gdiplus::GraphicsPath> CreateRoundedRectPath(int x, int y, int width, int height, int radius);

// A GDI+ font of that family, or of the generic sans-serif family when the system has no such family.
std::unique_ptr<Gdiplus::Font> CreatePanelFont(const wchar_t* family, float points, int style);
// The heading font of the panels: "Segoe UI" 16 pt bold, "MS Shell Dlg" before Windows 6.
std::unique_ptr<Gdiplus::Font> CreatePanelHeadingFont();

class CPanelWindow : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CPanelWindow)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
        CHAIN_MESSAGE_MAP_MEMBER(m_fade)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
    END_MESSAGE_MAP()

    // What one panel differs in.
    struct Look {
        const wchar_t* className;
        const wchar_t* title;
        const wchar_t* placementValue;  // under the settings key
        UINT menuId;                    // of the language library; its sub-menu 0 is the context menu
        SIZE size;                      // at 96 DPI
        bool bottomCorner;              // default corner: top right (false) or bottom right (true)
        Gdiplus::ARGB topColour;        // background gradient
        Gdiplus::ARGB bottomColour;
        DWORD* showSetting;
        double activityCode;            // stored when a picture's record arrives; one more when it is shown
    };

    explicit CPanelWindow(const Look& look) : m_look(look) {}
    ~CPanelWindow() override;

    // Destroys the window when it exists, otherwise opens it at its DPI size over the view's corner
    // (or where it was left) and fades it in; the show setting follows.
    void Toggle(HWND view);
    // Heads for the opacity that the cursor's distance asks for.
    void StartFade() noexcept { ::StartFade(m_hWnd, m_fade.State()); }
    void FadeTo(float value) noexcept { ::FadeTo(m_hWnd, m_fade.State(), value); }
    // Only an open panel fades.
    void FadeToMinimum() noexcept
    {
        if (IsWindow()) FadeTo(m_fade.State().minOpacity);
    }
    const FadeState& Fade() const noexcept { return m_fade.State(); }

    // The picture's record shown next; the entry owns it. Null shows the panel's empty state.
    void SetImageInfo(const ImageInfo* information);
    // Repaints from the record held, when there is one and the window exists.
    void RefreshImageInfo();
    // Forgets the record without repainting: its entry is about to be freed.
    void ForgetImageInfo() noexcept { m_information = nullptr; }
    // Forgets the record and repaints the empty state at once.
    void ClearImageInfo();
    const ImageInfo* Information() const noexcept { return m_information; }
    // The painting, onto any device context of the client's size.
    void PaintContent(HDC dc);

protected:
    // The panel's content over the background; graphics draws on dc.
    virtual void Paint(HDC dc, Gdiplus::Graphics& graphics, const RECT& client) = 0;
    // Sets the opacity limits the content asks for and looks at the cursor again.
    void SetOpacityLimits(float minimum);

    const ImageInfo* m_information = nullptr;

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM, BOOL&) { return HTCAPTION; }
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM position, BOOL& handled);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM point, BOOL&);

    HWND Owner() const noexcept { return GetParent(m_hWnd); }
    void ActivateOwner() const noexcept;
    void PaintBackground(Gdiplus::Graphics& graphics, const RECT& client);
    void LoadContextMenu();

    const Look& m_look;
    CFloatingFade m_fade;
    HMENU m_menu = nullptr;  // owned; the context menu is its sub-menu 0
    std::unique_ptr<Gdiplus::GraphicsPath> m_roundedPath;
};

// Moves a window position that lies within snap pixels of an edge of area onto that edge.
void SnapToArea(int& x, int& y, int width, int height, const RECT& area, int snap) noexcept;
