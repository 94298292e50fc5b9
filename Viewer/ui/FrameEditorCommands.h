#pragma once
// The frame's side of the external editors: Ctrl+F1 to Ctrl+F12 and the editors window's requests
// start an editor on a file of the picture shown.
#include "Framework/MessageMap.h"
#include "Framework/WorkerThread.h"
#include "Viewer/core/FrameMessages.h"

class CMainFrame;

class CFrameEditorCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameEditorCommands)
        COMMAND_RANGE_HANDLER(ID_EXTERNAL_EDITOR_0, ID_EXTERNAL_EDITOR_11, OnEditorShortcut)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR, OnLaunchEditor)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR_FROM_LIST, OnLaunchEditor)
    END_MESSAGE_MAP()

    explicit CFrameEditorCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    LRESULT OnEditorShortcut(WORD, WORD command, HWND, BOOL&);
    // wParam: the editor's number; lParam: the file's number.
    LRESULT OnLaunchEditor(UINT, WPARAM editor, LPARAM file, BOOL&);

    CMainFrame& m_frame;
    WorkerThread m_trimmer;
};
