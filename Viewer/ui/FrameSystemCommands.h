#pragma once
// The frame's remaining handlers: the screen shown while no picture is open, the keyboard's and
// remote's application keys, suspend and resume, the removal of the image folder's volume, and the
// copy of the current picture's files to the clipboard.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/EntryFiles.h"
#include <string>
#include <utility>
#include <vector>

class CMainFrame;
class CImageEntry;

// The CF_HDROP block for the paths (moveable global memory, wide names); null when it cannot be made.
HGLOBAL MakeFileDropBlock(const std::vector<std::wstring>& paths);
// Whether the drive of folder is among the volumes of unitMask (bit 0 = A:); never for a network path.
bool IsImageFolderOnVolume(const std::wstring& folder, DWORD unitMask);

class CFrameSystemCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameSystemCommands)
        MESSAGE_HANDLER(WM_APPCOMMAND, OnAppCommand)
        MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
        MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
        COMMAND_ID_HANDLER(ID_EDIT_COPY, OnEditCopy)
    END_MESSAGE_MAP()

    explicit CFrameSystemCommands(CMainFrame& frame) : m_frame(frame) {}

    // The logo and the help text in the view while no picture is open.
    void ShowEmptyViewScreen(bool skipStatus);
    // The current picture's files onto the clipboard, for pasting in a file manager.
    void CopyToClipboard();
    // Whether a suspend ended a running slideshow, forgotten once asked: the view's device reset
    // after the resume starts it again.
    bool TakeSlideshowBeforeSuspend() noexcept { return std::exchange(m_slideshowBeforeSuspend, false); }

private:
    LRESULT OnAppCommand(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnEditCopy(WORD, WORD, HWND, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM event, LPARAM lParam, BOOL&);
    LRESULT OnDeviceChange(UINT, WPARAM event, LPARAM lParam, BOOL&);

    CMainFrame& m_frame;
    bool m_slideshowBeforeSuspend = false;
};
