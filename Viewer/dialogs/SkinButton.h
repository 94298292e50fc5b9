#pragma once
// The skinned check box of the dark dialogs: the visual style's check box over the owner's background
// picture, its text in the colour the owner's WM_CTLCOLORSTATIC gives. Owners subclass check boxes
// this way only while visual styles are active.
#include "Viewer/dialogs/ThemedButton.h"

class CSkinButton : public CThemedButton {
public:
    CSkinButton() noexcept : CThemedButton(Glyph::CheckBox) {}
};
