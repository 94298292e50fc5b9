#pragma once
// Process-wide values of the start-up that other parts of the program read.
#include <windows.h>
#include <cstdint>

// The main window that every worker posts to; null until Run has created it.
inline HWND MainFrameHandle = nullptr;
// UTC time of the start (after the single-instance decision); keep-copy names are made from it.
inline SYSTEMTIME ProgramStartTime{};
// The number in the next keep-copy prefix; one per keep-copy action, counted from 0 in each process.
inline uint32_t KeepCopyPrefixCounter = 0;

// The start modes the command line asked for; ApplyStartMode runs at most one and clears it.
struct StartModeFlags {
    BOOL autoStart = FALSE;
    BOOL trackMode = FALSE;
    BOOL deviceMode = FALSE;
};
inline StartModeFlags StartModes;
