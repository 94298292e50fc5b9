#include <gmock/gmock.h>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include "Viewer/engine/SyncQueue.h"

namespace {

FolderRecord Record(const std::wstring& path, ULONGLONG created)
{
    FolderRecord record{Bstr(path), {}};
    record.data.ftCreationTime.dwLowDateTime = DWORD(created);
    record.data.ftCreationTime.dwHighDateTime = DWORD(created >> 32);
    return record;
}

std::vector<std::wstring> TakeAll(CSyncQueue& queue)
{
    std::vector<std::wstring> paths;
    FolderRecord record;
    while (queue.WaitAndTake(record, 0)) paths.emplace_back(record.path.View());
    return paths;
}

TEST(SyncQueue, HandsOutOldestCreatedFirstAndEqualTimesInArrivalOrder)
{
    CSyncQueue queue;
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\b", 20)));
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\z", 10)));
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\a", 20)));
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\vanished", ~0ull)));
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\m", 5)));
    EXPECT_EQ(5u, queue.Count());
    EXPECT_THAT(TakeAll(queue), testing::ElementsAre(L"C:\\m", L"C:\\z", L"C:\\b", L"C:\\a", L"C:\\vanished"));
    EXPECT_EQ(0u, queue.Count());
}

TEST(SyncQueue, APathQueuedTwiceKeepsItsFirstRecord)
{
    CSyncQueue queue;
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\p\\a.jpg", 7)));
    EXPECT_FALSE(queue.AddLocked(Record(L"C:\\p\\a.jpg", 1)));
    // Paths are compared with their case: another spelling is another record.
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\p\\A.jpg", 9)));
    FolderRecord record;
    ASSERT_TRUE(queue.WaitAndTake(record, 0));
    EXPECT_EQ(L"C:\\p\\a.jpg", record.path.View());
    EXPECT_EQ(7u, record.data.ftCreationTime.dwLowDateTime);
    ASSERT_TRUE(queue.WaitAndTake(record, 0));
    // Only records that were taken count on the semaphore: nothing is left to wake a consumer.
    EXPECT_FALSE(queue.WaitAndTake(record, 0));
}

TEST(SyncQueue, ClearDropsEverythingAndLeavesNoWakeUpBehind)
{
    CSyncQueue queue;
    for (int i = 0; i < 10; ++i) queue.AddLocked(Record(L"C:\\f" + std::to_wstring(i), i));
    EXPECT_TRUE(queue.Clear(INFINITE));
    EXPECT_EQ(0u, queue.Count());
    FolderRecord record;
    EXPECT_FALSE(queue.WaitAndTake(record, 50));
    EXPECT_TRUE(queue.AddLocked(Record(L"C:\\f1", 1)));
    EXPECT_TRUE(queue.WaitAndTake(record, 0));
}

TEST(SyncQueue, ConcurrentProducersAndConsumersDeliverEveryRecordExactlyOnce)
{
    constexpr int Producers = 4;
    constexpr int PerProducer = 3000;
    constexpr int Consumers = 3;
    CSyncQueue queue;
    std::atomic<int> taken{0};
    std::vector<std::vector<std::wstring>> seen(Consumers);
    std::vector<std::thread> threads;
    for (int c = 0; c < Consumers; ++c) {
        threads.emplace_back([&, c] {
            FolderRecord record;
            while (taken < Producers * PerProducer) {
                if (!queue.WaitAndTake(record, 10)) continue;
                seen[c].emplace_back(record.path.View());
                ++taken;
            }
        });
    }
    for (int p = 0; p < Producers; ++p) {
        threads.emplace_back([&, p] {
            for (int i = 0; i < PerProducer; ++i)
                queue.AddLocked(Record(L"C:\\p" + std::to_wstring(p) + L"\\" + std::to_wstring(i), (i * 7919) % 1000));
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::multiset<std::wstring> all;
    for (const auto& paths : seen) all.insert(paths.begin(), paths.end());
    EXPECT_EQ(size_t(Producers * PerProducer), all.size());
    EXPECT_EQ(all.size(), std::set<std::wstring>(all.begin(), all.end()).size());
    EXPECT_EQ(0u, queue.Count());
}

}  // namespace
