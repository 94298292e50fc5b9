#pragma once
// The about dialog: the program's version, and links to the maker's web site and to write to them.
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/DarkDialog.h"

class CAboutDialog : public CDarkDialog<CAboutDialog> {
public:
    enum { IDD = 104 };
    enum ControlId : WORD {
        VersionLine = 1017,
        Title = 1018,
        CloseButton = 1020,
        WebSiteLink = 1036,
        MailLink = 1039,
    };

    BEGIN_MESSAGE_MAP(CAboutDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(WebSiteLink, BN_CLICKED, OnWebSite)
        COMMAND_HANDLER(MailLink, BN_CLICKED, OnMail)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
        COMMAND_ID_HANDLER(CloseButton, OnClose)
        CHAIN_MESSAGE_MAP(CDarkDialog<CAboutDialog>)
    END_MESSAGE_MAP()

    explicit CAboutDialog(SkinImageLoader loader = {}) : CDarkDialog(std::move(loader)) {}

    // The maker's web site, which link 1036 opens.
    static constexpr wchar_t WebSite[] = L"http://www.brenholt.example/lumenfold";

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWebSite(WORD, WORD, HWND, BOOL&);
    LRESULT OnMail(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);

    UniqueGdiObject<HFONT> m_boldFont;
};
