#pragma once
// Whether the start-up checks the update feed, and what it keeps of the answer in the settings.
#include "Framework/Bstr.h"
#include "Framework/RegKey.h"
#include <windows.h>
#include <functional>
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

// The check itself, as the start-up runs it: the feed's ttl (in: the interval), the newest version
// and its description; CheckForUpdate's result. E_ABORT: the check was given up before it ended,
// and nothing is recorded, so that it is due again at the next start.
using UpdateCheckFunction = std::function<HRESULT(UINT& ttl, Bstr& version, Bstr& description)>;
StartupUpdateResult RunDueUpdateCheck(RegKey& settings, DWORD now, const UpdateCheckFunction& check);

// A start-up check of feedAddress that the caller may give up: it runs on the process thread pool
// and owns everything it touches, and the call returns E_ABORT as soon as stop is signalled.
HRESULT RunAbandonableUpdateCheck(std::wstring_view feedAddress, HANDLE stop, UINT& ttl, Bstr& version,
                                  Bstr& description);
