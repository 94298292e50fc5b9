#pragma once
// The process's last word on an unhandled exception: a minidump and a plain-text report in the
// temporary folder, named after the program with a random 12-digit tail, and a notice to the user.
#include <windows.h>

// First thing at start. Without dbghelp nothing is installed and the system's handling applies.
// With enforce, no other code in the process can replace the filter until RemoveCrashHandler.
void InstallCrashHandler(bool enforce);
// Last thing at exit: the guard is lifted and the previous filter put back; dbghelp is freed.
void RemoveCrashHandler();

// The unhandled-exception filter. Writes once per process: EXCEPTION_EXECUTE_HANDLER after
// writing, EXCEPTION_CONTINUE_SEARCH for a second exception or when there is no dump writer.
LONG WINAPI CrashExceptionFilter(EXCEPTION_POINTERS* exception);
