#include "Viewer/ui/FrameEditorCommands.h"
#include "Viewer/dialogs/EditorLaunch.h"
#include "Viewer/ui/MainFrame.h"

LRESULT CFrameEditorCommands::OnEditorShortcut(WORD, WORD command, HWND, BOOL&)
{
    PostMessageW(m_frame.m_hWnd, WM_APP_LAUNCH_EDITOR, command - ID_EXTERNAL_EDITOR_0, 0);
    return 0;
}

LRESULT CFrameEditorCommands::OnLaunchEditor(UINT, WPARAM editor, LPARAM file, BOOL&)
{
    LaunchExternalEditor(m_frame.Engine().GetCurrentEntry(), static_cast<unsigned>(editor), static_cast<unsigned>(file), m_trimmer);
    return 0;
}
