#pragma once
// What the frame shows around the picture: the floating panels' two toggle commands (posted once at
// start for the panels that were open at the last close), the fade that every mouse move over a
// floating window looks at again, the release notice after which neither panel may read its picture's
// record, and the layout of the control bar, which either stays below the view or hides itself.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameViewToggles : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameViewToggles)
        MESSAGE_HANDLER(WM_APP_FLOATING_MOUSE_MOVE, OnFloatingMouseMove)
        MESSAGE_HANDLER(WM_APP_ENTRY_RELEASED, OnEntryReleased)
        MESSAGE_HANDLER(WM_APP_APPLY_TASKBAR_LAYOUT, OnApplyTaskbarLayout)
        COMMAND_ID_HANDLER(ID_SHOW_HISTOGRAM, OnToggleHistogram)
        COMMAND_ID_HANDLER(ID_SHOW_SHOOTING_DATA, OnToggleShootingData)
    END_MESSAGE_MAP()

    explicit CFrameViewToggles(CMainFrame& frame) : m_frame(frame) {}

    // Posts the toggles of the panels that the settings show.
    void PostStartToggles() const;
    // The bar below the view, or the view alone while the bar hides itself.
    void ApplyTaskbarLayout();

private:
    LRESULT OnFloatingMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEntryReleased(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnApplyTaskbarLayout(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnToggleHistogram(WORD, WORD, HWND, BOOL&);
    LRESULT OnToggleShootingData(WORD, WORD, HWND, BOOL&);

    CMainFrame& m_frame;
};
