#pragma once
// The application's main function: command line, language library, imaging factory, settings, the
// main window and its placement, the start path, then the message loop until the window closes.
#include <windows.h>

// commandTail is kept for the record only: Run reads GetCommandLineW itself. Returns the message
// loop's exit code; -1 when no language library could be loaded; 0 when the imaging factory or the
// main window could not be made.
int Run(PWSTR commandTail, int showCommand);
