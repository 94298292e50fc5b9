#pragma once
// The options dialog's check-now button: runs the update check at once, tells the user what it
// found, and offers the maker's downloads page when a newer version exists.
#include "Viewer/core/UpdateSchedule.h"
#include <windows.h>

// One update check: S_OK when a newer version exists, S_FALSE when not, else the failure.
using UpdateCheck = UpdateCheckFunction;
// The check of the maker's feed, given up as a failure when the server has not answered in time.
HRESULT CheckTheMakersFeed(UINT& ttl, Bstr& latestVersion, Bstr& description);
inline constexpr DWORD kUpdateCheckDeadline = 20000;  // milliseconds

inline constexpr wchar_t kDownloadsPage[] = L"http://www.brenholt.example/lumenfold/download";

// Runs the check with the wait cursor shown, stores what it learnt under the settings key and shows
// the result in message boxes owned by page.
void CheckForUpdatesNow(HWND page, const UpdateCheck& check);
