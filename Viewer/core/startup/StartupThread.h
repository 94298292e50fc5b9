#pragma once
// The start-up background thread: work that must not delay the first window (loading the HD Photo
// codec ahead of the first picture, the action plug-ins, the update check) runs here, below normal
// priority, in the multithreaded apartment.
#include "Framework/WorkerThread.h"

// Starts the thread on worker with the frame's window and accelerator table: the thread finds the
// action plug-ins and hands them, with the table enlarged by their hot keys, to the frame; then it runs
// the due update check, which a stop request abandons. The frame outlives the thread, because the
// worker is stopped and joined before the frame goes. S_OK, or why the thread could not start.
HRESULT StartStartupThread(WorkerThread& worker, HWND frame, HACCEL frameTable);
