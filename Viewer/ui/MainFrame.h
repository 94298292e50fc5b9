#pragma once
// The viewer's one top-level window. Run builds it on its own stack, creates its window, feeds it
// the start-up settings and runs the message loop with the frame as message filter and idle handler.
#include "Framework/Bstr.h"
#include "Framework/FrameWindow.h"
#include "Framework/MessageLoop.h"
#include "Viewer/core/SingleInstance.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/ui/ControlBar.h"
#include "Viewer/ui/FrameBookmarkCommands.h"
#include "Viewer/ui/FrameDialogCommands.h"
#include "Viewer/ui/FrameBookmarkList.h"
#include "Viewer/ui/FrameCaption.h"
#include "Viewer/ui/FrameClosing.h"
#include "Viewer/ui/FrameEditorCommands.h"
#include "Viewer/ui/FrameFileCommands.h"
#include "Viewer/ui/FrameListCommands.h"
#include "Viewer/ui/FrameMarkCommands.h"
#include "Viewer/ui/FrameModes.h"
#include "Viewer/ui/FrameNavigation.h"
#include "Viewer/ui/FrameOpenRequests.h"
#include "Viewer/ui/FrameViewToggles.h"
#include "Viewer/ui/FrameSlider.h"
#include "Viewer/ui/FrameSpeech.h"
#include "Viewer/ui/FramePlugInCommands.h"
#include "Viewer/ui/FrameRatingCommands.h"
#include "Viewer/ui/FrameSystemCommands.h"
#include "Viewer/ui/FrameTimers.h"
#include "Viewer/ui/FrameWindowEvents.h"
#include "Viewer/ui/ImageView.h"
#include "Viewer/ui/Splitter.h"

class CMainFrame : public FrameWindowImpl<CMainFrame>, public MessageFilter, public IdleHandler {
public:
    DECLARE_WINDOW_CLASS_WITH_ICON(L"Lumenfold_Frame", 0, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                                   kFrameResourceId)

