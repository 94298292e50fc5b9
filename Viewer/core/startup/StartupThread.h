#pragma once
// The start-up background thread: work that must not delay the first window (loading the HD Photo
// codec ahead of the first picture) runs here, below normal priority, in the multithreaded apartment.
#include "Framework/WorkerThread.h"

// Starts the thread on worker; the frame outlives it, because the worker is joined before the
// frame goes. S_OK, or why the thread could not start.
HRESULT StartStartupThread(WorkerThread& worker);
