#include "Viewer/dialogs/OptionsPage.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/dialogs/OptionsDialog.h"
#include <commctrl.h>
#include <algorithm>

namespace {
constexpr COLORREF kTrackbarColor = RGB(72, 79, 79);

bool Contains(std::span<const WORD> ids, WORD id) noexcept
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}
}

HWND COptionsPage::Create(HWND host, COptionsDialog* owner, Gdiplus::Image* background)
{
    m_owner = owner;
    m_background = background;
    return CreateFromTemplate(m_layout.templateId, host, 0);
}

void COptionsPage::SkinCheckBoxes()
{
    for (WORD id : m_layout.checkBoxes) {
        HWND box = Item(id);
        if (!box) continue;
        auto button = std::make_unique<CSkinButton>();
        button->SetBackground(m_background, true);
        if (button->SubclassWindow(box)) m_checkBoxes.push_back(std::move(button));
    }
}

void COptionsPage::MakeLink(WORD control, const std::wstring& text, COLORREF background)
{
    HWND window = Item(control);
    if (!window) return;
    auto link = std::make_unique<CHyperLink>();
    link->SetColors(RGB(220, 220, 220), RGB(192, 192, 192), background);
    if (link->SubclassWindow(window, text)) m_links.push_back(std::move(link));
}

HWND COptionsPage::OwnerDialog() const noexcept
{
    HWND host = GetParent(m_hWnd);
    return host ? GetParent(host) : nullptr;
}

LRESULT COptionsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    return TRUE;  // the dialog fills the pages
}

LRESULT COptionsPage::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    PaintPictureUnder(m_hWnd, OwnerDialog(), m_background, reinterpret_cast<HDC>(wParam));
    return 1;
}

LRESULT COptionsPage::OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    const auto id = static_cast<WORD>(GetDlgCtrlID(control));
    if (m_layout.trackbar && id == m_layout.trackbar) {
        if (!m_trackbarBrush) m_trackbarBrush.reset(CreateSolidBrush(kTrackbarColor));
        return reinterpret_cast<LRESULT>(m_trackbarBrush.get());
    }
    if (Contains(m_layout.paintedStatics, id)) PaintPictureUnder(control, OwnerDialog(), m_background, dc);
    return ColorStaticText(dc, control);
}

LRESULT COptionsPage::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const WORD id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (m_owner && id == COptionsDialog::CheckNowLink && code == BN_CLICKED &&
        m_layout.templateId == COptionsDialog::GeneralPageTemplate) {
        m_owner->CheckForUpdatesNow(m_hWnd);
        return 0;
    }
    if (m_owner && ((code == BN_CLICKED && Contains(m_layout.clickRules, id)) ||
                    (code == CBN_SELCHANGE && Contains(m_layout.selectionRules, id)))) {
        m_owner->UpdateControlStates();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT COptionsPage::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (m_owner && header->idFrom == COptionsDialog::PlugInList && header->code == LVN_ITEMCHANGED) {
        m_owner->OnPlugInSelected();
        return 0;
    }
    handled = FALSE;
    return 0;
}
