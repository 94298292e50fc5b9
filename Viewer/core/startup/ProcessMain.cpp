#include "Viewer/core/startup/ProcessMain.h"
#include "Framework/ComPtr.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/CrashHandler.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/core/startup/Run.h"
#include "Viewer/core/startup/ServerRegistration.h"
#include "Viewer/core/SingleInstance.h"
#include "Viewer/core/ThemeHelper.h"
#include "Viewer/engine/TetheredHandler.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <commctrl.h>
#include <shlobj.h>

namespace {
bool ReadEnforceExceptionFilter()
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) != ERROR_SUCCESS) return false;
    return key.QueryDword(L"EnforceExceptionFilter").value_or(0) != 0;
}

// Buffered painting of the visual-styles library, started for the run of the program where it exists.
bool CallThemeFunction(const char* name)
{
    using Function = HRESULT(WINAPI*)();
    auto function = reinterpret_cast<Function>(reinterpret_cast<void*>(CThemeHelper::Process().Function(name)));
    return function && SUCCEEDED(function());
}

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS;
    InitCommonControlsEx(&controls);
}

// From the crash handler to the single-instance decision; the caller releases both in reverse.
void StartProcessServices()
{
    LastActivityCode = 99;
    const bool enforce = ReadEnforceExceptionFilter();
    InstallCrashHandler(enforce);
    LastActivityCode = 100;
    GdiPlusAcquire();
    for (double code : {101.0, 102.0, 103.0, 104.0, 111.0, 112.0}) LastActivityCode = code;
    InitPrimitivesCpuDispatch();
}

void StopProcessServices()
{
    LastActivityCode = 128;
    GdiPlusRelease();
    RemoveCrashHandler();
}

// COM, the common controls and the shell allocator around Run.
int RunWithCom(PWSTR commandTail, int showCommand)
{
    LastActivityCode = 118;
    GetSystemTime(&ProgramStartTime);
    CoInitialize(nullptr);
    LastActivityCode = 119;
    InitCommonControlClasses();
    LastActivityCode = 120;
    LastActivityCode = 121;
    int result = 0;
    {
        LastActivityCode = 121.1;
        ComPtr<IMalloc> shellAllocator;
        SHGetMalloc(&shellAllocator);
        LastActivityCode = 122;
        const bool bufferedPaint = IsVistaOrLater() && CallThemeFunction("BufferedPaintInit");
        // AutoPlay's request for the class, which may be what started this viewer, is answered here.
        TetheredHandlerClassObject tetheredHandler;
        tetheredHandler.Register();
        result = Run(commandTail, showCommand);
        if (bufferedPaint) CallThemeFunction("BufferedPaintUnInit");
        LastActivityCode = 123;
        CloseInstanceEvent();
        LastActivityCode = 124;
    }
    LastActivityCode = 125;
    LastActivityCode = 126;
    CoUninitialize();
    LastActivityCode = 127;
    FreeLanguageLibrary();
    return result;
}
}

int ProcessMain(HINSTANCE, PWSTR commandTail, int showCommand)
{
    InstallProcessTestHooks();
    if (const std::optional<int> registered = RunServerRegistrationSwitch()) return *registered;
    StartProcessServices();
    const int result = WakeRunningInstance(commandTail) ? 0 : RunWithCom(commandTail, showCommand);
    StopProcessServices();
    return result;
}
