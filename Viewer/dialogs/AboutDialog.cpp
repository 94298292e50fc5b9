#include "Viewer/dialogs/AboutDialog.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"

namespace {
constexpr UINT kBackgroundImage = 218;
constexpr COLORREF kLinkBackground = RGB(77, 83, 83);
constexpr UINT kWebSiteText = 10000;
constexpr UINT kMailText = 10001;
constexpr UINT kMailAddress = 10010;
}

LRESULT CAboutDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_parts.PrepareBackground(m_hWnd, kBackgroundImage);
    m_parts.AddLink(m_hWnd, WebSiteLink, LoadUiString(kWebSiteText), kLinkBackground);
    m_parts.AddLink(m_hWnd, MailLink, LoadUiString(kMailText), kLinkBackground);
    m_parts.SkinButtons(m_hWnd, {IDOK});
    CenterOnOwner(m_hWnd);

    wchar_t version[260]{};
    GetAppVersion(nullptr, nullptr, nullptr, nullptr, version, std::size(version), L"Build");
    wchar_t line[260]{};
    GetDlgItemTextW(m_hWnd, VersionLine, line, static_cast<int>(std::size(line)));
    SetDlgItemTextW(m_hWnd, VersionLine, (std::wstring(line) + L" " + version).c_str());

    m_boldFont.reset(CreateFontVariant(GetDlgItem(m_hWnd, Title), FW_BOLD));
    if (m_boldFont) SendDlgItemMessageW(m_hWnd, Title, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.get()), FALSE);
    return TRUE;
}

LRESULT CAboutDialog::OnWebSite(WORD, WORD, HWND, BOOL&)
{
    OpenWithShell(m_hWnd, L"open", WebSite, nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CAboutDialog::OnMail(WORD, WORD, HWND, BOOL&)
{
    OpenWithShell(m_hWnd, L"open", LoadUiString(kMailAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CAboutDialog::OnClose(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}
