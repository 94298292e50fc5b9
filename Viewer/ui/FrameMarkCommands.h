#pragma once
// Commands that tag or tell about the current picture: the user's mark, and the spoken summary of its
// rating, colour label and urgency.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameMarkCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameMarkCommands)
        COMMAND_ID_HANDLER(ID_TOGGLE_MARK, OnToggleMark)
        COMMAND_ID_HANDLER(ID_SPEAK_RATING, OnSpeakRating)
    END_MESSAGE_MAP()

    explicit CFrameMarkCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnToggleMark(WORD, WORD, HWND, BOOL&);
    LRESULT OnSpeakRating(WORD, WORD, HWND, BOOL&);

    CMainFrame& m_frame;
};
