#pragma once
// The frame's side of the external editors: the toggle of their floating window, and Ctrl+F1 to
// Ctrl+F12 and the window's requests, which start an editor on a file of the picture shown.
#include "Framework/MessageMap.h"
#include "Framework/WorkerThread.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/dialogs/ExternalEditDialog.h"

class CMainFrame;

class CFrameEditorCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameEditorCommands)
        COMMAND_ID_HANDLER(ID_SHOW_EXTERNAL_EDITORS, OnToggleExternalEditors)
        COMMAND_RANGE_HANDLER(ID_EXTERNAL_EDITOR_0, ID_EXTERNAL_EDITOR_11, OnEditorShortcut)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR, OnLaunchEditor)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR_FROM_LIST, OnLaunchEditor)
    END_MESSAGE_MAP()

    explicit CFrameEditorCommands(CMainFrame& frame);

    CExternalEditDialog& Dialog() noexcept { return m_dialog; }
    // The open window's file list follows the picture shown.
    void RefreshFileList();

private:
    LRESULT OnToggleExternalEditors(WORD, WORD, HWND, BOOL&);
    LRESULT OnEditorShortcut(WORD, WORD command, HWND, BOOL&);
    // wParam: the editor's number; lParam: the file's number.
    LRESULT OnLaunchEditor(UINT, WPARAM editor, LPARAM file, BOOL&);

    CMainFrame& m_frame;
    CExternalEditDialog m_dialog;
    WorkerThread m_trimmer;
};
