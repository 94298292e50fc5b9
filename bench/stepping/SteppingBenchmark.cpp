// How long a user stepping through a folder of camera JPEGs waits for each picture: the engine opens
// a generated folder without a window, waits for the first picture, then steps forward as fast as it
// can, at 30 and 60 steps per second, and as a held key at 80 % of the rate it reached as fast as it
// could (after the prefetch window has filled, as when the user looks at the first picture), with 1,
// 2, 4 and 8 decode workers; beside it, in the same run, the same files decoded by the platform's plain
// decoder one after another on one thread, and on as many threads as the engine has workers.
// Usage: bench_stepping [pictures [width height]] (default 200 pictures of 6000 x 4000).
#include "bench/support/CameraPictures.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Pictures per second of the platform's decoder alone on as many threads, each taking the next file.
double PlainDecodeRate(const std::vector<std::wstring>& paths, int threadCount)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            for (size_t i; (i = next++) < paths.size();)
                if (!DecodeWithPlatform(paths[i], false)) failed = true;
            CoUninitialize();
        });
    for (std::thread& thread : threads) thread.join();
    return failed ? 0 : paths.size() / Seconds(start);
}

size_t PeakPrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakPagefileUsage;
}

// A held key that the engine can sustain: this share of the rate reached when stepping as fast as it can.
constexpr double HeldShare = 0.8;
// The longest time the prefetch window is given to fill before a held key starts.
constexpr DWORD SettleLimitMs = 20000;

struct Result {
    double medianMs = 0;
    double p99Ms = 0;
    double ready = 0;
    double picturesPerSecond = 0;
    bool failed = false;
};

// Decoded pictures in the cache, current one included.
size_t DecodedInCache(CImageEngine& engine)
{
    size_t decoded = 0;
    for (const EntryRef& entry : engine.GetCachedEntries())
        if (entry->HasImage() && !entry->IsLoading()) ++decoded;
    return decoded;
}

// Waits until every picture of the prefetch window is decoded, or until no more arrive for a second.
void WaitForFilledWindow(CImageEngine& engine)
{
    const CacheQuotas quotas = engine.GetCacheQuotas();
    const size_t window = size_t(quotas.ahead + 1);
    const auto start = Clock::now();
    size_t decoded = 0;
    auto lastArrival = Clock::now();
    while (Seconds(start) * 1000 < SettleLimitMs && Seconds(lastArrival) < 1.0) {
        const size_t now = DecodedInCache(engine);
        if (now >= window) return;
        if (now != decoded) lastArrival = Clock::now();
        decoded = now;
        Sleep(20);
    }
}

// Opens the folder, waits for the first picture (and with settle for the filled prefetch window),
// then steps to the end at the rate (0: as fast as it can), timing each step's wait for its picture.
Result Step(CImageEngine& engine, const std::wstring& folder, size_t count, double rate, bool settle)
{
    Result result;
    // The viewer's own road: the folder's marks, the codecs' supported list and a flushed cache.
    if (!engine.OpenFolder(folder.c_str(), false, false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr))
        return {0, 0, 0, 0, true};
    while (engine.GetEntryCount() < count) Sleep(10);
    engine.ComputeCacheSize(true);
    CImageEntry* first = engine.GoFirst();
    if (!first || WaitForDecode(*first, true, false, 120000, nullptr) != S_OK) return {0, 0, 0, 0, true};
    if (settle) WaitForFilledWindow(engine);
    std::vector<double> waits;
    size_t ready = 0;
    const auto start = Clock::now();
    for (size_t step = 1; step < count; ++step) {
        if (rate > 0) {
            const double due = step / rate - Seconds(start);
            if (due > 0) Sleep(DWORD(due * 1000));
        }
        CImageEntry* entry = engine.GoNext(1, true);
        if (!entry) break;
        const auto asked = Clock::now();
        if (entry->HasImage() && !entry->IsLoading()) ++ready;
        if (WaitForDecode(*entry, true, false, 120000, nullptr) != S_OK) result.failed = true;
        waits.push_back(Seconds(asked) * 1000);
    }
    const double total = Seconds(start);
    if (waits.empty()) return {0, 0, 0, 0, true};
    std::sort(waits.begin(), waits.end());
    result.medianMs = waits[waits.size() / 2];
    result.p99Ms = waits[std::min(waits.size() - 1, waits.size() * 99 / 100)];
    result.ready = double(ready) / waits.size();
    result.picturesPerSecond = waits.size() / total;
    return result;
}

// plain: the plain decoder's rate on one thread; plainThreads: on as many threads as there are workers.
void Print(int workers, double rate, const Result& r, double plain, double plainThreads)
{
    wchar_t rateText[16];
    swprintf(rateText, 16, rate > 0 ? L"%.1f" : L"max", rate);
    auto ratio = [&](double reference) { return reference > 0 ? r.picturesPerSecond / reference : 0.0; };
    std::wprintf(L"%7d %8ls %10.1f %10.1f %7.1f%% %12.2f %10.2f %12.2f %10.0f%ls\n", workers, rateText, r.medianMs,
                 r.p99Ms, r.ready * 100, r.picturesPerSecond, ratio(plain), ratio(plainThreads),
                 PeakPrivateBytes() / 1048576.0, r.failed ? L"  (a decode failed)" : L"");
}
}

int wmain(int argc, wchar_t** argv)
{
    const CameraSetup setup = CameraSetupFromArguments(argc, argv);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    GdiPlusAcquire();
    std::wstring folder;
    const std::vector<std::wstring> paths = CameraFolder(setup, folder);
    if (paths.empty()) return 1;

    const double plain = PlainDecodeRate(paths, 1);
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    std::wprintf(L"stepping: %d JPEGs of %ux%u; plain decoder on one thread: %.2f pictures/s; %lu processors\n",
                 setup.pictures, setup.width, setup.height, plain, system.dwNumberOfProcessors);
    std::wprintf(L"%7ls %8ls %10ls %10ls %8ls %12ls %10ls %12ls %10ls\n", L"workers", L"steps/s", L"median ms",
                 L"p99 ms", L"ready", L"pictures/s", L"x plain", L"x plain (n)", L"peak MB");
    HWND noWindow = nullptr;
    for (int workers : {1, 2, 4, 8}) {
        // The plain decoder on as many threads as the engine has workers: what the machine itself allows.
        const double plainThreads = workers == 1 ? plain : PlainDecodeRate(paths, workers);
        CImageEngine engine(&noWindow, false, false);
        engine.SetWorkerStartDelay(0);
        engine.SetWorkerCount(workers);
        const Result fastest = Step(engine, folder, paths.size(), 0, false);
        Print(workers, 0, fastest, plain, plainThreads);
        for (double rate : {30.0, 60.0})
            Print(workers, rate, Step(engine, folder, paths.size(), rate, false), plain, plainThreads);
        if (!fastest.failed && fastest.picturesPerSecond > 0) {
            const double held = fastest.picturesPerSecond * HeldShare;
            Print(workers, held, Step(engine, folder, paths.size(), held, true), plain, plainThreads);
        }
        engine.ShutdownLoader();
    }
    ReleaseWicFactory();
    GdiPlusRelease();
    CoUninitialize();
    return 0;
}
