#include "Viewer/core/startup/StartupThread.h"
#include "Viewer/imaging/WicFactory.h"
#include <gtest/gtest.h>

namespace {
HRESULT RunStartupThread()
{
    WorkerThread worker;
    EXPECT_EQ(S_OK, StartStartupThread(worker, nullptr, nullptr));
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), worker.Join(10000));
    return worker.Result();
}
}

TEST(StartupThread, EndsOnItsOwnWithOrWithoutTheImagingFactory)
{
    EXPECT_EQ(S_OK, RunStartupThread());

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_EQ(S_OK, CreateWicFactory());
    EXPECT_EQ(S_OK, RunStartupThread());
    EXPECT_TRUE(g_WicFactory) << "the warm-up leaves the process's factory in place";
    ReleaseWicFactory();
    CoUninitialize();
}
