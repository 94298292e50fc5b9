#include "Viewer/ui/MainFrame.h"

BOOL CMainFrame::PreTranslateMessage(MSG* message)
{
    return TranslateFrameAccelerator(message);
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    PostQuitMessage(0);
    return 0;
}
