#pragma once
// The process entry's work: what every later step relies on (crash handler, GDI+, the processor
// level), the one-viewer-per-user rule, COM and the common controls; then Run; then the teardown in
// reverse order.
#include <windows.h>

// Returns the process exit code: Run's result, 0 when another viewer was woken instead, or the result
// of a registration switch, which is all the process then does.
int ProcessMain(HINSTANCE instance, PWSTR commandTail, int showCommand);
