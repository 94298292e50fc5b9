#pragma once
// The help dialog: a few first steps and a link to the online help.
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/DarkDialog.h"

class CHelpDialog : public CDarkDialog<CHelpDialog> {
public:
    enum { IDD = 106 };
    enum ControlId : WORD { HelpLink = 1037, FirstHeading = 1040, SecondHeading = 1041 };

    BEGIN_MESSAGE_MAP(CHelpDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(HelpLink, BN_CLICKED, OnHelpLink)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
        CHAIN_MESSAGE_MAP(CDarkDialog<CHelpDialog>)
    END_MESSAGE_MAP()

    explicit CHelpDialog(SkinImageLoader loader = {}) : CDarkDialog(std::move(loader)) {}

    static constexpr wchar_t HelpPage[] = L"http://www.brenholt.example/lumenfold/help";

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHelpLink(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);

    UniqueGdiObject<HFONT> m_boldFont;
};
