#pragma once
// Hands a folder to the current user's viewer: wakes the running one through the wake-up protocol,
// or else starts the viewer from its install path.
#include <windows.h>

// Which entry point of the shell asks (the wake-up message's lParam).
enum class LaunchSource : LPARAM { ContextMenu = 0, AutoPlay = 1 };

// S_OK when the running viewer was told (best effort: neither waited for nor checked) or a new one
// was started; the error of the install key or of the process start otherwise.
HRESULT LaunchViewer(const wchar_t* folder, LaunchSource source);
