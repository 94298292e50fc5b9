#pragma once
// A stand-in for the main window that owns the dialogs under test: a hidden top-level window that
// records the private messages posted or sent to it.
#include "Framework/Window.h"
#include <vector>

class OwnerRecorder : public WindowImpl<OwnerRecorder> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_DialogOwner", 0, nullptr)
    BEGIN_MESSAGE_MAP(OwnerRecorder)
        MESSAGE_RANGE_HANDLER(WM_USER, WM_USER + 0x7FFF, OnPrivate)
    END_MESSAGE_MAP()

    struct Record {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    OwnerRecorder() { Create(nullptr, nullptr, L"owner", WS_OVERLAPPEDWINDOW); }
    ~OwnerRecorder() override { DestroyWindow(); }

    // Dispatches what is queued for this thread, then hands out and forgets the records of message.
    std::vector<Record> Take(UINT message)
    {
        MSG queued;
        while (PeekMessageW(&queued, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&queued);
            DispatchMessageW(&queued);
        }
        std::vector<Record> taken;
        std::vector<Record> kept;
        for (const Record& record : received) (record.message == message ? taken : kept).push_back(record);
        received = kept;
        return taken;
    }

    std::vector<Record> received;

private:
    LRESULT OnPrivate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        received.push_back({message, wParam, lParam});
        return 0;
    }
};
