#pragma once
// Places a dialog in the middle of its owner window, or of the work area of its monitor when it has
// no visible owner; the size stays.
#include <windows.h>

void CenterOnOwner(HWND dialog);
