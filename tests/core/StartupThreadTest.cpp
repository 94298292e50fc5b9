#include "Viewer/core/StartupThread.h"
#include "Viewer/core/UniqueHandle.h"
#include "Viewer/imaging/WicFactory.h"
#include <gtest/gtest.h>
#include <process.h>

namespace {
DWORD RunStartupThread()
{
    const UniqueHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &StartupThreadProc, nullptr, 0, nullptr)));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 10000));
    DWORD code = 99;
    GetExitCodeThread(thread.Get(), &code);
    return code;
}
}

TEST(StartupThread, EndsOnItsOwnWithOrWithoutTheImagingFactory)
{
    EXPECT_EQ(0u, RunStartupThread());

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(S_OK, CreateWicFactory());
    EXPECT_EQ(0u, RunStartupThread());
    EXPECT_TRUE(g_WicFactory) << "the warm-up leaves the process's factory in place";
    ReleaseWicFactory();
    CoUninitialize();
}
