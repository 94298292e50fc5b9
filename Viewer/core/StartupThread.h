#pragma once
// The start-up background thread: work that must not delay the first window (loading the HD Photo
// codec ahead of the first picture) runs here, below normal priority, in the multithreaded apartment.
#include <windows.h>

class CMainFrame;

// _beginthreadex procedure; the parameter is the frame, which outlives the thread. Returns 0.
unsigned __stdcall StartupThreadProc(void* frame);
