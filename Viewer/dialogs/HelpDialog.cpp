#include "Viewer/dialogs/HelpDialog.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"

namespace {
constexpr UINT kBackgroundImage = 221;
constexpr COLORREF kLinkBackground = RGB(49, 56, 56);
constexpr UINT kHelpLinkText = 10003;
}

LRESULT CHelpDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_parts.PrepareBackground(m_hWnd, kBackgroundImage);
    m_parts.AddLink(m_hWnd, HelpLink, LoadUiString(kHelpLinkText), kLinkBackground);
    m_parts.SkinButtons(m_hWnd, {IDOK});
    m_boldFont.reset(CreateFontVariant(GetDlgItem(m_hWnd, FirstHeading), FW_BOLD));
    for (int heading : {FirstHeading, SecondHeading})
        if (m_boldFont) SendDlgItemMessageW(m_hWnd, heading, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.get()), FALSE);
    CenterOnOwner(m_hWnd);
    return TRUE;
}

LRESULT CHelpDialog::OnHelpLink(WORD, WORD, HWND, BOOL&)
{
    OpenWithShell(m_hWnd, L"open", HelpPage, nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CHelpDialog::OnClose(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}
