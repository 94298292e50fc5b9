#pragma once
// What the frame shows around the picture: the floating panels' two toggle commands (posted once at
// start, with the toggles of the bookmark list and the external-editors window, for the windows that
// were open at the last close), the fade that every mouse move over a floating window looks at again,
// the release notice after which neither panel may read its picture's record, the layout of the
// control bar, which either stays below the view or hides itself (and then comes and goes with the
// bottom-edge command), the menu panel that the bar's menu button opens above it, and the picture's
// quarter turns on screen.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/ui/MenuPanelDlg.h"

class CMainFrame;

class CFrameViewToggles : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameViewToggles)
        MESSAGE_HANDLER(WM_APP_FLOATING_MOUSE_MOVE, OnFloatingMouseMove)
        MESSAGE_HANDLER(WM_APP_ENTRY_RELEASED, OnEntryReleased)
        MESSAGE_HANDLER(WM_APP_APPLY_TASKBAR_LAYOUT, OnApplyTaskbarLayout)
        COMMAND_ID_HANDLER(ID_SHOW_HISTOGRAM, OnToggleHistogram)
        COMMAND_ID_HANDLER(ID_SHOW_SHOOTING_DATA, OnToggleShootingData)
        COMMAND_ID_HANDLER(ID_MENU_PANEL, OnToggleMenuPanel)
        COMMAND_ID_HANDLER(ID_TOGGLE_TASKBAR, OnToggleTaskbar)
        COMMAND_ID_HANDLER(ID_ROTATE_BACK, OnRotateBack)
        COMMAND_ID_HANDLER(ID_ROTATE_FORWARD, OnRotateForward)
        COMMAND_ID_HANDLER(ID_PUBLISH, OnPublish)
        COMMAND_ID_HANDLER(ID_KEYWORDS_IPTC, OnKeywordsIptc)
        COMMAND_ID_HANDLER(ID_NOOP_32844, OnNothing)
    END_MESSAGE_MAP()

    explicit CFrameViewToggles(CMainFrame& frame) : m_frame(frame) {}

    // Posts the toggles of the floating windows that the settings show.
    void PostStartToggles() const;
    // The bar below the view, or the view alone while the bar hides itself.
    void ApplyTaskbarLayout();
    // Opens the menu panel at the view's lower left corner, or hides it when it shows.
    void ToggleMenuPanel();
    // Hides the menu panel, giving the focus back to the view.
    void HideMenuPanel();
    CMenuPanelDlg& MenuPanel() noexcept { return m_menuPanel; }

private:
    LRESULT OnFloatingMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEntryReleased(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnApplyTaskbarLayout(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnToggleHistogram(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleShootingData(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleMenuPanel(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleTaskbar(WORD, WORD, HWND, BOOL& handled);
    LRESULT OnRotateBack(WORD code, WORD, HWND, BOOL&);
    LRESULT OnRotateForward(WORD code, WORD, HWND, BOOL&);
    // Turns the current picture by step quarter turns on screen; the file stays as it is.
    void Rotate(int step, WORD code);
    // Two functions that are announced only.
    LRESULT OnPublish(WORD, WORD, HWND, BOOL&);
    LRESULT OnKeywordsIptc(WORD, WORD, HWND, BOOL&);
    LRESULT OnNothing(WORD, WORD, HWND, BOOL&) { return 0; }

    CMainFrame& m_frame;
    CMenuPanelDlg m_menuPanel;
};
