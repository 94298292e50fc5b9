#pragma once
// Closing the frame writes what the next start restores: the window placement, the kiosk state,
// the panel switches and the picture last viewed. A session that ends never runs a posted
// WM_CLOSE, so WM_ENDSESSION writes the same values itself before the process is ended.
#include "Framework/MessageMap.h"
#include <string>

class CMainFrame;

class CFrameClosing : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameClosing)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
    END_MESSAGE_MAP()

    explicit CFrameClosing(CMainFrame& frame) : m_frame(frame) {}

    // The current picture's path from the image folder on, without a leading backslash; empty when
    // there is no current picture or the last folder is not reused.
    std::wstring LastImageViewed();
    void SaveViewState();

private:
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnEndSession(UINT, WPARAM sessionEnds, LPARAM, BOOL&);

    CMainFrame& m_frame;
};
