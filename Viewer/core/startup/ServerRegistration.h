#pragma once
// The program as the local server of its AutoPlay class. "/RegServer" writes the class and its
// AutoPlay handler machine-wide, with this program as the server; "/UnregServer" removes them. Either
// is all the process does: no window, no other viewer woken.
#include <windows.h>
#include <optional>

// The exit code of a registration switch on the process's command line (0, or the failing HRESULT);
// nothing when the command line holds neither switch.
std::optional<int> RunServerRegistrationSwitch();
