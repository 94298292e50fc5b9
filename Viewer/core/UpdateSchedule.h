#pragma once
// Whether the start-up checks the update feed, and what it keeps of the answer in the settings.
#include "Framework/Bstr.h"
#include "Framework/RegKey.h"
#include <windows.h>
#include <string_view>

// Minutes since 2007-11-30 02:01:36 UTC, the unit of "LastUpdateCheck", as an unsigned 32-bit number.
DWORD UpdateClockFrom(const FILETIME& utc) noexcept;
DWORD UpdateClockNow() noexcept;

// What a start-up check found: a newer version with its description, or nothing.
struct StartupUpdateResult {
    bool newVersionAvailable = false;
    Bstr description;
};

// The start-up's due test and bookkeeping against the settings key (opened for reading and
// writing). The first start of a new version records it and checks nothing; otherwise a check of
// feedAddress runs when the interval is not 0 and has passed since the last check at now. A failed
// check records only its time.
StartupUpdateResult RunDueUpdateCheck(RegKey& settings, DWORD now, std::wstring_view feedAddress);
