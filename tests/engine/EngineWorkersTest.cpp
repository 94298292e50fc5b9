#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DecodeWorkerRules.h"
#include "Viewer/engine/ImageEngine.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/DecodeFixture.h"
#include "tests/imaging/RecordingWicFactory.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <algorithm>
#include <mutex>
#include <memory>
#include <set>

namespace {
constexpr int PictureCount = 12;

// Enough memory, at a load that neither shrinks nor grows the window.
MemoryReading Steady()
{
    return {uint64_t(2) << 30, 60};
}

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage;
}

DWORD HandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

class EngineWorkersTest : public DecodeFixture {
protected:
    void SetUp() override
    {
        DecodeFixture::SetUp();
        frameHandle = frame.Handle();
        for (int i = 1; i <= PictureCount; ++i)
            WriteTestPicture(folder.File(L"pic" + std::to_wstring(100 + i) + L".jpg"), GUID_ContainerFormatJpeg,
                             {PlainFrame(800, 600, Rgba{uint8_t(i * 20), 80, 160, 255})});
    }
    void TearDown() override
    {
        engine.reset();
        AppSettings::MemoryUsageGuideNumber = 32;
        DecodeFixture::TearDown();
    }

    CImageEngine& NewEngine(bool disableSmp = false)
    {
        engine.reset();
        engine = std::make_unique<CImageEngine>(&frameHandle, disableSmp, false);
        engine->SetWorkerStartDelay(0);
        engine->SetMemoryProbe(Steady);
        return *engine;
    }
    // Opens the test's folder as the frame does: flush, list, size the cache.
    void Open(CacheQuotas quotas)
    {
        engine->FlushCache(true);
        ASSERT_EQ(S_OK, engine->ListFolderMatching(L"*.jpg", folder.Path().c_str(), false));
        for (int i = 0; i < 500 && engine->GetEntryCount() < PictureCount; ++i) frame.PumpFor(20);
        ASSERT_EQ(uint32_t(PictureCount), engine->GetEntryCount());
        engine->SetCacheQuotas(quotas);
    }
    // The positions holding a decoded picture once every queued decode has ended.
    std::set<uint32_t> DecodedPositions()
    {
        for (int i = 0; i < 1000; ++i) {
            bool loading = false;
            for (uint32_t k = 1; k <= PictureCount; ++k) loading = loading || engine->GetEntryAtPosition(k)->IsLoading();
            if (!loading) break;
            frame.PumpFor(10);
        }
        frame.PumpFor(50);
        std::set<uint32_t> decoded;
        for (uint32_t k = 1; k <= PictureCount; ++k)
            if (engine->GetEntryAtPosition(k)->HasImage()) decoded.insert(k);
        return decoded;
    }
    std::set<uint32_t> CachedPositions()
    {
        std::set<uint32_t> cached;
        for (const EntryRef& entry : engine->GetCachedEntries())
            for (uint32_t k = 1; k <= PictureCount; ++k)
                if (engine->GetEntryAtPosition(k) == entry.Get()) cached.insert(k);
        return cached;
    }

    // Flushing and shutting down while the workers decode: no hang, no crash, and an entry that the
    // test still holds outlives the flush.
    void FlushAndShutDownWhileDecoding()
    {
        NewEngine();
        Open({6, 3});
        ASSERT_NE(nullptr, engine->GoToPosition(5));
        EntryRef held(engine->GetEntryAtPosition(6));
        Sleep(5);
        engine->FlushCache(true);
        EXPECT_EQ(0u, engine->GetEntryCount());
        EXPECT_FALSE(held->GetBasePath().empty());
        Open({6, 3});
        ASSERT_NE(nullptr, engine->GoLast());
        Sleep(5);
        engine->ShutdownLoader();
        EXPECT_TRUE(engine->GetCachedEntries().empty());
        held.Reset();
        engine.reset();
    }

    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
};

