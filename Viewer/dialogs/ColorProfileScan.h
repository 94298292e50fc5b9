#pragma once
// The background scan that finds the installed monitor colour profiles for the options dialog: it
// enumerates them, reads each one's description and hands the result to the dialog's thread in one
// message. The scan stops at its next step once asked to, and its owner joins it before the dialog
// goes, so it never touches a closed dialog.
#include "Framework/WorkerThread.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// The file names of the installed monitor profiles; empty when there are none or on failure. stop
// is signalled when the scan should end early.
using ProfileEnumerator = std::function<std::vector<std::wstring>(HANDLE stop)>;
std::vector<std::wstring> EnumerateMonitorProfiles(HANDLE stop);

struct FoundProfile {
    std::wstring text;      // the profile's description, or its file name when it has none
    std::wstring fileName;  // no directory
};

class ColorProfileScan {
public:
    ColorProfileScan() = default;
    ColorProfileScan(const ColorProfileScan&) = delete;
    ColorProfileScan& operator=(const ColorProfileScan&) = delete;

    // After a short pause, enumerates the profiles, reads those of the colour directory whose file
    // can be read, and sends message to the dialog with the found profiles (lParam: a
    // const std::vector<FoundProfile>*, valid during the call).
    HRESULT Start(HWND dialog, UINT message, ProfileEnumerator enumerate);
    // Asks the scan to end and waits for it, serving messages sent to this thread meanwhile.
    void Stop() noexcept { m_thread.StopAndJoin(); }

private:
    WorkerThread m_thread;
};
