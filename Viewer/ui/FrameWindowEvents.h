#pragma once
// The frame window's own events and the small questions other windows ask it: focus goes on to the
// view, a maximize or restore hides the sliding bar at once, moving or sizing the frame closes the
// popups that would be left behind, the screen saver waits while a running
// mode shows pictures, the Escape key closes the viewer when the user allows it, a worker about to
// show a box gets the cursor back, the view learns when the cursor leaves the frame or enters the
// control bar, and the user's activity over the view sends a bar that hides itself away.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameWindowEvents : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameWindowEvents)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_SIZING, OnSizing)
        MESSAGE_HANDLER(WM_MOVING, OnMoving)
        MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
        MESSAGE_HANDLER(WM_APP_SHOW_CURSOR, OnShowCursor)
        MESSAGE_HANDLER(WM_APP_GET_KIOSK_MODE, OnGetKioskMode)
        MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMove)
        MESSAGE_HANDLER(WM_NCMOUSELEAVE, OnNcMouseLeave)
        MESSAGE_HANDLER(WM_APP_CONTROLBAR_MOUSE_ENTER, OnControlBarMouseEnter)
        MESSAGE_HANDLER(WM_APP_USER_ACTIVITY, OnUserActivity)
        COMMAND_ID_HANDLER(ID_ESCAPE, OnEscape)
        COMMAND_RANGE_HANDLER(ID_NOOP_FIRST, ID_NOOP_LAST, OnNoOperation)
    END_MESSAGE_MAP()

    explicit CFrameWindowEvents(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM command, LPARAM, BOOL& handled);
    LRESULT OnSizing(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMoving(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnShowCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetKioskMode(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcMouseMove(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnNcMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnControlBarMouseEnter(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnUserActivity(UINT, WPARAM now, LPARAM, BOOL& handled);
    LRESULT OnEscape(WORD, WORD, HWND, BOOL&);
    LRESULT OnNoOperation(WORD, WORD, HWND, BOOL&) { return 0; }

    CMainFrame& m_frame;
    bool m_trackingNonClientLeave = false;
};
