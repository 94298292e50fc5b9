#include "Viewer/dialogs/WicMissingDialog.h"
#include "Framework/ModalSeam.h"

namespace {
constexpr UINT kBackgroundImage = 218;

struct Link {
    WORD controlId;
    COLORREF background;
    const wchar_t* text;
    const wchar_t* target;
};

// Two of the links show a short address and open the page it stands for.
constexpr Link kLinks[] = {
    {CWicMissingDialog::IDC_LINK_DOWNLOAD, RGB(73, 80, 80), L"https://www.microsoft.com/en-us/download/details.aspx?id=32",
     L"https://go.microsoft.com/fwlink/?LinkId=129991"},
    {CWicMissingDialog::IDC_LINK_MIRROR, RGB(72, 78, 78),
     L"https://www.softpedia.com/get/Multimedia/Graphic/Graphic-Others/Windows-Imaging-Component.shtml",
     L"https://www.softpedia.com/get/Multimedia/Graphic/Graphic-Others/Windows-Imaging-Component.shtml"},
    {CWicMissingDialog::IDC_LINK_REDIRECT, RGB(70, 76, 76), L"https://go.microsoft.com/fwlink/?LinkId=129991",
     L"https://go.microsoft.com/fwlink/?LinkId=129992"},
    {CWicMissingDialog::IDC_LINK_ARTICLE, RGB(68, 74, 75), L"https://en.wikipedia.org/wiki/Windows_Imaging_Component",
     L"https://en.wikipedia.org/wiki/Windows_Imaging_Component"},
};

const Link* FindLink(WORD controlId) noexcept
{
    for (const Link& link : kLinks)
        if (link.controlId == controlId) return &link;
    return nullptr;
}
}

const wchar_t* CWicMissingDialog::LinkText(WORD controlId) noexcept
{
    const Link* link = FindLink(controlId);
    return link ? link->text : nullptr;
}

const wchar_t* CWicMissingDialog::LinkTarget(WORD controlId) noexcept
{
    const Link* link = FindLink(controlId);
    return link ? link->target : nullptr;
}

LRESULT CWicMissingDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_parts.PrepareBackground(m_hWnd, kBackgroundImage);
    for (const Link& link : kLinks) m_parts.AddLink(m_hWnd, link.controlId, link.text, link.background);
    EmphasiseLink(IDC_LINK_REDIRECT);
    m_parts.SkinButtons(m_hWnd, {IDOK});
    CenterOnOwner(m_hWnd);
    return TRUE;
}

void CWicMissingDialog::EmphasiseLink(WORD controlId)
{
    m_boldFont.reset(CreateFontVariant(GetDlgItem(m_hWnd, controlId), FW_BOLD));
    // The link makes its underlined font from the new one.
    if (m_boldFont)
        SendDlgItemMessageW(m_hWnd, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.get()), TRUE);
}

LRESULT CWicMissingDialog::OnLinkClicked(WORD, WORD controlId, HWND, BOOL&)
{
    if (const wchar_t* target = LinkTarget(controlId))
        OpenWithShell(m_hWnd, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CWicMissingDialog::OnCloseCommand(WORD, WORD controlId, HWND, BOOL&)
{
    EndDialog(controlId);
    return 0;
}
