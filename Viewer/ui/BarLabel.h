#pragma once
// One of the control bar's two text lines: a plain static whose mouse moves tell the frame that the
// cursor is on the bar, as the bar's own moves do.
#include "Framework/Window.h"

class CBarLabel : public WindowBase {
public:
    BEGIN_MESSAGE_MAP(CBarLabel)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    END_MESSAGE_MAP()

    // frame: where the notice goes; it may not exist yet.
    explicit CBarLabel(const HWND& frame) : m_frame(frame) {}

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled);

    const HWND& m_frame;
};
