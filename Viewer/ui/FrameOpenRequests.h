#pragma once
// How the running viewer takes requests to show pictures: a folder opened as the image list, the
// keep-copy folder, a list of files and folders from the command line, a second start (the wake-up
// message), the shell or a drop on the view; the start mode asked for on the command line; and the
// restart without hardware acceleration after the display device was lost twice.
#include "Framework/Bstr.h"
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/SingleInstance.h"
#include <string>

class CMainFrame;

class CFrameOpenRequests : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameOpenRequests)
        if (WakeUpMessage && uMsg == WakeUpMessage) LF_RUN_HANDLER(OnWakeUp(uMsg, wParam, lParam, bHandled))
        MESSAGE_HANDLER(WM_APP_RESTART_WITHOUT_HWA, OnRestartWithoutHardwareAcceleration)
    END_MESSAGE_MAP()

    explicit CFrameOpenRequests(CMainFrame& frame) : m_frame(frame) {}

    // The folder becomes the image list (the file, when given, is shown first); false when it
    // cannot be listed, and then no folder is open.
    bool OpenPath(const wchar_t* folder, const wchar_t* fileToSelect);
    // The folder in which copies are kept; false when it is no folder, and then none is set.
    bool SetSecondaryFolder(const wchar_t* folder);
    // A "|"-separated list: one folder, or files of which the first one's folder is opened.
    void OpenPathList(const std::wstring& list);
    void ResetImageList();
    // False when the path was refused (it does not exist, or mixes folders and files).
    bool AddPath(const wchar_t* path, bool fromList);
    void FinishPathList();
    // Opens a folder the user chose; false when it contains the keep-copy folder or cannot be listed.
    bool OpenChosenFolder(const wchar_t* folder, bool alwaysShowEmptyView);
    // The slideshow or track mode the command line asked for.
    void ApplyStartMode();
    bool RecentlyWoken() const noexcept { return m_recentlyWoken; }
    void EndWakeUpGuard() noexcept { m_recentlyWoken = false; }

private:
    LRESULT OnWakeUp(UINT, WPARAM atom, LPARAM, BOOL&);
    LRESULT OnRestartWithoutHardwareAcceleration(UINT, WPARAM, LPARAM, BOOL&);

    void ApplyWakeUpText(const wchar_t* text);
    void RefusePath(const wchar_t* path, bool fromList, bool missing);

    CMainFrame& m_frame;
    bool m_recentlyWoken = false;
    int m_pathCount = 0;
    bool m_collecting = false;
    bool m_folderAdded = false;
    std::wstring m_collectedFolder;
    DWORD m_openOptions = 6;
};
