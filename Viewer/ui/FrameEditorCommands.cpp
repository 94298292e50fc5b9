#include "Viewer/ui/FrameEditorCommands.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/dialogs/EditorLaunch.h"
#include "Viewer/ui/MainFrame.h"

CFrameEditorCommands::CFrameEditorCommands(CMainFrame& frame)
    : m_frame(frame), m_dialog([&frame] { return frame.Engine().GetCurrentEntry(); }, &frame.m_hWnd)
{
}

void CFrameEditorCommands::RefreshFileList()
{
    if (m_dialog.IsWindow()) m_dialog.RefreshFileList();
}

LRESULT CFrameEditorCommands::OnToggleExternalEditors(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 309.0;
    m_frame.ShowViewCursor();
    if (m_dialog.IsWindow()) {
        m_dialog.DestroyWindow();
        AppSettings::ShowExternalEditors = 0;
        return 0;
    }
    if (!m_dialog.Create(m_frame.m_hWnd)) return 0;
    m_dialog.StartFade();
    AppSettings::ShowExternalEditors = 1;
    // Showing it where it was left activates it; like the panels it leaves the keys to the frame,
    // to which it also hands the activation back whenever the mouse lets go of it.
    SetActiveWindow(m_frame.m_hWnd);
    return 0;
}

LRESULT CFrameEditorCommands::OnEditorShortcut(WORD, WORD command, HWND, BOOL&)
{
    m_dialog.LaunchByShortcut(command - ID_EXTERNAL_EDITOR_0);
    return 0;
}

LRESULT CFrameEditorCommands::OnLaunchEditor(UINT, WPARAM editor, LPARAM file, BOOL&)
{
    LaunchExternalEditor(m_frame.Engine().GetCurrentEntry(), static_cast<unsigned>(editor), static_cast<unsigned>(file),
                         m_trimmer);
    return 0;
}
