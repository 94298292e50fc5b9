#include "Viewer/core/FloatingFade.h"
#include "Viewer/core/FrameMessages.h"

namespace {
// The owner of a floating pop-up window: the frame.
HWND Owner(HWND window) noexcept
{
    return GetParent(window);
}

void ActivateOwner(HWND window) noexcept
{
    if (HWND owner = Owner(window)) SetActiveWindow(owner);
}

void TellOwnerOfMouseMove(HWND window) noexcept
{
    if (HWND owner = Owner(window))
        SendMessageW(owner, WM_APP_FLOATING_MOUSE_MOVE, reinterpret_cast<WPARAM>(window), 0);
}

void TrackNonClientLeave(HWND window, DWORD flags) noexcept
{
    TRACKMOUSEEVENT track{sizeof track, flags | TME_LEAVE | TME_NONCLIENT, window, 0};
    TrackMouseEvent(&track);
}
}

void CFloatingFade::Reset(HWND window) noexcept
{
    m_state.hovering = false;
    m_state.targetOpacity = m_state.minOpacity;
    m_state.currentOpacity = 0.0f;
    if (!m_state.fadeRunning) return;
    KillTimer(window, m_state.timerId);
    m_state.fadeRunning = false;
    m_state.delayedFirstTick = false;
}

BOOL CFloatingFade::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT& result, DWORD)
{
    switch (message) {
    case WM_TIMER:
        OnFadeTimer(window, m_state, wParam);
        result = 0;
        return TRUE;
    case WM_NCMOUSEMOVE:
        if (!m_state.hovering) {
            m_state.hovering = true;
            FadeTo(window, m_state, m_state.maxOpacity);
            TrackNonClientLeave(window, 0);
        }
        TellOwnerOfMouseMove(window);
        return FALSE;
    case WM_MOUSEMOVE:
        TellOwnerOfMouseMove(window);
        return FALSE;
    case WM_APP_FLOATING_MOUSE_MOVE:
        // A child's mouse move counts as the window's own.
        TellOwnerOfMouseMove(window);
        result = 0;
        return TRUE;
    case WM_NCLBUTTONDOWN:
        // The drag that follows ends the hover; the default processing moves the window.
        TrackNonClientLeave(window, TME_CANCEL);
        m_state.hovering = false;
        return FALSE;
    case WM_NCLBUTTONUP:
    case WM_NCMBUTTONUP:
        ActivateOwner(window);
        return FALSE;
    case WM_NCRBUTTONUP: {
        ActivateOwner(window);
        POINT cursor{};
        GetCursorPos(&cursor);
        PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(cursor.x, cursor.y));
        return FALSE;
    }
    case WM_NCMOUSELEAVE:
        m_state.hovering = false;
        StartDelayedFade(window, m_state);
        ActivateOwner(window);
        return FALSE;
    default:
        return FALSE;
    }
}