    BEGIN_MESSAGE_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_APP_STARTUP_PLUGINS, OnStartupPlugIns)
        COMMAND_ID_HANDLER(ID_KIOSK_MODE, OnKioskMode)
        COMMAND_ID_HANDLER(ID_APP_EXIT, OnAppExit)
        CHAIN_MESSAGE_MAP_MEMBER(m_openRequests)
        CHAIN_MESSAGE_MAP_MEMBER(m_navigation)
        CHAIN_MESSAGE_MAP_MEMBER(m_caption)
        CHAIN_MESSAGE_MAP_MEMBER(m_closing)
        CHAIN_MESSAGE_MAP_MEMBER(m_timers)
        CHAIN_MESSAGE_MAP_MEMBER(m_systemCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_windowEvents)
        CHAIN_MESSAGE_MAP_MEMBER(m_listCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_plugInCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_modes)
        CHAIN_MESSAGE_MAP_MEMBER(m_markCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_bookmarkCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_fileCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_ratingCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_dialogCommands)
        CHAIN_MESSAGE_MAP_MEMBER(m_viewToggles)
        CHAIN_MESSAGE_MAP_MEMBER(m_slider)
        CHAIN_MESSAGE_MAP_MEMBER(m_bookmarkList)
        CHAIN_MESSAGE_MAP_MEMBER(m_editorCommands)
        CHAIN_MESSAGE_MAP(FrameWindowImpl<CMainFrame>)
    END_MESSAGE_MAP()

    // The settings the image engine is built with; it joins the frame with the engine.
    CMainFrame(bool disableSmp, bool enableIcc);
    ~CMainFrame() override;

    // Creates the top-level window with the frame's title, menu and accelerators of the language library.
    HWND CreateMainWindow();

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnIdle() override;

    // Brings the frame to the front without leaving it on top of everything.
    void RaiseAboveOthersOnce();
    // A command's notification code when it came through the accelerator table, from the keyboard.
    static constexpr WORD kFromKeyboard = 1;
    // How long a bar that hides itself stays after the keyboard changed the picture.
    static constexpr UINT kBarHideAfterKeyMs = 600;
    // Starts the control bar's slide-away after ms when the bar hides itself.
    void ArmBarAutoHide(UINT milliseconds);
    // Slides a bar that hides itself up into view at the bottom of the client area. Answers whether
    // it showed before; true, and nothing moves, while the bar stays below the view.
    bool SlideInTaskbar();
    // Brings the mouse cursor back before a message box or a dialog.
    void ShowViewCursor();

    // The placement that leaving kiosk mode restores, and whether it comes back maximized.
    void RememberWindowPlacement();
    void SetKioskWasMaximized(bool maximized) noexcept { m_kioskWasMaximized = maximized; }
    void SetMultiSampling(bool on) noexcept
    {
        m_multiSampling = on;
        m_view.SetMultiSampling(on);
    }
    // Enters or leaves the borderless full-monitor kiosk mode.
    LRESULT ToggleKioskMode();

    CImageEngine& Engine() noexcept { return m_engine; }
    CImageView& View() noexcept { return m_view; }
    CSplitter& Splitter() noexcept { return m_splitter; }
    CControlBar& ControlBar() noexcept { return m_controlBar; }
    // Shows the control bar unless it hides itself.
    void ShowTaskbarAtStart();
    bool IsBarVisible() const noexcept { return m_barVisible; }
    void SetBarVisible(bool visible) noexcept { m_barVisible = visible; }
    // The control bar's height at the screen's DPI.
    int BarHeight() const noexcept { return m_barHeight; }
    void UpdateBarHeight();
    CFrameOpenRequests& OpenRequests() noexcept { return m_openRequests; }
    CFrameNavigation& Navigation() noexcept { return m_navigation; }
    CFrameCaption& Caption() noexcept { return m_caption; }
    CFrameSystemCommands& SystemCommands() noexcept { return m_systemCommands; }
    CFrameClosing& Closing() noexcept { return m_closing; }
    CFrameTimers& Timers() noexcept { return m_timers; }
    CFrameModes& Modes() noexcept { return m_modes; }
    CFrameSpeech& Speech() noexcept { return m_speech; }
    CFrameRatingCommands& RatingCommands() noexcept { return m_ratingCommands; }
    CFrameViewToggles& ViewToggles() noexcept { return m_viewToggles; }
    CFrameSlider& Slider() noexcept { return m_slider; }
    CFrameBookmarkList& BookmarkList() noexcept { return m_bookmarkList; }
    CFrameEditorCommands& EditorCommands() noexcept { return m_editorCommands; }
    // The folder open as the image list and the keep-copy folder; empty when there is none.
    const Bstr& ImageFolderPath() const noexcept { return m_imageFolderPath; }
    const Bstr& KeepCopyFolderPath() const noexcept { return m_keepCopyFolderPath; }
    void SetImageFolderPath(const wchar_t* folder) { m_imageFolderPath = folder ? Bstr(folder) : Bstr(); }
    void SetKeepCopyFolderPath(const wchar_t* folder) { m_keepCopyFolderPath = folder ? Bstr(folder) : Bstr(); }
    // The display the decode workers fill pictures for: the render device's, or none.
    void SetRenderDevice();
    const Bstr& ProgramTitle() const noexcept { return m_programTitle; }
    bool IsKioskMode() const noexcept { return m_kioskMode; }
    bool KioskWasMaximized() const noexcept { return m_kioskWasMaximized; }
    // The placement from before kiosk mode, which closing in kiosk mode saves.
    const WINDOWPLACEMENT& SavedPlacement() const noexcept { return m_savedPlacement; }
    bool IsMultiSampling() const noexcept { return m_multiSampling; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStartupPlugIns(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKioskMode(WORD, WORD, HWND, BOOL&);
    LRESULT OnAppExit(WORD, WORD, HWND, BOOL&);

    void EnterKioskMode();
    void LeaveKioskMode();

    CControlBar m_controlBar;
    CSplitter m_splitter;
    CImageEngine m_engine;
    CImageView m_view;
    CFrameOpenRequests m_openRequests{*this};
    CFrameNavigation m_navigation{*this};
    CFrameCaption m_caption{*this};
    CFrameClosing m_closing{*this};
    CFrameTimers m_timers{*this};
    CFrameSystemCommands m_systemCommands{*this};
    CFrameWindowEvents m_windowEvents{*this};
    CFrameListCommands m_listCommands{*this};
    CFramePlugInCommands m_plugInCommands{*this};
    CFrameModes m_modes{*this};
    CFrameMarkCommands m_markCommands{*this};
    CFrameBookmarkCommands m_bookmarkCommands{*this};
    CFrameFileCommands m_fileCommands{*this};
    CFrameRatingCommands m_ratingCommands{*this};
    CFrameDialogCommands m_dialogCommands{*this};
    CFrameViewToggles m_viewToggles{*this};
    CFrameSlider m_slider{*this};
    CFrameBookmarkList m_bookmarkList{*this};
    CFrameEditorCommands m_editorCommands{*this};
    CFrameSpeech m_speech;
    int m_barHeight = 30;
    bool m_barVisible = false;
    bool m_kioskMode = false;
    bool m_kioskWasMaximized = false;
    WINDOWPLACEMENT m_savedPlacement{};
    bool m_multiSampling = false;
    Bstr m_imageFolderPath;
    Bstr m_keepCopyFolderPath;
    Bstr m_programTitle;
};
