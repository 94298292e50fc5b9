#include "Viewer/ui/FrameSlider.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"

namespace {
constexpr WORD kFromButtonDoubleClick = 5;
constexpr LPARAM kNextByPendingName = -2;
}

void CFrameSlider::HideSliderPopup()
{
    if (!m_popup.IsWindow()) return;
    if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
    ShowWindow(m_popup.m_hWnd, SW_HIDE);
}

LRESULT CFrameSlider::OnHideSliderPopup(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 293.0;
    HideSliderPopup();
    return 0;
}

LRESULT CFrameSlider::OnShowSlider(WORD code, WORD, HWND, BOOL& handled)
{
    if (code != 0 && code != kFromButtonDoubleClick) {
        handled = FALSE;
        return 0;
    }
    LastActivityCode = 206.0;
    CImageEngine& engine = m_frame.Engine();
    if (engine.IsListEmpty()) return 0;
    m_frame.Modes().StopSlideshow();
    if (m_frame.Modes().IsTrackMode()) m_frame.Modes().ToggleTrackMode();
    m_frame.ShowViewCursor();
    KillTimer(m_frame.m_hWnd, TIMER_FRAME_BAR_HIDE);
    if (m_popup.IsWindow() && IsWindowVisible(m_popup.m_hWnd)) {
        HideSliderPopup();
        return 0;
    }
    if (!m_popup.IsWindow()) {
        if (!m_popup.Create(m_frame.m_hWnd)) return 0;
        RegKey key;
        if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) == ERROR_SUCCESS) {
            const DWORD stored = key.QueryDword(L"NavigationSliderHeight").value_or(0);
            if (stored != 0)
                SetWindowPos(m_popup.m_hWnd, nullptr, 0, 0, m_popup.GetPreferredWidth(), static_cast<int>(stored),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    const int width = m_popup.GetPreferredWidth();
    const int height = m_popup.GetPreferredHeight();
    RECT view{};
    GetWindowRect(m_frame.View().m_hWnd, &view);
    int top = view.bottom - height;
    if (AppSettings::AutoHideTaskbar) {
        top -= m_frame.BarHeight();
        // The popup sits on the bar, which comes up with it.
        if (!m_frame.IsBarVisible()) m_frame.SlideInTaskbar();
    }
    SetWindowPos(m_popup.m_hWnd, nullptr, view.right - width, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    m_frame.ViewToggles().HideMenuPanel();
    {
        CriticalSectionScope list(engine.ListLock());
        m_popup.SetRangeAndPosition(static_cast<int>(engine.GetEntryCount()),
                                    static_cast<int>(engine.GetCurrentPosition()));
    }
    m_popup.EndPreview();
    ShowWindow(m_popup.m_hWnd, SW_SHOW);
    return 0;
}

void CFrameSlider::SendKeyboardCommand(WORD command) const
{
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(command, 1), 0);
}

void CFrameSlider::ShowPreviewAt(uint32_t position)
{
    CImageEngine& engine = m_frame.Engine();
    CriticalSectionScope list(engine.ListLock());
    FILETIME sortTime{};
    CImageEntry* entry = nullptr;
    BSTR path = engine.GetEntryTextAt(position, &sortTime, &entry);
    if (entry)
        m_popup.ShowPreview(path, &sortTime, position, engine.GetEntryCount(), entry->GetPageIndex(),
                            entry->GetPageCount());
    SysFreeString(path);
}

LRESULT CFrameSlider::OnSliderNavigate(UINT, WPARAM code, LPARAM value, BOOL& handled)
{
    switch (code) {
    case 0: SendKeyboardCommand(ID_NAV_PREVIOUS); break;
    case 1: SendKeyboardCommand(ID_NAV_NEXT); break;
    case 2:
    case 3: m_frame.Navigation().GoToPositionAndShow(static_cast<uint32_t>(value)); break;
    case 4:
        m_frame.Navigation().GoToPositionAndShow(static_cast<uint32_t>(value));
        m_popup.EndPreview();
        break;
    case 5: ShowPreviewAt(static_cast<uint32_t>(value)); break;
    case 6: SendKeyboardCommand(ID_NAV_FIRST); break;
    case 7: SendKeyboardCommand(ID_NAV_LAST); break;
    case CSliderPopup::kReleaseByName:
        // The popup owns the name and frees it when this returns.
        m_frame.Engine().SetCurrentName(reinterpret_cast<const wchar_t*>(value));
        PostMessageW(m_frame.m_hWnd, WM_COMMAND, ID_NAV_NEXT, kNextByPendingName);
        m_popup.EndPreview();
        if (m_frame.View().IsWindow()) SetFocus(m_frame.View().m_hWnd);
        break;
    default: handled = FALSE; break;
    }
    return 0;
}
