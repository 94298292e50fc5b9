#pragma once
// The main frame's private messages, its command ids and its timer ids: the contract between the
// frame and the threads and windows that talk to it.
#include <windows.h>

enum FrameMessage : UINT {
    WM_APP_FILE_ADDED = WM_USER + 100,
    WM_APP_TRAY_NOTIFY = WM_USER + 101,
    WM_APP_RESTART_WITHOUT_HWA = WM_USER + 102,
    WM_APP_DECODE_WAIT_BEGIN = WM_USER + 103,
    WM_APP_DECODE_WAIT_END = WM_USER + 104,
    WM_APP_CONTROLBAR_MOUSE_ENTER = WM_USER + 105,
    WM_APP_SET_STATUS_TEXT = WM_USER + 106,
    WM_APP_OPEN_FILE_DEFERRED = WM_USER + 107,
    WM_APP_CONTROLBAR_MOUSE_LEAVE = WM_USER + 108,
    WM_APP_USER_ACTIVITY = WM_USER + 109,
    WM_APP_SLIDER_NAVIGATE = WM_USER + 110,
    WM_APP_SHOW_CURSOR = WM_USER + 111,
    WM_APP_APPLY_TASKBAR_LAYOUT = WM_USER + 112,
    WM_APP_HIDE_SLIDER_POPUP = WM_USER + 113,
    WM_APP_GET_KIOSK_MODE = WM_USER + 114,
    WM_APP_QUERY_QUICK_SLOT = WM_USER + 115,
    WM_APP_GET_IMAGE_COUNT = WM_USER + 116,
    WM_APP_DEVICE_REMOVED = WM_USER + 117,
    WM_APP_QUERY_IMPORT_FOLDER = WM_USER + 118,
    WM_APP_GET_MARKED_COUNT = WM_USER + 119,
    WM_APP_SET_FRAME_FLAG = WM_USER + 120,
    WM_APP_ENTRY_RELEASED = WM_USER + 121,
    WM_APP_GO_TO_ENTRY = WM_USER + 122,
    WM_APP_FLOATING_MOUSE_MOVE = WM_USER + 123,
    WM_APP_ENTRY_INSERTED = WM_USER + 124,
    WM_APP_LAUNCH_EDITOR = WM_USER + 128,
    WM_APP_LAUNCH_EDITOR_FROM_LIST = WM_USER + 129,
    WM_APP_REFRESH_IF_CURRENT = WM_USER + 131,
    // Sent by the start-up thread with its plug-ins and accelerator table (lParam: StartupPlugIns).
    WM_APP_STARTUP_PLUGINS = WM_USER + 140,
};

enum FrameCommand : WORD {
    ID_NAV_NEXT = 1006,
    ID_KIOSK_MODE = 1073,
    ID_APP_EXIT = 57665,
};

enum FrameTimer : UINT_PTR {
    TIMER_FRAME_NOTICE = 1,
    TIMER_FRAME_TICK = 2,
    TIMER_FRAME_RAISE = 3,
    TIMER_FRAME_DEFERRED_OPEN = 4,
    TIMER_FRAME_SLIDESHOW = 5,
    TIMER_FRAME_BAR_HIDE = 6,
    TIMER_FRAME_RECENTLY_WOKEN = 7,
    TIMER_FRAME_AUTO_ADVANCE = 8,
    TIMER_FRAME_DEVICE_POLL = 9,
};

// The frame's title, menu and accelerator table in the language library.
inline constexpr UINT kFrameResourceId = 102;
