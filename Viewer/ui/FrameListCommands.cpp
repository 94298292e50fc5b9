#include "Viewer/ui/FrameListCommands.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/MainFrame.h"

LRESULT CFrameListCommands::OnQueryQuickSlot(UINT, WPARAM slot, LPARAM, BOOL&)
{
    if (slot > 9) return 0;
    CQuickSlots& slots = m_frame.Engine().QuickSlots();
    CriticalSectionScope lock(slots.Lock());
    return slots.EntryAt(static_cast<int>(slot)) ? 1 : 0;
}

LRESULT CFrameListCommands::OnGetImageCount(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_frame.Engine().GetEntryCount();
}

LRESULT CFrameListCommands::OnGetMarkedCount(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_frame.Engine().GetMarkedCount();
}

LRESULT CFrameListCommands::OnCheckCurrent(WORD, WORD, HWND, BOOL&)
{
    if (!m_frame.Engine().GetCurrentEntry(true)) PlayMessageBeep(MB_ICONHAND);
    return 0;
}

LRESULT CFrameListCommands::OnClearMarks(WORD, WORD, HWND, BOOL&)
{
    LastActivityCode = 304.0;
    m_frame.Engine().ClearMarks();
    if (m_frame.View().IsWindow()) InvalidateRect(m_frame.View().m_hWnd, nullptr, FALSE);
    return 0;
}
