#include "Viewer/core/startup/StartupThread.h"
#include "Viewer/core/LastActivity.h"
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

HRESULT StartupTasks(WorkerThread&)
{
    LastActivityCode = 27;
    EnableDataExecutionPrevention();
    LastActivityCode = 28;
    // Made once and let go again: what counts is that the codec is loaded before the first picture needs it.
    ComPtr<IWICBitmapDecoder> warmUp;
    if (g_WicFactory) g_WicFactory->CreateDecoder(GUID_ContainerFormatWmp, &GUID_VendorMicrosoft, &warmUp);
    LastActivityCode = 29;
    return S_OK;
}
}

HRESULT StartStartupThread(WorkerThread& worker)
{
    return worker.Start(L"start-up thread", &StartupTasks, WorkerApartment::MultiThreaded,
                        THREAD_PRIORITY_BELOW_NORMAL);
}
