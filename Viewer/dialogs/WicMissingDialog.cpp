#include "Viewer/dialogs/WicMissingDialog.h"
#include "Framework/ModalSeam.h"
#include "Viewer/dialogs/CenterOnOwner.h"

namespace {
struct Link {
    WORD controlId;
    const wchar_t* text;
    const wchar_t* target;
};

// Two of the links show a short address and open the page it stands for.
constexpr Link kLinks[] = {
    {CWicMissingDialog::IDC_LINK_DOWNLOAD, L"https://www.microsoft.com/en-us/download/details.aspx?id=32",
     L"https://go.microsoft.com/fwlink/?LinkId=129991"},
    {CWicMissingDialog::IDC_LINK_MIRROR,
     L"https://www.softpedia.com/get/Multimedia/Graphic/Graphic-Others/Windows-Imaging-Component.shtml",
     L"https://www.softpedia.com/get/Multimedia/Graphic/Graphic-Others/Windows-Imaging-Component.shtml"},
    {CWicMissingDialog::IDC_LINK_REDIRECT, L"https://go.microsoft.com/fwlink/?LinkId=129991",
     L"https://go.microsoft.com/fwlink/?LinkId=129992"},
    {CWicMissingDialog::IDC_LINK_ARTICLE, L"https://en.wikipedia.org/wiki/Windows_Imaging_Component",
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
    for (const Link& link : kLinks) SetDlgItemTextW(m_hWnd, link.controlId, link.text);
    EmphasiseLink(IDC_LINK_REDIRECT);
    CenterOnOwner(m_hWnd);
    return TRUE;
}

void CWicMissingDialog::EmphasiseLink(WORD controlId)
{
    HWND control = GetDlgItem(m_hWnd, controlId);
    if (!control) return;
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (!GetObjectW(own ? own : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font)) return;
    font.lfWeight = FW_BOLD;
    m_boldFont.reset(CreateFontIndirectW(&font));
    if (m_boldFont) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont.get()), TRUE);
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
