#pragma once
// A caption over a dark dialog's background picture, drawn afresh at each paint so that a changed
// text never lands on the old one. It keeps no check and repaints only when asked.
#include "Viewer/dialogs/ThemedButton.h"

class CThemedCaptionButton : public CThemedButton {
public:
    CThemedCaptionButton() noexcept : CThemedButton(Glyph::None) {}
};
