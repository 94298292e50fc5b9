#include "Viewer/core/StartModeSwitches.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessState.h"

namespace {
constexpr DWORD kShortestInterval = 10;
}

void ReadStartModeSwitches(CommandLine& commandLine)
{
    LastActivityCode = 55;
    if (commandLine.FindOption(L"a*utoMode")) {
        const auto interval = static_cast<DWORD>(
            commandLine.GetOptionInt(L"a*utoMode", static_cast<int>(AppSettings::AutoModeInterval)));
        AppSettings::AutoModeInterval = interval < kShortestInterval ? kShortestInterval : interval;
        StartModes.autoStart = TRUE;
    }
    LastActivityCode = 56;
    if (commandLine.FindOption(L"t*rackMode")) {
        StartModes.trackMode = TRUE;
        StartModes.autoStart = FALSE;
    }
    LastActivityCode = 57;
    if (commandLine.FindOption(L"p*tpMode")) {
        LastActivityCode = 58;
        StartModes.deviceMode = TRUE;
        StartModes.trackMode = FALSE;
        StartModes.autoStart = FALSE;
    }
}
