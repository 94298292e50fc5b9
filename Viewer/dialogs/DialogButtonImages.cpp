#include "Viewer/dialogs/DialogButtonImages.h"

void CDialogButtonImages::Load(const SkinImageLoader& loader)
{
    if (!loader) return;
    m_normal = loader(NormalImage);
    m_pushed = loader(PushedImage);
    m_hot = loader(HotImage);
}

bool CDialogButtonImages::Attach(CSkinImageButton& button, HWND dialog, int controlId, Gdiplus::Bitmap* backdrop) const
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!m_normal || !control || !button.SubclassButton(control)) return false;
    button.SetButtonImages(backdrop, m_normal.get(), m_pushed.get(), m_hot.get(), nullptr);
    return true;
}
