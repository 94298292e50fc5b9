#pragma once
// A stand-in for the main window: a hidden window that records every private message sent or
// posted to it, in the order it received them.
#include "Framework/Window.h"
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>

struct FrameMessageRecord {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class FrameRecorder : public WindowImpl<FrameRecorder> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_FrameRecorder", 0, nullptr)
    BEGIN_MESSAGE_MAP(FrameRecorder)
        MESSAGE_RANGE_HANDLER(WM_USER, WM_USER + 0x7FFF, OnPrivate)
    END_MESSAGE_MAP()

    FrameRecorder();
    ~FrameRecorder() override;

    // Dispatches what is queued for the window until the time has passed or enough posts came.
    void PumpFor(DWORD milliseconds, size_t untilCount = SIZE_MAX);
    // The records of one message, in order.
    std::vector<FrameMessageRecord> Of(UINT message) const;

    std::vector<FrameMessageRecord> received;
    // Frees the string of every WM_APP_OPEN_FILE_DEFERRED it receives, as the frame does, after
    // keeping a copy.
    std::vector<std::wstring> deferredPaths;
    // The same for the device of every WM_APP_DEVICE_REMOVED.
    std::vector<std::wstring> removedDevices;
    // The answer to WM_APP_QUERY_IMPORT_FOLDER: a new BSTR of it, or none when empty.
    std::wstring importFolder;

private:
    LRESULT OnPrivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
};