TEST_F(EngineWorkersTest, TheWorkerCountFollowsTheSettings)
{
    EXPECT_EQ(1, NewEngine(true).GetWorkerCount());
    AppSettings::MemoryUsageGuideNumber = 0;
    EXPECT_EQ(1, NewEngine(false).GetWorkerCount());
    AppSettings::MemoryUsageGuideNumber = 32;
    EXPECT_EQ(std::clamp(CountPhysicalCores(), 1, 8), NewEngine(false).GetWorkerCount());
}

TEST_F(EngineWorkersTest, TheWindowAroundTheCurrentPictureIsDecodedAndWhatLeavesItIsFreed)
{
    NewEngine();
    Open({2, 1});
    ASSERT_NE(nullptr, engine->GoFirst());
    // Behind the first picture is the last one.
    EXPECT_EQ((std::set<uint32_t>{1, 2, 3, 12}), DecodedPositions());
    EXPECT_EQ((std::set<uint32_t>{1, 2, 3, 12}), CachedPositions());
    ASSERT_NE(nullptr, engine->GoToPosition(8));
    EXPECT_EQ((std::set<uint32_t>{7, 8, 9, 10}), DecodedPositions());
    EXPECT_EQ((std::set<uint32_t>{7, 8, 9, 10}), CachedPositions());
    EXPECT_EQ(800u * 600u * 3u / 4096u * 4096u + 4096u, engine->GetMeanDecodedSize());
}

TEST_F(EngineWorkersTest, QuotasComeFromTheInjectedReadingAndShrinkWhenDecodesRunOutOfMemory)
{
    NewEngine();
    engine->SetMemoryProbe([] { return MemoryReading{uint64_t(300) << 20, 10}; });
    AppSettings::MemoryUsageGuideNumber = 32;
    const DWORD downscale = AppSettings::DownscaleLargeImages;
    AppSettings::DownscaleLargeImages = 0;
    engine->ComputeCacheSize(true);
    AppSettings::DownscaleLargeImages = downscale;
    EXPECT_EQ(QuotasForFreeMemory(uint64_t(300) << 20, 32, 0), engine->GetCacheQuotas());

    engine->SetCacheQuotas({1, 1});
    EXPECT_TRUE(engine->AdjustCacheWindow(E_OUTOFMEMORY, 0));
    EXPECT_EQ((CacheQuotas{0, 0}), engine->GetCacheQuotas());
    EXPECT_FALSE(engine->AdjustCacheWindow(E_OUTOFMEMORY, 0));
    EXPECT_TRUE(engine->AdjustCacheWindow(E_OUTOFMEMORY, 0, true));
}

TEST_F(EngineWorkersTest, FlushAndShutdownWhileDecodingLeaveNothingBehind)
{
    FlushAndShutDownWhileDecoding();
    const DWORD handles = HandleCount();
    const size_t bytes = PrivateBytes();
    for (int round = 0; round < 5; ++round) {
        FlushAndShutDownWhileDecoding();
        if (HasFatalFailure()) return;
    }
    // The thread pool and the system's caches may keep a few handles and pages of their own.
    EXPECT_LE(HandleCount(), handles + 16);
    EXPECT_LE(PrivateBytes(), bytes + (size_t(16) << 20));
}

