#pragma once
// The frame's commands on files and folders: keep a copy of the current picture (or move it) into
// the keep-copy folder, delete it, show it or the keep-copy folder in Explorer, choose the image
// folder and the keep-copy folder, and open the keep-copy folder as the image folder. The keep-copy
// folder never lies inside the image folder, nor the image folder around it: both choices refuse that.
#include "Framework/MessageMap.h"
#include "Viewer/core/FrameMessages.h"
#include <string>

class CMainFrame;
class CImageEntry;

// The Explorer argument that shows the entry: its decoded file selected, else the first of its
// files that exists, else its folder; without an entry the image folder. The caller holds the
// engine's list lock.
std::wstring ExplorerArgument(const CImageEntry* entry, const std::wstring& imageFolder);

class CFrameFileCommands : public MessageMapHost {
public:
    BEGIN_MESSAGE_MAP(CFrameFileCommands)
        COMMAND_ID_HANDLER(ID_KEEP_COPY, OnKeepCopy)
        COMMAND_ID_HANDLER(ID_KEEP_COPY_ALT, OnKeepCopyAlt)
        COMMAND_ID_HANDLER(ID_DELETE, OnDeleteImage)
        COMMAND_ID_HANDLER(ID_SHOW_IN_EXPLORER, OnShowInExplorer)
        COMMAND_ID_HANDLER(ID_OPEN_FOLDER_IN_EXPLORER, OnExploreKeepCopyFolder)
        COMMAND_ID_HANDLER(ID_BROWSE_FOLDER, OnOpenFolder)
        COMMAND_ID_HANDLER(ID_CHOOSE_KEEP_COPY_FOLDER, OnChooseKeepCopyFolder)
        COMMAND_ID_HANDLER(ID_FOLDER_OPERATION, OnOpenKeepCopyFolder)
    END_MESSAGE_MAP()

    explicit CFrameFileCommands(CMainFrame& frame) : m_frame(frame) {}

    // Lets the user choose the image folder and opens it. asked: someone needs an image folder
    // while there is none (the dialog says so in its title).
    void ChooseImageFolder(bool asked);
    // Lets the user choose the keep-copy folder; on cancel or refusal there is none afterwards.
    void ChooseKeepCopyFolder();

private:
    LRESULT OnKeepCopy(WORD code, WORD, HWND, BOOL&);
    LRESULT OnKeepCopyAlt(WORD, WORD, HWND, BOOL&);
    LRESULT OnDeleteImage(WORD code, WORD, HWND, BOOL&);
    LRESULT OnShowInExplorer(WORD, WORD, HWND, BOOL&);
    LRESULT OnExploreKeepCopyFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnOpenFolder(WORD, WORD, HWND control, BOOL&);
    LRESULT OnChooseKeepCopyFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnOpenKeepCopyFolder(WORD, WORD, HWND, BOOL&);

    void KeepCopy(WORD code);
    // Waits until the metadata writer has finished the current picture's requests.
    void WaitForPendingWrites();
    // After a keep copy or a delete: the current entry shown again, or the empty screen.
    void ShowCurrentAfterChange(bool abortable, bool fromKeyboard);
    void LaunchExplorer(const std::wstring& argument);
    // The folder dialog's answer: the chosen path, empty on cancel.
    std::wstring BrowseFrom(const std::wstring& initialFolder, UINT titleString);

    CMainFrame& m_frame;
};
