#pragma once
// The metadata writer's message boxes. Each is owned by the main window, which is first asked to
// show its mouse cursor again, so that the box never appears under a hidden cursor.
#include <windows.h>

// textId: a string of the language library, used as a format of the arguments that follow;
// captionId: the box's caption string. owner: the main window's handle member (a zero handle or a
// null pointer: no window).
void ShowWriterMessage(const HWND* owner, UINT captionId, UINT icon, UINT textId, ...);