// The decode of the current picture runs out of memory once: the window shrinks and the same entry
// is queued again and decoded; with a window that cannot shrink the user is told instead and the
// entry stays undecoded.
TEST_F(EngineWorkersTest, ADecodeOutOfMemoryIsQueuedAgainWhileTheWindowCanShrink)
{
    int boxes = 0;
    ScopedModalSeam seam({.messageBox = [&boxes](HWND, const wchar_t*, const wchar_t*, UINT) {
        ++boxes;
        return IDOK;
    }});
    const struct {
        CacheQuotas quotas;
        bool decodedAgain;
    } cases[] = {{{2, 1}, true}, {{0, 0}, false}};
    for (const auto& c : cases) {
        // Around the factory of an earlier case, which answers as the real one.
        ComPtr<RecordingWicFactory> factory = RecordingWicFactory::InstallAroundProcessFactory();
        NewEngine().SetWorkerCount(1);
        Open(c.quotas);
        // The codec named by the extension, then the probe of every codec.
        factory->decoderResults = {E_OUTOFMEMORY, E_OUTOFMEMORY};
        boxes = 0;
        CImageEntry* current = engine->GoFirst();
        ASSERT_NE(nullptr, current);
        const std::set<uint32_t> decoded = DecodedPositions();
        EXPECT_EQ(c.decodedAgain, decoded.count(1) == 1) << "quotas " << c.quotas.ahead << "/" << c.quotas.behind;
        EXPECT_EQ(c.decodedAgain ? 0 : 1, boxes);
        EXPECT_TRUE(factory->decoderResults.empty());
        engine->ShutdownLoader();
        engine.reset();
    }
}

// Worker n waits n start delays before its first request, so that the picture asked for first is
// decoded by worker 0 alone; the waits are the test's clock, which never lets the time pass.
TEST_F(EngineWorkersTest, WorkersStartOneDelayAfterAnotherAndTheFirstPictureIsDecodedMeanwhile)
{
    std::mutex lock;
    std::vector<DWORD> delays;
    NewEngine().SetWorkerCount(4);
    engine->SetWorkerStartDelay(3000);
    engine->SetStartDelayWait([&](HANDLE stop, DWORD milliseconds) {
        {
            const std::lock_guard<std::mutex> scope(lock);
            delays.push_back(milliseconds);
        }
        WaitForSingleObject(stop, INFINITE);
        return true;
    });
    Open({2, 1});
    ASSERT_NE(nullptr, engine->GoFirst());
    EXPECT_EQ((std::set<uint32_t>{1, 2, 3, 12}), DecodedPositions());
    {
        const std::lock_guard<std::mutex> scope(lock);
        std::sort(delays.begin(), delays.end());
        EXPECT_EQ((std::vector<DWORD>{3000, 6000, 9000}), delays);
    }
    // Stopped while they wait, the workers end at once.
    engine->ShutdownLoader();
}

TEST_F(EngineWorkersTest, WorkersStoppedDuringTheirStartDelayEndAtOnce)
{
    NewEngine();
    engine->SetWorkerStartDelay(INFINITE / 16);
    Open({2, 1});
    ASSERT_NE(nullptr, engine->GoFirst());
    // Worker 0 starts without a delay and decodes alone.
    EXPECT_EQ((std::set<uint32_t>{1, 2, 3, 12}), DecodedPositions());
    engine->FlushCache(false);
    engine->ShutdownLoader();
}

// A device reset or a suspend drops the decoded pictures but keeps the list and the current
// picture, which is then decoded again.
TEST_F(EngineWorkersTest, APartialFlushDropsThePicturesAndKeepsTheList)
{
    NewEngine();
    Open({2, 1});
    ASSERT_NE(nullptr, engine->GoToPosition(3));
    ASSERT_FALSE(DecodedPositions().empty());
    const uint32_t count = engine->GetEntryCount();
    engine->FlushCache(false);
    EXPECT_TRUE(engine->GetCachedEntries().empty());
    EXPECT_EQ(count, engine->GetEntryCount());
    EXPECT_EQ(3u, engine->GetCurrentPosition());
    engine->ShutdownLoader();
}
}

namespace {
TEST_F(EngineWorkersTest, ClosingWithoutChangedMarksAsksNothing)
{
    int boxes = 0;
    ScopedModalSeam seam({.messageBox = [&boxes](HWND, const wchar_t*, const wchar_t*, UINT) {
        ++boxes;
        return IDCANCEL;
    }});
    NewEngine();
    EXPECT_TRUE(engine->ConfirmExitWithPendingWrites());
    EXPECT_TRUE(engine->IsClosing());
    EXPECT_EQ(0, boxes);
    engine->ShutdownLoader();
}
}
