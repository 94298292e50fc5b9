#include "Viewer/ui/BarLabel.h"
#include "Viewer/core/FrameMessages.h"

LRESULT CBarLabel::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_frame && ::IsWindow(m_frame)) PostMessageW(m_frame, WM_APP_CONTROLBAR_MOUSE_ENTER, 0, 0);
    return 0;
}
