#include "Viewer/core/startup/Run.h"
#include "Framework/MessageLoop.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CommandLine.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/MyPictures.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/core/StartModeSwitches.h"
#include "Viewer/core/startup/StartupThread.h"
#include "Viewer/core/UiLanguage.h"
#include "Viewer/dialogs/WicMissingDialog.h"
#include "Viewer/imaging/WicFactory.h"
#include "Viewer/ui/FrameDialogCommands.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/ui/MonitorTable.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/core/WindowPlacement.h"
#include <shlwapi.h>

namespace {
constexpr UINT kEmptyViewStringId = 10128;
constexpr UINT kFitToWorkAreaCentred = 3;

// The message loop of this thread for Run's whole life, registered so that the frame can add itself.
class RegisteredMessageLoop {
public:
    RegisteredMessageLoop() { RegisterMessageLoop(&m_loop); }
    RegisteredMessageLoop(const RegisteredMessageLoop&) = delete;
    RegisteredMessageLoop& operator=(const RegisteredMessageLoop&) = delete;
    ~RegisteredMessageLoop() { UnregisterMessageLoop(); }
    MessageLoop& Loop() noexcept { return m_loop; }

private:
    MessageLoop m_loop;
};

bool CreateWicFactoryAfterTellingTheUser()
{
    LastActivityCode = 40;
    if (SUCCEEDED(CreateWicFactory())) return true;
    {
        CWicMissingDialog dialog(FrameSkinImageLoader());
        dialog.DoModal(GetActiveWindow());
    }
    return SUCCEEDED(CreateWicFactory());
}

// The colour-profile switch: a profile file of the system colour directory turns colour
// management on for this run only.
bool ApplyColorProfileSwitch(CommandLine& commandLine)
{
    const std::wstring value = commandLine.GetOptionValue(L"c*olorProfile");
    const std::wstring profile = AppSettings::FindColorProfileFile(value);
    if (profile.empty()) return false;
    AppSettings::CustomTargetColorProfile = profile;
    AppSettings::CommandLineColorProfile = true;
    RecordForTest(L"colour-profile", profile);
    return true;
}

DWORD ReadFlag(const RegKey& settings, const wchar_t* name)
{
    return settings.QueryDword(name).value_or(0);
}

void FitToNearestWorkArea(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(window, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                 SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

struct WindowStartState {
    DWORD maximized = 0;
    DWORD kioskMode = 0;
    DWORD kioskExitMaximized = 0;
    int monitor = 0;
    bool show = true;
};

// Steps of the placement: a chosen monitor, else the stored placement within the nearest work area.
void PlaceWindow(CMainFrame& frame, CommandLine& commandLine, WindowStartState& state)
{
    HWND window = frame.m_hWnd;
    LastActivityCode = 59;
    if (commandLine.FindOption(L"m*onitor")) {
        LastActivityCode = 60;
        LoadWindowPlacement(window, 0, AppSettings::KeyPath, L"AppWindow");
        state.monitor = MoveWindowToMonitor(window, commandLine.GetOptionInt(L"m*onitor", 1));
        return;
    }
    LastActivityCode = 61;
    FitToNearestWorkArea(window);
    LastActivityCode = 62;
    AdjustAndSetWindowRect(window, kFitToWorkAreaCentred);
    LastActivityCode = 63;
    LoadWindowPlacement(window, state.kioskMode ? 0 : -1, AppSettings::KeyPath, L"AppWindow");
    LastActivityCode = 64;
    state.show = state.kioskMode != 0;
}

void ShowAndEnterKioskMode(CMainFrame& frame, CommandLine& commandLine, WindowStartState& state, int& showCommand)
{
    LastActivityCode = 65;
    if (state.kioskMode || commandLine.FindOption(L"k*iosk")) {
        frame.ToggleKioskMode();
        showCommand = SW_SHOWMAXIMIZED;
    }
    LastActivityCode = 66;
    if (state.show) ShowWindow(frame.m_hWnd, state.maximized ? SW_SHOWMAXIMIZED : showCommand);
    LastActivityCode = 67;
    if (!state.kioskMode) return;
    frame.RememberWindowPlacement();
    if (state.kioskExitMaximized) {
        WINDOWPLACEMENT placement{};
        if (state.monitor && GetMonitorPlacement(state.monitor, &placement)) {
            placement.flags |= WPF_ASYNCWINDOWPLACEMENT;
            SetWindowPlacement(frame.m_hWnd, &placement);
        } else {
            RestoreWindowPlacement(frame.m_hWnd, L"AppWindow.Maximized");
        }
    }
    frame.SetKioskWasMaximized(state.kioskExitMaximized != 0);
}

bool IsExistingFolder(const std::wstring& path)
{
    return !path.empty() && PathIsDirectoryW(path.c_str());
}

void ClearTrackModeForNetworkFolder(const std::wstring& folder)
{
    if (PathIsNetworkPathW(folder.c_str())) StartModes.trackMode = FALSE;
}

// The last session's folder and picture, when the user wants them back and they still exist.
bool OpenLastPictureFolder(CMainFrame& frame, const RegKey& settings)
{
    LastActivityCode = 77;
    const std::wstring folder = settings.QueryString(L"LastPictureFolder", MAX_PATH).value_or(L"");
    if (!IsExistingFolder(folder)) return false;
    const std::wstring name = settings.QueryString(L"LastImageViewed", MAX_PATH).value_or(L"");
    const std::wstring picture = folder + L"\\" + name;
    const bool pictureExists = !name.empty() && PathFileExistsW(picture.c_str());
    if (pictureExists) AppSettings::LastImageViewed = picture;
    if (!frame.OpenRequests().OpenPath(folder.c_str(), pictureExists ? picture.c_str() : nullptr)) return false;
    ClearTrackModeForNetworkFolder(folder);
    if (AppSettings::ReuseLastKeepCopyFolder) {
        const std::wstring keepCopy = settings.QueryString(L"LastKeepCopyFolder", MAX_PATH).value_or(L"");
        if (IsExistingFolder(keepCopy)) frame.OpenRequests().SetSecondaryFolder(keepCopy.c_str());
    }
    LastActivityCode = 78;
    return true;
}

void OpenStartPath(CMainFrame& frame, CommandLine& commandLine, const RegKey& settings)
{
    LastActivityCode = 72;
    if (commandLine.FindOption(L"i*mageFolder")) {
        LastActivityCode = 73;
        std::wstring folder = commandLine.GetOptionValue(L"i*mageFolder");
        if (folder.empty()) folder = MyPicturesFolder();
        if (frame.OpenRequests().OpenPath(folder.c_str(), nullptr)) {
            ClearTrackModeForNetworkFolder(folder);
            const std::wstring keepCopy = commandLine.GetOptionValue(L"c*opyFolder");
            if (!keepCopy.empty()) frame.OpenRequests().SetSecondaryFolder(keepCopy.c_str());
        }
        LastActivityCode = 74;
        return;
    }
    const std::wstring freeArguments = commandLine.GetPositionalArgument(false, false, L"|");
    if (!freeArguments.empty()) {
        frame.OpenRequests().OpenPathList(freeArguments);
        return;
    }
    if (AppSettings::ReuseLastPictureFolder && OpenLastPictureFolder(frame, settings)) return;
    LastActivityCode = 79;
    frame.Caption().SetStatusText(LoadUiString(kEmptyViewStringId).c_str());
    LastActivityCode = 80;
}

// The device paints the view; without it the view paints through GDI+, which the user is told once
// the frame is up. True when the device was asked for and could not be made.
bool StartDirect3D(CMainFrame& frame)
{
    bool failed = false;
    if (!AppSettings::DisableHWA) {
        failed = FAILED(InitDirect3D(frame.View().m_hWnd, AppSettings::MultiSampling != 0));
        if (!failed) frame.SetRenderDevice();
    }
    if (AppSettings::MultiSampling) frame.SetMultiSampling(true);
    return failed;
}

void TellDirect3DFailed(HWND frame)
{
    constexpr UINT kNoAccelerationString = 10170;
    constexpr UINT kProgramNameString = 100;
    Sleep(200);
    ShowMessageBox(frame, LoadUiString(kNoAccelerationString).c_str(), LoadUiString(kProgramNameString).c_str(),
                   MB_ICONINFORMATION);
}

// Steps from the settings to the end of the message loop; the settings key and the frame live here.
int RunMainWindow(CommandLine& commandLine, MessageLoop& loop, int showCommand)
{
    LastActivityCode = 41;
    RegKey settings = AppSettings::OpenOrCreateSettings();
    LastActivityCode = 51;
    const bool enableIcc = ApplyColorProfileSwitch(commandLine) || AppSettings::EnableICC;

    int result = 0;
    {
        CMainFrame frame(AppSettings::DisableSMP != 0, enableIcc);
        LastActivityCode = 52;
        if (!frame.CreateMainWindow()) return 0;
        LastActivityCode = 53;
        MainFrameHandle = frame.m_hWnd;
        // Declared after the frame, so that it is joined (serving sent messages) before the frame goes:
        // the start-up thread may still hold the frame and read the imaging factory.
        WorkerThread startupThread;
        StartStartupThread(startupThread, frame.m_hWnd, frame.m_hAccel);

        LastActivityCode = 54;
        WindowStartState state;
        state.maximized = ReadFlag(settings, L"Maximized");
        state.kioskMode = ReadFlag(settings, L"KioskMode");
        state.kioskExitMaximized = ReadFlag(settings, L"KioskMode.ExitMaximized");
        ReadStartModeSwitches(commandLine);
        PlaceWindow(frame, commandLine, state);
        ShowAndEnterKioskMode(frame, commandLine, state, showCommand);
        frame.ShowTaskbarAtStart();

        LastActivityCode = 69;
        const bool direct3DFailed = StartDirect3D(frame);
        frame.SystemCommands().ShowEmptyViewScreen(false);
        frame.Engine().ComputeCacheSize(true);
        OpenStartPath(frame, commandLine, settings);
        if (frame.Engine().IsListEmpty()) frame.SystemCommands().ShowEmptyViewScreen(false);

        LastActivityCode = 81;
        settings.Close();
        LastActivityCode = 87;
        if (direct3DFailed) TellDirect3DFailed(frame.m_hWnd);
        LastActivityCode = 89;
        SetTimer(frame.m_hWnd, TIMER_FRAME_NOTICE, 15000, nullptr);
        LastActivityCode = 90;
        SetTimer(frame.m_hWnd, TIMER_FRAME_RAISE, 100, nullptr);
        LastActivityCode = 91;
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
        frame.OpenRequests().ApplyStartMode();
        LastActivityCode = 93;
        result = loop.Run();

        LastActivityCode = 94;
        // A stop abandons a pending update check, so the close does not wait for a silent server.
        startupThread.StopAndJoin();
    }
    MainFrameHandle = nullptr;
    // The plug-ins go while COM is still up.
    g_ActionPlugIns.clear();
    return result;
}
}

int Run(PWSTR, int showCommand)
{
    LastActivityCode = 37;
    CommandLine commandLine;
    LastActivityCode = 38;
    if (SelectUiLanguage(commandLine) < 0) return -1;
    LastActivityCode = 39;
    RegisteredMessageLoop loop;
    if (!CreateWicFactoryAfterTellingTheUser()) return 0;

    const int result = RunMainWindow(commandLine, loop.Loop(), showCommand);
    LastActivityCode = 95;
    ReleaseDirect3D();
    LastActivityCode = 96;
    ReleaseWicFactory();
    LastActivityCode = 97;
    LastActivityCode = 98;
    return result;
}
