#include "Viewer/engine/StopQueueWorker.h"
#include <gtest/gtest.h>
#include <atomic>

namespace {
// A write worker as the queues run it: take a record, spend a while on it, until told to stop.
HRESULT Drain(WorkerThread& self, CSyncRequestQueue<int>& queue, std::atomic<int>& done)
{
    while (!self.StopRequested()) {
        int record = 0;
        if (!queue.Pop(record, nullptr, 100)) continue;
        Sleep(20);
        done.fetch_add(1);
    }
    return S_OK;
}

TEST(StopQueueWorkerTest, EveryQueuedRecordIsCarriedOutBeforeTheWorkerStops)
{
    CSyncRequestQueue<int> queue;
    std::atomic<int> done{0};
    WorkerThread worker;
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(queue.Push(i));
    ASSERT_EQ(S_OK, worker.Start(L"writer", [&](WorkerThread& self) { return Drain(self, queue, done); }));

    StopQueueWorker(worker, queue);

    EXPECT_EQ(8, done.load());
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(S_OK, worker.Result());
    StopQueueWorker(worker, queue);  // a second stop finds nothing to do
}

TEST(StopQueueWorkerTest, AWorkerThatSendsToTheStoppingThreadIsServedMeanwhile)
{
    // A window of the stopping thread, as the frame is to a write worker reporting a failure.
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    CSyncRequestQueue<int> queue;
    std::atomic<int> done{0};
    WorkerThread worker;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(queue.Push(i));
    ASSERT_EQ(S_OK, worker.Start(L"writer", [&](WorkerThread& self) {
        while (!self.StopRequested()) {
            int record = 0;
            if (!queue.Pop(record, nullptr, 100)) continue;
            SendMessageW(window, WM_NULL, 0, 0);
            done.fetch_add(1);
        }
        return S_OK;
    }));

    StopQueueWorker(worker, queue);

    EXPECT_EQ(3, done.load());
    DestroyWindow(window);
}

TEST(StopQueueWorkerTest, AWorkerThatHasEndedIsNotWaitedForWithRecordsLeft)
{
    CSyncRequestQueue<int> queue;
    WorkerThread worker;
    ASSERT_TRUE(queue.Push(1));
    ASSERT_EQ(S_OK, worker.Start(L"writer", [](WorkerThread&) { return E_FAIL; }));
    worker.Join();

    StopQueueWorker(worker, queue);

    EXPECT_EQ(1u, queue.LockedCount());
    EXPECT_EQ(E_FAIL, worker.Result());
}
}
