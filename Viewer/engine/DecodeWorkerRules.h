#pragma once
// The decisions a decode worker makes without touching the engine: how many workers a machine gets,
// which of an entry's files is decoded, and how a worker's back-off wait shrinks.
#include <windows.h>
#include <string>
#include <string_view>

// Physical cores as the system reports them; the logical processor count when it cannot tell.
int CountPhysicalCores() noexcept;
// One worker per physical core, 1..8; one when symmetric processing is disabled or the memory
// setting is 0.
int DecodeWorkerCount(bool disableSmp, DWORD memoryGuideNumber, int physicalCores) noexcept;

struct DecodeChoice {
    std::wstring extension;
    bool raw = false;  // decoded as a camera raw file
};
// The first of the formats the decoder prefers that the entry's list ("CR2;JPG") holds as a whole
// extension; else the list's first extension, read as raw. A DNG is read as raw too.
DecodeChoice ChooseDecodeExtension(std::wstring_view extensions);

// After each popped request a worker waits less, but never below its own index, so that worker 0
// always takes the next request first.
DWORD NextBackOffWait(DWORD wait, int workerIndex) noexcept;
