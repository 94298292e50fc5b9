#pragma once
// Tells the user that the Windows Imaging Component, which the viewer needs to decode pictures, is
// missing, with links to pages where it can be obtained or read about. Clicking a link keeps the
// dialog open, so several can be followed before closing it.
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/DarkDialog.h"

class CWicMissingDialog : public CDarkDialog<CWicMissingDialog> {
public:
    enum { IDD = 116 };
    enum LinkId : WORD {
        IDC_LINK_DOWNLOAD = 1097,
        IDC_LINK_MIRROR = 1098,
        IDC_LINK_REDIRECT = 1100,
        IDC_LINK_ARTICLE = 1101,
    };

    BEGIN_MESSAGE_MAP(CWicMissingDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_LINK_DOWNLOAD, STN_CLICKED, OnLinkClicked)
        COMMAND_HANDLER(IDC_LINK_MIRROR, STN_CLICKED, OnLinkClicked)
        COMMAND_HANDLER(IDC_LINK_REDIRECT, STN_CLICKED, OnLinkClicked)
        COMMAND_HANDLER(IDC_LINK_ARTICLE, STN_CLICKED, OnLinkClicked)
        COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
        CHAIN_MESSAGE_MAP(CDarkDialog<CWicMissingDialog>)
    END_MESSAGE_MAP()

    explicit CWicMissingDialog(SkinImageLoader loader = {}) : CDarkDialog(std::move(loader)) {}

    // The address a link shows and the page it opens; null for a control that is no link.
    static const wchar_t* LinkText(WORD controlId) noexcept;
    static const wchar_t* LinkTarget(WORD controlId) noexcept;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLinkClicked(WORD, WORD controlId, HWND, BOOL&);
    LRESULT OnCloseCommand(WORD, WORD controlId, HWND, BOOL&);

    void EmphasiseLink(WORD controlId);

    UniqueGdiObject<HFONT> m_boldFont;
};
