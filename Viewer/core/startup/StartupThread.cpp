#include "Viewer/core/startup/StartupThread.h"
#include "Viewer/core/ActionPlugInHost.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/core/UpdateChecker.h"
#include "Viewer/imaging/WicFactory.h"

namespace {
void EnableDataExecutionPrevention()
{
    using SetProcessDepPolicyFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
    auto setPolicy = reinterpret_cast<SetProcessDepPolicyFunction>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "SetProcessDEPPolicy") : nullptr));
    if (setPolicy) setPolicy(PROCESS_DEP_ENABLE);
}

HRESULT StartupTasks(WorkerThread& self, HWND frame, HACCEL frameTable)
{
    LastActivityCode = 27;
    EnableDataExecutionPrevention();
    LastActivityCode = 28;
    // Made once and let go again: what counts is that the codec is loaded before the first picture needs it.
    ComPtr<IWICBitmapDecoder> warmUp;
    if (g_WicFactory) g_WicFactory->CreateDecoder(GUID_ContainerFormatWmp, &GUID_VendorMicrosoft, &warmUp);
    RegKey settings;
    settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
    RunStartupTasks(settings, frame, frameTable, self.StopEvent(), UpdateFeedAddress(kUpdateFeedAddress));
    LastActivityCode = 29;
    return S_OK;
}
}

HRESULT StartStartupThread(WorkerThread& worker, HWND frame, HACCEL frameTable)
{
    return worker.Start(
        L"start-up thread", [frame, frameTable](WorkerThread& self) { return StartupTasks(self, frame, frameTable); },
        WorkerApartment::MultiThreaded, THREAD_PRIORITY_BELOW_NORMAL);
}
