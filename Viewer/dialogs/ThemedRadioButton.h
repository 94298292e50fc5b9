#pragma once
// A radio button of a dark dialog: the visual style's radio glyph and the caption over the dialog's
// background picture. A click flips its check, wherever the mouse is released; the dialog then checks
// the group's buttons as it likes.
#include "Viewer/dialogs/ThemedButton.h"

class CThemedRadioButton : public CThemedButton {
public:
    CThemedRadioButton() noexcept : CThemedButton(Glyph::RadioButton) {}
};
