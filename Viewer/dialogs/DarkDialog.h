#pragma once
// The small dark dialogs (about, help, imaging component missing, bookmark prefix): a background
// picture stretched to the dialog, grey static texts over it, push buttons drawn from the skin's
// images and link labels whose clicks come to the dialog.
#include "Framework/Dialog.h"
#include "Framework/NotificationReflection.h"
#include "Viewer/dialogs/DialogButtonImages.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/dialogs/HyperLink.h"
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class CDarkDialogParts {
public:
    explicit CDarkDialogParts(SkinImageLoader loader) : m_loader(std::move(loader)) {}

    // The picture of the skin image, stretched to the dialog's client size; none without a loader.
    void PrepareBackground(HWND dialog, UINT imageId);
    Gdiplus::Bitmap* Background() const noexcept { return m_background.get(); }
    // Draws the dialog's push buttons from the skin's button images over the background.
    void SkinButtons(HWND dialog, std::initializer_list<int> controlIds);
    // Makes a static control a link label showing text over the background colour.
    CHyperLink* AddLink(HWND dialog, WORD control, const std::wstring& text, COLORREF background);

    LRESULT EraseBackground(HDC dc) const noexcept { return EraseWithPicture(dc, m_background.get()); }

private:
    SkinImageLoader m_loader;
    std::unique_ptr<Gdiplus::Bitmap> m_background;
    CDialogButtonImages m_buttonImages;
    std::vector<std::unique_ptr<CSkinImageButton>> m_buttons;
    std::vector<std::unique_ptr<CHyperLink>> m_links;
};

template <class T>
class CDarkDialog : public DialogImpl<T> {
public:
    BEGIN_MESSAGE_MAP(CDarkDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    explicit CDarkDialog(SkinImageLoader loader) : m_parts(std::move(loader)) {}

protected:
    CDarkDialogParts m_parts;

private:
    LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        return m_parts.EraseBackground(reinterpret_cast<HDC>(wParam));
    }
    LRESULT OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return ColorStaticText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    }
};
