#pragma once
// Commands and questions about the image list as a whole: the count of pictures and of marked ones,
// whether a quick slot holds a picture, whether there is a current picture, and clearing every mark.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameListCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameListCommands)
        MESSAGE_HANDLER(WM_APP_QUERY_QUICK_SLOT, OnQueryQuickSlot)
        MESSAGE_HANDLER(WM_APP_GET_IMAGE_COUNT, OnGetImageCount)
        MESSAGE_HANDLER(WM_APP_GET_MARKED_COUNT, OnGetMarkedCount)
        COMMAND_ID_HANDLER(ID_CHECK_CURRENT, OnCheckCurrent)
        COMMAND_ID_HANDLER(ID_CLEAR_MARKS, OnClearMarks)
    END_MESSAGE_MAP()

    explicit CFrameListCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnQueryQuickSlot(UINT, WPARAM slot, LPARAM, BOOL&);
    LRESULT OnGetImageCount(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMarkedCount(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCheckCurrent(WORD, WORD, HWND, BOOL&);
    LRESULT OnClearMarks(WORD, WORD, HWND, BOOL&);

    CMainFrame& m_frame;
};
