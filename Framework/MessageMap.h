#pragma once
// Message maps: a window or dialog class lists its handlers at the top of its declaration,
//
//   BEGIN_MESSAGE_MAP(CMyWindow)
//       MESSAGE_HANDLER(WM_CLOSE, OnClose)
//       COMMAND_ID_HANDLER(ID_FILE_OPEN, OnFileOpen)
//       NOTIFY_HANDLER(IDC_LIST, LVN_ITEMCHANGED, OnItemChanged)
//       CHAIN_MESSAGE_MAP(CBaseWindow)
//   END_MESSAGE_MAP()
//
// and the macros expand to its ProcessWindowMessage. Handlers have one of three shapes:
//   LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
//   LRESULT OnCommand(WORD notifyCode, WORD id, HWND control, BOOL& handled);
//   LRESULT OnNotify(int controlId, NMHDR* header, BOOL& handled);
// A handler that clears `handled` lets the search go on to the next entry and finally to default processing.
#include "Framework/NotificationReflection.h"
#include <windows.h>

class MessageMapHost {
public:
    virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                      DWORD mapId = 0) = 0;

protected:
    ~MessageMapHost() = default;
};

#define BEGIN_MESSAGE_MAP(theClass)                                                                          \
public:                                                                                                      \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,          \
                              DWORD dwMapId = 0) override                                                    \
    {                                                                                                        \
        BOOL bHandled = TRUE;                                                                                \
        (void)hWnd; (void)bHandled;                                                                          \
        switch (dwMapId) {                                                                                   \
        case 0:

#define ALT_MESSAGE_MAP(mapId)                                                                               \
            break;                                                                                           \
        case mapId:

#define END_MESSAGE_MAP()                                                                                    \
            break;                                                                                           \
        default:                                                                                             \
            break;                                                                                           \
        }                                                                                                    \
        return FALSE;                                                                                        \
    }

#define LF_RUN_HANDLER(call)                                                                                 \
    {                                                                                                        \
        bHandled = TRUE;                                                                                     \
        lResult = call;                                                                                      \
        if (bHandled) return TRUE;                                                                           \
    }

#define MESSAGE_HANDLER(msg, func)                                                                           \
    if (uMsg == (msg)) LF_RUN_HANDLER(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(first, last, func)                                                             \
    if (uMsg >= (first) && uMsg <= (last)) LF_RUN_HANDLER(func(uMsg, wParam, lParam, bHandled))

#define COMMAND_HANDLER(id, notifyCode, func)                                                                      \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (notifyCode))                            \
        LF_RUN_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_ID_HANDLER(id, func)                                                                         \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id))                                                        \
        LF_RUN_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_CODE_HANDLER(notifyCode, func)                                                                     \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == (notifyCode))                                                      \
        LF_RUN_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_RANGE_HANDLER(first, last, func)                                                             \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last))                         \
        LF_RUN_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define NOTIFY_HANDLER(id, notifyCode, func)                                                                       \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&       \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode))                                   \
        LF_RUN_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled))

#define NOTIFY_ID_HANDLER(id, func)                                                                          \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id))         \
        LF_RUN_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled))

#define NOTIFY_CODE_HANDLER(notifyCode, func)                                                                      \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode))             \
        LF_RUN_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled))

// Hands every message not handled so far to a base class's map.
#define CHAIN_MESSAGE_MAP(baseClass)                                                                         \
    if (baseClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMapId)) return TRUE;

// Hands it to a member object's map (a member that is not itself a window, such as a command-state chain).
#define CHAIN_MESSAGE_MAP_MEMBER(member)                                                                     \
    if ((member).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMapId)) return TRUE;

// Hands the owner-draw messages, commands and notifications of child controls back to the control
// they came from (message + ReflectedMessageBase); placed after the map's own handlers.
#define REFLECT_NOTIFICATIONS()                                                                              \
    if (ReflectNotification(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
