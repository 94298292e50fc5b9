#pragma once
// The floating window of the user's external editors, with the files of the picture shown above
// them (a JPEG and its raw file). From it the user adds and removes editors, starts one on a file
// (double click, its menu, or Ctrl+F1 to Ctrl+F12 for the first twelve) and opens a file's
// Properties. The editors live in the registry (ExternalEditorList); every change is written back
// at once.
#include "Framework/Dialog.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/ExternalEditorList.h"
#include "Viewer/dialogs/OwnerDrawList.h"
#include "Viewer/dialogs/ToolWindowFrame.h"
#include "Viewer/core/FloatingFade.h"
#include "Viewer/core/FrameMessages.h"
#include <functional>

class CImageEntry;

// One of the window's two lists: the common owner-drawn list, which selects the row under a right
// click, shows the window's menu for the row and hands the wheel and its mouse moves (for the fade)
// to the window.
class CEditorWindowList : public COwnerDrawList {
public:
    BEGIN_MESSAGE_MAP(CEditorWindowList)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRightButtonDown)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        CHAIN_MESSAGE_MAP(COwnerDrawList)
    END_MESSAGE_MAP()

    // The row under a point in screen coordinates; -1 for none.
    int RowAt(POINT screen) const;
    int SelectedRow() const;
    int RowCount() const;

    std::function<void(int row, POINT screen)> showMenu;

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnRightButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&);
};

class CExternalEditDialog : public DialogImpl<CExternalEditDialog> {
public:
    enum { IDD = 124 };
    enum : WORD { IDC_EDITOR_LIST = 1127, IDC_FILE_LIST = 1128 };
    enum : UINT {
        ID_OPEN_WITH_EDITOR = 1980,
        ID_ADD_EDITOR = 1981,
        ID_REMOVE_EDITOR = 1982,
        ID_CHANGE_EDITOR = 1983,
        ID_FILE_PROPERTIES = 1985,
    };

    BEGIN_MESSAGE_MAP(CExternalEditDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MESSAGE_MAP_MEMBER(m_look)
        CHAIN_MESSAGE_MAP_MEMBER(m_fade)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnSwallow)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_APP_EDITOR_ADD, OnEditorAdd)
        MESSAGE_HANDLER(WM_APP_EDITOR_REMOVE, OnEditorRemove)
        MESSAGE_HANDLER(WM_APP_EDITOR_CHANGED, OnEditorChanged)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR, OnLaunchEditor)
        MESSAGE_HANDLER(WM_APP_LAUNCH_EDITOR_FROM_LIST, OnLaunchFromList)
        MESSAGE_HANDLER(WM_APP_EDITOR_PROPERTIES, OnProperties)
        COMMAND_HANDLER(IDC_EDITOR_LIST, LBN_DBLCLK, OnDoubleClick)
        COMMAND_HANDLER(IDC_FILE_LIST, LBN_DBLCLK, OnDoubleClick)
        COMMAND_HANDLER(IDOK, 0, OnClose)
        COMMAND_HANDLER(IDCANCEL, 0, OnClose)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    // currentEntry gives the picture shown (null for none); the window *frame (the main frame's
    // handle, read at each use) gets the launch requests.
    CExternalEditDialog(std::function<CImageEntry*()> currentEntry, const HWND* frame);

    // Asks the frame to start editor `editor` on the selected file, or on file 0 while the window is
    // closed; with the window open an editor number past the list or no selected file only beeps.
    void LaunchByShortcut(int editor);
    // The picture's files as the rows of the file list; the selected row number stays when the new
    // picture has it.
    void RefreshFileList();
    // Heads for the opacity that the cursor's distance asks for; the frame calls it when the window
    // opens and on every mouse move over the view or a floating window.
    void StartFade() noexcept { ::StartFade(m_hWnd, m_fade.State()); }
    const FadeState& Fade() const noexcept { return m_fade.State(); }

    CEditorWindowList& Editors() noexcept { return m_editors; }
    CEditorWindowList& Files() noexcept { return m_files; }
    // The editors as the rows hold them.
    std::vector<EditorRecord> EditorRows() const;
    // The editors' icons: image i is the icon of row i.
    HIMAGELIST Icons() const noexcept { return m_icons; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSwallow(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEditorAdd(UINT, WPARAM path, LPARAM, BOOL&);
    LRESULT OnEditorRemove(UINT, WPARAM row, LPARAM, BOOL&);
    LRESULT OnEditorChanged(UINT, WPARAM row, LPARAM, BOOL&);
    LRESULT OnLaunchEditor(UINT, WPARAM editor, LPARAM, BOOL&);
    LRESULT OnLaunchFromList(UINT, WPARAM file, LPARAM, BOOL&);
    LRESULT OnProperties(UINT, WPARAM file, LPARAM, BOOL&);
    LRESULT OnDoubleClick(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD, HWND, BOOL&);

    void LoadEditors();
    void SaveEditors() const;
    void AddEditorRow(const std::wstring& path, DWORD flags);
    void Layout();
    void ShowEditorMenu(int row, POINT screen);
    void ShowFileMenu(int row, POINT screen);
    void AddEditor();
    // Runs a request to this window with the window disabled, as while a menu's choice is carried out.
    void SendDisabled(UINT message, WPARAM wParam);

    std::function<CImageEntry*()> m_currentEntry;
    const HWND* m_frame;
    CEditorWindowList m_editors;
    CEditorWindowList m_files;
    HIMAGELIST m_icons = nullptr;
    UniqueGdiObject<HFONT> m_fileFont;
    UniqueGdiObject<HFONT> m_detailFont;
    UniqueGdiObject<HFONT> m_titleFont;
    int m_fileListHeight = 0;
    int m_gap = 0;
    CToolWindowFrame m_look{false};
    CFloatingFade m_fade;
};
