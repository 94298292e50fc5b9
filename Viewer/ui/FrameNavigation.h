#pragma once
// Moving through the image list: the navigation keys, the wheel, jumps to a folder's ends and to
// other folders, quick slots and the first picture of a freshly listed folder. Each command moves
// the engine's current entry, waits on this thread for its decode and hands the picture to the view.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include <cstdint>

class CMainFrame;
class CImageEntry;

class CFrameNavigation : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameNavigation)
        if (uMsg == m_ignoreNextClickMessage) LF_RUN_HANDLER(OnIgnoreNextClick(bHandled))
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_APP_FILE_ADDED, OnFileAdded)
        MESSAGE_HANDLER(WM_APP_GO_TO_ENTRY, OnGoToEntryMessage)
        MESSAGE_HANDLER(WM_APP_REFRESH_IF_CURRENT, OnRefreshIfCurrent)
        COMMAND_ID_HANDLER(ID_NAV_PREVIOUS, OnGoPrevious)
        COMMAND_ID_HANDLER(ID_NAV_NEXT, OnGoNext)
        COMMAND_ID_HANDLER(ID_NEXT_OR_STOP_SLIDESHOW, OnGoNextOrStopSlideshow)
        COMMAND_ID_HANDLER(ID_NAV_PREVIOUS_ALT, OnGoPreviousFile)
        COMMAND_ID_HANDLER(ID_NAV_NEXT_ALT, OnGoNextFile)
        COMMAND_ID_HANDLER(ID_NAV_FIRST, OnJump)
        COMMAND_ID_HANDLER(ID_NAV_LAST, OnJump)
        COMMAND_ID_HANDLER(ID_GO_FOLDER_START, OnJump)
        COMMAND_ID_HANDLER(ID_GO_FOLDER_END, OnJump)
        COMMAND_ID_HANDLER(ID_GO_PREVIOUS_FOLDER, OnJump)
        COMMAND_ID_HANDLER(ID_GO_NEXT_FOLDER, OnJump)
        COMMAND_ID_HANDLER(ID_BACK_10, OnStepTen)
        COMMAND_ID_HANDLER(ID_FORWARD_10, OnStepTen)
        COMMAND_ID_HANDLER(ID_TOGGLE_ACTUAL_SIZE, OnToggleActualSize)
        COMMAND_RANGE_HANDLER(ID_GO_QUICK_SLOT_0, ID_GO_QUICK_SLOT_9, OnGoQuickSlot)
        COMMAND_ID_HANDLER(ID_RELOAD_CURRENT, OnReloadCurrent)
    END_MESSAGE_MAP()

    explicit CFrameNavigation(CMainFrame& frame);

    // Waits for the entry's decode and shows it: the picture, the placeholder after a failed decode,
    // nothing when a newer key cancelled the wait. Returns the wait's result.
    HRESULT ShowEntry(CImageEntry* entry, bool abortable);
    // Makes the entry current when it is in the list and shows it; the view gets the focus.
    void GoToEntry(CImageEntry* entry);
    // The entry at the 1-based position, shown; the view gets the focus.
    void GoToPositionAndShow(uint32_t position);

private:
    LRESULT OnIgnoreNextClick(BOOL& handled);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnFileAdded(UINT, WPARAM count, LPARAM delay, BOOL&);
    LRESULT OnGoToEntryMessage(UINT, WPARAM entry, LPARAM, BOOL&);
    LRESULT OnRefreshIfCurrent(UINT, WPARAM entry, LPARAM, BOOL&);
    LRESULT OnGoPrevious(WORD code, WORD, HWND, BOOL&);
    LRESULT OnGoNext(WORD code, WORD, HWND, BOOL&);
    LRESULT OnGoNextOrStopSlideshow(WORD, WORD, HWND, BOOL&);
    LRESULT OnGoPreviousFile(WORD code, WORD, HWND, BOOL&);
    LRESULT OnGoNextFile(WORD code, WORD, HWND, BOOL&);
    LRESULT OnJump(WORD code, WORD command, HWND, BOOL&);
    LRESULT OnStepTen(WORD code, WORD command, HWND, BOOL&);
    LRESULT OnToggleActualSize(WORD, WORD, HWND, BOOL&);
    LRESULT OnGoQuickSlot(WORD, WORD command, HWND, BOOL&);
    LRESULT OnReloadCurrent(WORD, WORD, HWND, BOOL&);

    // The next picture in one of the variants the next command knows (its lParam).
    void GoNext(LPARAM variant, bool fromKeyboard);
    // A click on a bar's button also reaches the frame as a wheel turn or a key: it is swallowed.
    bool TakeIgnoreNextClick();
    // Shows the entry the engine moved to; arms the bar's slide-away after a shown picture when asked.
    void ShowMoved(CImageEntry* entry, bool armBarHide);
    void BeepOnFailure() const;

    CMainFrame& m_frame;
    UINT m_ignoreNextClickMessage;
    bool m_ignoreNextClick = false;
    DWORD m_lastFileAddedTick = 0;
};
