#pragma once
// The frame's dialog launchers: the options dialog, with what the frame applies again after it, and
// the help and about dialogs.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/dialogs/DialogSkin.h"

class CMainFrame;

// The skin images of the language library, or of the program file when the library has none.
SkinImageLoader FrameSkinImageLoader();

class CFrameDialogCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameDialogCommands)
        COMMAND_ID_HANDLER(ID_OPTIONS, OnOptions)
        COMMAND_ID_HANDLER(ID_HELP_DIALOG, OnHelp)
        COMMAND_ID_HANDLER(ID_ABOUT, OnAbout)
    END_MESSAGE_MAP()

    explicit CFrameDialogCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnOptions(WORD, WORD, HWND, BOOL&);
    LRESULT OnHelp(WORD, WORD, HWND, BOOL&);
    LRESULT OnAbout(WORD, WORD, HWND, BOOL&);

    CMainFrame& m_frame;
};
