#pragma once
// The action plug-ins' hot keys: each press runs the plug-in's Process on the current picture on a
// thread of its own, so that a plug-in that takes its time (or asks the user something) never holds
// up the viewer. A refresh the plug-in asks for comes back to the frame's thread as a message.
#include "Framework/MessageMap.h"
#include "Framework/WorkerThread.h"
#include "Shared/ActionPlugIn.h"
#include "Viewer/core/ActionPlugInHost.h"
#include <list>
#include <memory>

class CMainFrame;
class CImageEntry;

// Process on the entry's files. A refresh (behaviours 1 and 2) releases the entry's picture and asks
// the frame to show the entry again; a failure shows the plug-in's own description, or the
// program's general text, in an error box. Returns Process's result.
HRESULT RunPlugInAction(HWND frame, IImageStackActionPlugIn& plugIn, CImageEntry& entry);

class CFramePlugInCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFramePlugInCommands)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_RANGE_HANDLER(kFirstPlugInCommand, kFirstPlugInCommand + kPlugInCommandCount - 1, OnPlugInAction)
    END_MESSAGE_MAP()

    static constexpr WORD kPlugInCommandCount = 128;

    explicit CFramePlugInCommands(CMainFrame& frame) : m_frame(frame) {}
    // Waits for the actions still running: each holds its plug-in and its entry until it ends.
    ~CFramePlugInCommands();

private:
    LRESULT OnPlugInAction(WORD, WORD command, HWND, BOOL&);
    // While the window still exists and the list is whole: the actions still running end first
    // (serving what they send to the window, a box they own, say).
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    void WaitForActions() noexcept;
    // Forgets the threads of actions that have ended.
    void ForgetEndedActions();

    CMainFrame& m_frame;
    std::list<std::unique_ptr<WorkerThread>> m_actions;
};
