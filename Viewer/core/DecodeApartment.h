#pragma once
// Which COM apartment the decode workers enter: the multithreaded one where the imaging codecs
// allow it, else a single-threaded one.
#include <windows.h>

// True: CoInitializeEx(NULL, COINIT_MULTITHREADED); false: CoInitialize(NULL). Decided by the first
// worker that asks and kept for the rest of the process, so a later change of "WICForceSTA" takes
// effect at the next start.
bool UseMtaForDecoding();

// The decision itself. "WICForceSTA" under the settings key of HKEY_CURRENT_USER forces the
// single-threaded apartment; Windows 7 or later takes the multithreaded one; older systems take it
// only when the imaging factory's class registration under classesRoot says "Both" or "Free".
bool DecideMtaForDecoding(bool win7OrLater, HKEY classesRoot);
