#pragma once
// The proximity fade of a floating window (the panels over the picture, the external-editors
// window) as the window's own messages drive it: the fade timer; the cursor over the window's frame
// or caption, which brings it to full opacity until it leaves; a drag, which ends that hover; and the
// owner (the main frame), which hears of every mouse move over the window or its children so that it
// can look at all floating windows' fades again, and which gets the activation back whenever the
// mouse lets go of the window. The window chains this into its message map and owns the FadeState.
#include "Framework/MessageMap.h"
#include "Viewer/core/FadeState.h"

class CFloatingFade : public MessageMapHost {
public:
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId = 0) override;

    FadeState& State() noexcept { return m_state; }
    const FadeState& State() const noexcept { return m_state; }

    // Back to where a new window starts: transparent, heading for the minimum, no hover, no timer.
    void Reset(HWND window) noexcept;

private:
    FadeState m_state;
};
