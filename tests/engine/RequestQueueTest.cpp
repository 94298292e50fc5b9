#include "Viewer/engine/DecodeQueue.h"
#include "Viewer/engine/DriveSlots.h"
#include "Viewer/engine/RequestQueue.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

namespace {
// The semaphore's count, read by taking every count and giving them back.
LONG SemaphoreCount(HANDLE semaphore)
{
    LONG count = 0;
    while (WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0) ++count;
    if (count) ReleaseSemaphore(semaphore, count, nullptr);
    return count;
}

EntryRef Entry(const wchar_t* base)
{
    return MakeEntry(nullptr, std::wstring(base), nullptr, 0, 1, L"jpg", false);
}

TEST(RequestQueueTest, ManyProducersAndConsumersDeliverEveryRecordOnce)
{
    constexpr int Producers = 4;
    constexpr int Consumers = 4;
    constexpr int PerProducer = 5000;
    CSyncRequestQueue<int> queue;
    volatile LONG queued = 0;
    std::vector<std::atomic<int>> seen(Producers * PerProducer);
    std::atomic<int> taken{0};
    std::vector<std::thread> threads;
    for (int p = 0; p < Producers; ++p)
        threads.emplace_back([&, p] {
            for (int i = 0; i < PerProducer; ++i) {
                InterlockedIncrement(&queued);
                ASSERT_TRUE(queue.Push(p * PerProducer + i));
            }
        });
    for (int c = 0; c < Consumers; ++c)
        threads.emplace_back([&] {
            while (taken.load() < Producers * PerProducer) {
                int record = -1;
                if (!queue.Pop(record, &queued, 20)) continue;
                seen[record].fetch_add(1);
                taken.fetch_add(1);
            }
        });
    for (std::thread& thread : threads) thread.join();

    for (int i = 0; i < Producers * PerProducer; ++i) ASSERT_EQ(1, seen[i].load()) << "record " << i;
    EXPECT_EQ(0, queued);
    EXPECT_EQ(0u, queue.Count());
    EXPECT_EQ(0, SemaphoreCount(queue.Semaphore()));
}

TEST(RequestQueueTest, PopOnAnEmptyQueueTimesOutAndLeavesTheCounter)
{
    CDecodeQueue queue;
    volatile LONG counter = 3;
    EntryRef entry;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(queue.Pop(entry, &counter, 250));
    EXPECT_GE(GetTickCount64() - start, 200u);
    EXPECT_FALSE(entry);
    EXPECT_EQ(3, counter);
}

TEST(RequestQueueTest, PopTakesTheEntryLockAndDropsARecordWhoseEntryIsBusy)
{
    CDecodeQueue queue;
    EntryRef busy = Entry(L"C:\\a\\busy");
    EntryRef free = Entry(L"C:\\a\\free");
    ASSERT_TRUE(queue.Push(busy));
    ASSERT_TRUE(queue.Push(free));
    std::thread holder([&] { busy->EntryLockEnter(); });
    holder.join();  // the lock stays with the ended thread, as with a worker in a decode

    EntryRef popped;
    EXPECT_FALSE(queue.Pop(popped, nullptr, 0));
    EXPECT_FALSE(popped);
    ASSERT_TRUE(queue.Pop(popped, nullptr, 0));
    EXPECT_EQ(free.Get(), popped.Get());
    HRESULT elsewhere = S_OK;
    std::thread([&] { elsewhere = popped->EntryLockTryEnter(); }).join();
    EXPECT_EQ(E_FAIL, elsewhere);
    EXPECT_EQ(0u, queue.Count());
}

TEST(RequestQueueTest, RemoveTakesEveryRecordOfTheEntryAndItsCounts)
{
    CDecodeQueue queue;
    EntryRef twice = Entry(L"C:\\a\\twice");
    EntryRef other = Entry(L"C:\\a\\other");
    queue.Push(twice);
    queue.Push(other);
    queue.Push(twice);
    EXPECT_TRUE(queue.Remove(twice.Get()));
    EXPECT_FALSE(queue.Remove(twice.Get()));
    EXPECT_EQ(1u, queue.Count());
    EXPECT_EQ(1, SemaphoreCount(queue.Semaphore()));
}

TEST(RequestQueueTest, AQueuedEntryOutlivesTheListThatDroppedIt)
{
    CDecodeQueue queue;
    {
        EntryRef listed = Entry(L"C:\\a\\flushed");
        queue.Push(listed);
    }  // the list lets go of it, as a flush does
    EntryRef popped;
    ASSERT_TRUE(queue.Pop(popped, nullptr, 0));
    EXPECT_EQ(L"C:\\a\\flushed", popped->GetBasePath());
    popped->EntryLockLeave();
}

TEST(RequestQueueTest, ClearZeroesTheCounterAndDrainsTheSemaphore)
{
    CSyncRequestQueue<int> queue;
    volatile LONG counter = 2;
    queue.Push(1);
    queue.Push(2);
    EXPECT_TRUE(queue.Clear(&counter, INFINITE));
    EXPECT_EQ(0, counter);
    EXPECT_EQ(0u, queue.Count());
    EXPECT_EQ(0, SemaphoreCount(queue.Semaphore()));
}

TEST(RequestQueueTest, UnlockedClearOfAnEmptyListKeepsTheCounter)
{
    CRequestQueue<int> queue;
    volatile LONG counter = 5;
    queue.Clear(&counter);
    EXPECT_EQ(5, counter);
    queue.PushBack(7);
    queue.Clear(&counter);
    EXPECT_EQ(0, counter);
    int record = 0;
    EXPECT_FALSE(queue.PopFront(record));
}

UINT InjectedDriveType(const wchar_t* root)
{
    switch (root[0]) {
    case L'D': return DRIVE_CDROM;
    case L'E': return DRIVE_REMOVABLE;
    default: return DRIVE_FIXED;
    }
}

TEST(DriveSlotsTest, TicketsNameTheDriveKindTaken)
{
    DriveSlots slots(InjectedDriveType);
    DriveSlotTicket fixed = slots.Acquire(L"C:\\pictures\\a");
    DriveSlotTicket cdRom = slots.Acquire(L"D:\\pictures\\a");
    DriveSlotTicket removable = slots.Acquire(L"E:\\DCIM\\a");
    EXPECT_EQ(0u, fixed);
    EXPECT_EQ(DriveSlotTicket(DRIVE_CDROM), cdRom);
    EXPECT_EQ(DriveSlotTicket(DRIVE_REMOVABLE), removable);
    EXPECT_EQ(0u, slots.Acquire(L""));
    EXPECT_EQ(0u, slots.Acquire(L"relative\\name"));
    slots.Release(cdRom);
    slots.Release(removable);
    slots.Release(fixed);
    EXPECT_EQ(0u, cdRom);
    EXPECT_EQ(0u, removable);
}

// A reader on a thread of its own: takes its slot, then holds it until told to give it back.
class Reader {
public:
    Reader(DriveSlots& slots, const wchar_t* path)
        : m_took(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_go(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = std::thread([this, &slots, path] {
            ticket = slots.Acquire(path);
            SetEvent(m_took.Get());
            WaitForSingleObject(m_go.Get(), INFINITE);
            slots.Release(ticket);
        });
    }
    ~Reader()
    {
        SetEvent(m_go.Get());
        m_thread.join();
    }
    bool TookWithin(DWORD milliseconds) { return WaitForSingleObject(m_took.Get(), milliseconds) == WAIT_OBJECT_0; }
    void GiveBack() { SetEvent(m_go.Get()); }

    DriveSlotTicket ticket = 0;

private:
    UniqueHandle m_took;
    UniqueHandle m_go;
    std::thread m_thread;
};

TEST(DriveSlotsTest, AThirdRemovableReaderWaitsForASlot)
{
    DriveSlots slots(InjectedDriveType);
    Reader first(slots, L"E:\\DCIM\\1");
    Reader second(slots, L"E:\\DCIM\\2");
    ASSERT_TRUE(first.TookWithin(5000));
    ASSERT_TRUE(second.TookWithin(5000));
    Reader third(slots, L"E:\\DCIM\\3");
    EXPECT_FALSE(third.TookWithin(200));
    EXPECT_EQ(0u, slots.Acquire(L"C:\\fixed\\not throttled"));
    first.GiveBack();
    EXPECT_TRUE(third.TookWithin(5000));
    EXPECT_EQ(DriveSlotTicket(DRIVE_REMOVABLE), third.ticket);
}

TEST(DriveSlotsTest, OneCdRomReaderAtATime)
{
    DriveSlots slots(InjectedDriveType);
    Reader first(slots, L"D:\\disc\\1");
    ASSERT_TRUE(first.TookWithin(5000));
    Reader second(slots, L"D:\\disc\\2");
    EXPECT_FALSE(second.TookWithin(200));
    first.GiveBack();
    EXPECT_TRUE(second.TookWithin(5000));
    EXPECT_EQ(DriveSlotTicket(DRIVE_CDROM), second.ticket);
}
}  // namespace
