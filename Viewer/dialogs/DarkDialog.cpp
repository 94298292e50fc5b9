#include "Viewer/dialogs/DarkDialog.h"

namespace {
constexpr COLORREF kLinkColor = RGB(220, 220, 220);
constexpr COLORREF kVisitedColor = RGB(192, 192, 192);
}

void CDarkDialogParts::PrepareBackground(HWND dialog, UINT imageId)
{
    if (!m_loader) return;
    const std::unique_ptr<Gdiplus::Bitmap> picture = m_loader(imageId);
    m_background = RenderDialogBackground(dialog, picture.get());
}

void CDarkDialogParts::SkinButtons(HWND dialog, std::initializer_list<int> controlIds)
{
    m_buttonImages.Load(m_loader);
    for (int id : controlIds) {
        auto button = std::make_unique<CSkinImageButton>();
        if (m_buttonImages.Attach(*button, dialog, id, m_background.get())) m_buttons.push_back(std::move(button));
    }
}

CHyperLink* CDarkDialogParts::AddLink(HWND dialog, WORD control, const std::wstring& text, COLORREF background)
{
    HWND window = GetDlgItem(dialog, control);
    if (!window) return nullptr;
    auto link = std::make_unique<CHyperLink>();
    link->SetColors(kLinkColor, kVisitedColor, background);
    if (!link->SubclassWindow(window, text)) return nullptr;
    m_links.push_back(std::move(link));
    return m_links.back().get();
}
