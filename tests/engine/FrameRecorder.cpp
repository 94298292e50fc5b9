#include "tests/engine/FrameRecorder.h"
#include "Viewer/core/FrameMessages.h"
#include <oleauto.h>

FrameRecorder::FrameRecorder()
{
    Create(nullptr, nullptr, L"frame", WS_OVERLAPPEDWINDOW);
}

FrameRecorder::~FrameRecorder()
{
    DestroyWindow();
}

void FrameRecorder::PumpFor(DWORD milliseconds, size_t untilCount)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (received.size() >= untilCount || now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)),
                                  QS_ALLINPUT);
    }
}

std::vector<FrameMessageRecord> FrameRecorder::Of(UINT message) const
{
    std::vector<FrameMessageRecord> found;
    for (const FrameMessageRecord& record : received)
        if (record.message == message) found.push_back(record);
    return found;
}

LRESULT FrameRecorder::OnPrivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    received.push_back({message, wParam, lParam});
    if (message == WM_APP_OPEN_FILE_DEFERRED && lParam) {
        BSTR path = reinterpret_cast<BSTR>(lParam);
        deferredPaths.emplace_back(path);
        SysFreeString(path);
    }
    if (message == WM_APP_DEVICE_REMOVED && lParam) {
        BSTR id = reinterpret_cast<BSTR>(lParam);
        removedDevices.emplace_back(id);
        SysFreeString(id);
    }
    if (message == WM_APP_QUERY_IMPORT_FOLDER && lParam && !importFolder.empty()) {
        *reinterpret_cast<BSTR*>(lParam) = SysAllocString(importFolder.c_str());
    }
    return 1;
}
