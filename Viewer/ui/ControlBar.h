#pragma once
// The program's own skinned taskbar along the bottom of the main window: seven image buttons, two
// text lines that the frame's caption builder fills, and a right-click menu of view and mode switches.
// Its commands go on to the frame; it tells the frame when the cursor enters or leaves it.
#include "Framework/Dialog.h"
#include "Viewer/ui/BarLabel.h"
#include "Viewer/ui/FrameModes.h"
#include "Viewer/ui/ImageButton.h"
#include <array>
#include <memory>
#include <gdiplus.h>

// Where the bar's children go for a client size at a display scale (LOGPIXELSX / 96).
struct ControlBarLayout {
    std::array<POINT, 7> buttons;  // top-left corners, in the order of the bar's button table
    RECT nameLine;                 // control 1000
    RECT statusLine;               // control 1001
    RECT hotArea;                  // control 1116: left, top, width, height as the bar sets them
};
ControlBarLayout LayOutControlBar(int width, int height, float scale, const std::array<SIZE, 7>& buttonSizes,
                                  int nameHeight, int statusHeight) noexcept;

// Repaints a transparent child: the parent's background under it (erased), and the child itself.
void InvalidateUnderChild(HWND child, bool andChild);

class CControlBar : public DialogImpl<CControlBar> {
public:
    enum { IDD = 122 };
    enum Control : int { ID_NAME_LINE = 1000, ID_STATUS_LINE = 1001, ID_HOT_AREA = 1116 };
    static constexpr WORD ID_AUTO_HIDE_TASKBAR = 32843;

    BEGIN_MESSAGE_MAP(CControlBar)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(m_ignoreNextClickMessage, OnIgnoreNextClick)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        COMMAND_ID_HANDLER(ID_AUTO_HIDE_TASKBAR, OnAutoHideTaskbar)
        MESSAGE_HANDLER(WM_COMMAND, OnForward)
        MESSAGE_HANDLER(WM_NOTIFY, OnForward)
        MESSAGE_HANDLER(WM_PARENTNOTIFY, OnForward)
        MESSAGE_HANDLER(WM_DRAWITEM, OnForward)
        MESSAGE_HANDLER(WM_MEASUREITEM, OnForward)
        MESSAGE_HANDLER(WM_DELETEITEM, OnForward)
        MESSAGE_HANDLER(WM_VKEYTOITEM, OnForward)
        MESSAGE_HANDLER(WM_CHARTOITEM, OnForward)
        MESSAGE_HANDLER(WM_COMPAREITEM, OnForward)
        MESSAGE_HANDLER(WM_HSCROLL, OnForward)
        MESSAGE_HANDLER(WM_VSCROLL, OnForward)
        MESSAGE_RANGE_HANDLER(WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, OnForward)
    END_MESSAGE_MAP()

    CControlBar();
    ~CControlBar() override;

    // A child of parent (the splitter); frame receives the bar's notices and queries, modes gives the
    // running modes that the menu checks.
    HWND CreateBar(HWND parent, HWND frame, const CFrameModes* modes);
    // Sets a text line's text when it differs and repaints it over a fresh background.
    void SetLineText(int control, const wchar_t* text);
    CImageButton& Button(size_t index) noexcept { return m_buttons[index]; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM dc, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM size, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM dc, LPARAM control, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnIgnoreNextClick(UINT message, WPARAM control, LPARAM button, BOOL&);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM point, BOOL&);
    LRESULT OnInitMenuPopup(UINT, WPARAM menu, LPARAM, BOOL&);
    LRESULT OnAutoHideTaskbar(WORD, WORD, HWND, BOOL&);
    LRESULT OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);

    void MakeBackground();
    LRESULT AskFrame(UINT message, WPARAM wParam = 0) const;
    void PostToFrame(UINT message) const;

    std::unique_ptr<Gdiplus::Bitmap> m_separator;
    std::unique_ptr<Gdiplus::Bitmap> m_background;
    bool m_tracking = false;
    HWND m_frame = nullptr;
    const CFrameModes* m_modes = nullptr;
    UINT m_ignoreNextClickMessage;
    std::array<CImageButton, 7> m_buttons;
    CBarLabel m_nameLine{m_frame};
    CBarLabel m_statusLine{m_frame};
    HWND m_hotArea = nullptr;
    HMENU m_menu = nullptr;  // owned; the context menu is its sub-menu 0
};
