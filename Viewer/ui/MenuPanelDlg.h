#pragma once
// The small skinned popup that the control bar's menu button opens above the bar: six large buttons
// for opening a folder, choosing the keep-copy folder, options, help, about and exit. Their commands
// go to the frame, which shows and hides the panel.
#include "Framework/Dialog.h"
#include "Viewer/dialogs/SkinImageButton.h"
#include <array>
#include <memory>
#include <gdiplus.h>

class CMenuPanelDlg : public DialogImpl<CMenuPanelDlg> {
public:
    enum { IDD = 105 };

    BEGIN_MESSAGE_MAP(CMenuPanelDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_COMMAND, OnForward)
        MESSAGE_HANDLER(WM_NOTIFY, OnForward)
    END_MESSAGE_MAP()

    // The controls in the order of the panel, each the frame command it sends.
    static constexpr std::array<int, 6> kControls = {1010, 1011, 1012, 1013, 1014, 57665};

    CMenuPanelDlg();
    ~CMenuPanelDlg() override;

    CSkinImageButton& Button(size_t index) noexcept { return m_buttons[index]; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM dc, LPARAM, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM dc, LPARAM control, BOOL&);
    LRESULT OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);

    std::array<CSkinImageButton, 6> m_buttons;
    std::unique_ptr<Gdiplus::Bitmap> m_background;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 3> m_states;  // normal, hot, pushed
};
