#pragma once
// The frame's side of the navigation slider: the command that shows or hides the popup over the
// view's lower right corner, the popup's navigation requests, and its hiding by the other popups.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/ui/SliderPopup.h"

class CMainFrame;

class CFrameSlider : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameSlider)
        COMMAND_ID_HANDLER(ID_NAV_SLIDER, OnShowSlider)
        MESSAGE_HANDLER(WM_APP_SLIDER_NAVIGATE, OnSliderNavigate)
        MESSAGE_HANDLER(WM_APP_HIDE_SLIDER_POPUP, OnHideSliderPopup)
    END_MESSAGE_MAP()

    explicit CFrameSlider(CMainFrame& frame) : m_frame(frame) {}

    CSliderPopup& Popup() noexcept { return m_popup; }
    // Hides the popup, giving the focus back to the view.
    void HideSliderPopup();
    // The height the popup has now, which the next run starts with.
    int PreferredHeight() const noexcept { return m_popup.GetPreferredHeight(); }

private:
    LRESULT OnShowSlider(WORD code, WORD, HWND, BOOL& handled);
    LRESULT OnSliderNavigate(UINT, WPARAM code, LPARAM value, BOOL& handled);
    LRESULT OnHideSliderPopup(UINT, WPARAM, LPARAM, BOOL&);

    void ShowPreviewAt(uint32_t position);
    void SendKeyboardCommand(WORD command) const;

    CMainFrame& m_frame;
    CSliderPopup m_popup;
};
