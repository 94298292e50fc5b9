#pragma once
// One viewer per user name. The running viewer holds a named marker event; a viewer that starts
// while the marker exists hands its command-line tail to the running one in a global atom, through
// a broadcast of the registered wake-up message, and ends.
#include "Shared/WakeUpProtocol.h"
#include <windows.h>

// The registered wake-up message; 0 until registered.
inline UINT WakeUpMessage = 0;
// The marker event while this process holds it, else null.
inline HANDLE InstanceEvent = nullptr;

// The sender side of the start-up: registers the wake-up message and creates the marker. When
// another viewer of the same user already holds it, hands commandTail over to that viewer and
// returns true: this process then ends. A marker that cannot be created lets this process run.
bool WakeRunningInstance(const wchar_t* commandTail);

// Lets the marker go so that a later start runs as the first instance; harmless when not held.
void CloseInstanceEvent() noexcept;
