#include "Viewer/core/StartupThread.h"
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
}

unsigned __stdcall StartupThreadProc(void*)
{
    LastActivityCode = 27;
    EnableDataExecutionPrevention();
    LastActivityCode = 28;
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        // Made once and let go again: what counts is that the codec is loaded before the first picture needs it.
        ComPtr<IWICBitmapDecoder> warmUp;
        if (g_WicFactory) g_WicFactory->CreateDecoder(GUID_ContainerFormatWmp, &GUID_VendorMicrosoft, &warmUp);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
        LastActivityCode = 29;
    }
    CoUninitialize();
    return 0;
}
