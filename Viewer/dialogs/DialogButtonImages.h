#pragma once
// The push buttons of the dark dialogs (OK, Cancel) drawn from the skin's three dialog-button images
// over the dialog's background picture. Without the normal image a button keeps its system look.
#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/dialogs/SkinImageButton.h"
#include <memory>

class CDialogButtonImages {
public:
    // The normal, pushed and hot images of the skin; none without a loader.
    void Load(const SkinImageLoader& loader);
    // Makes the dialog's control a skinned image button over the backdrop; false when it stays plain.
    bool Attach(CSkinImageButton& button, HWND dialog, int controlId, Gdiplus::Bitmap* backdrop) const;

    static constexpr UINT NormalImage = 219;
    static constexpr UINT PushedImage = 201;
    static constexpr UINT HotImage = 200;

private:
    std::unique_ptr<Gdiplus::Bitmap> m_normal;
    std::unique_ptr<Gdiplus::Bitmap> m_pushed;
    std::unique_ptr<Gdiplus::Bitmap> m_hot;
};
