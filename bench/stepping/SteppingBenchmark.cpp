// How long a user stepping through a folder of camera JPEGs waits for each picture: the engine opens
// a generated folder without a window, waits for the first picture, then steps forward at 30 and 60
// steps per second and as fast as it can, with 1, 2, 4 and 8 decode workers; beside it, in the same
// run, the same files decoded one after another on one thread by the platform's plain decoder.
// Usage: bench_stepping [pictures [width height]] (default 200 pictures of 6000 x 4000).
#include "Framework/ComPtr.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Setup {
    int pictures = 200;
    UINT width = 6000;
    UINT height = 4000;
};

// Gradients with a little grain: a JPEG that is neither trivial nor noise.
HRESULT WriteCameraJpeg(const std::wstring& path, UINT width, UINT height, int seed)
{
    const UINT stride = width * 3;
    std::vector<BYTE> pixels(size_t(stride) * height);
    uint32_t grain = 0x9E3779B9u * uint32_t(seed + 1);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            BYTE* pixel = &pixels[size_t(y) * stride + 3 * x];
            pixel[0] = BYTE((x * 255 / width + (grain >> 29)) & 0xFF);
            pixel[1] = BYTE((y * 255 / height + (grain >> 29)) & 0xFF);
            pixel[2] = BYTE(((x + y) / 32 + seed * 9) & 0xFF);
        }
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    HRESULT hr = g_WicFactory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat24bppBGR, stride,
                                                      UINT(pixels.size()), pixels.data(), &bitmap);
    if (SUCCEEDED(hr)) hr = g_WicFactory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = g_WicFactory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->WriteSource(bitmap.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

std::vector<std::wstring> MakeFolder(const Setup& setup, std::wstring& folder)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"lumenfold-bench-stepping-" + std::to_wstring(setup.width) + L"x" +
             std::to_wstring(setup.height);
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (int i = 0; i < setup.pictures; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%04d.jpg", i + 1);
        const std::wstring path = folder + name;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            FAILED(WriteCameraJpeg(path, setup.width, setup.height, i))) {
            std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
            return {};
        }
        paths.push_back(path);
    }
    return paths;
}

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Pictures per second of the platform's decoder alone, one file after another on this thread.
double PlainDecodeRate(const std::vector<std::wstring>& paths)
{
    const auto start = Clock::now();
    for (const std::wstring& path : paths) {
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        UINT width = 0, height = 0;
        if (FAILED(g_WicFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                           WICDecodeMetadataCacheOnDemand, &decoder)) ||
            FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)))
            return 0;
        std::vector<BYTE> pixels(size_t(width) * 3 * height);
        if (FAILED(frame->CopyPixels(nullptr, width * 3, UINT(pixels.size()), pixels.data()))) return 0;
    }
    return paths.size() / Seconds(start);
}

size_t PeakPrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakPagefileUsage;
}

struct Result {
    double medianMs = 0;
    double p99Ms = 0;
    double ready = 0;
    double picturesPerSecond = 0;
    bool failed = false;
};

// Opens the folder, waits for the first picture, then steps to the end at the rate (0: as fast as
// it can), timing each step's wait for its picture.
Result Step(CImageEngine& engine, const std::wstring& folder, size_t count, double rate)
{
    Result result;
    // The viewer's own road: the folder's marks, the codecs' supported list and a flushed cache.
    if (!engine.OpenFolder(folder.c_str(), false, false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr))
        return {0, 0, 0, 0, true};
    while (engine.GetEntryCount() < count) Sleep(10);
    engine.ComputeCacheSize(true);
    CImageEntry* first = engine.GoFirst();
    if (!first || WaitForDecode(*first, true, false, 120000, nullptr) != S_OK) return {0, 0, 0, 0, true};
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
}

int wmain(int argc, wchar_t** argv)
{
    Setup setup;
    if (argc > 1) setup.pictures = std::max(2, _wtoi(argv[1]));
    if (argc > 3) {
        setup.width = UINT(std::max(16, _wtoi(argv[2])));
        setup.height = UINT(std::max(16, _wtoi(argv[3])));
    }
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    GdiPlusAcquire();
    if (FAILED(CreateWicFactory())) {
        std::fwprintf(stderr, L"no imaging factory\n");
        return 1;
    }
    std::wstring folder;
    const std::vector<std::wstring> paths = MakeFolder(setup, folder);
    if (paths.empty()) return 1;

    const double plain = PlainDecodeRate(paths);
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    std::wprintf(L"stepping: %d JPEGs of %ux%u; plain decoder on one thread: %.2f pictures/s; %lu processors\n",
                 setup.pictures, setup.width, setup.height, plain, system.dwNumberOfProcessors);
    std::wprintf(L"%7ls %8ls %10ls %10ls %8ls %12ls %10ls %10ls\n", L"workers", L"steps/s", L"median ms", L"p99 ms",
                 L"ready", L"pictures/s", L"x plain", L"peak MB");
    HWND noWindow = nullptr;
    for (int workers : {1, 2, 4, 8}) {
        CImageEngine engine(&noWindow, false, false);
        engine.SetWorkerStartDelay(0);
        engine.SetWorkerCount(workers);
        for (double rate : {30.0, 60.0, 0.0}) {
            const Result r = Step(engine, folder, paths.size(), rate);
            wchar_t rateText[16];
            swprintf(rateText, 16, rate > 0 ? L"%.0f" : L"max", rate);
            std::wprintf(L"%7d %8ls %10.1f %10.1f %7.1f%% %12.2f %10.2f %10.0f%ls\n", workers, rateText, r.medianMs,
                         r.p99Ms, r.ready * 100, r.picturesPerSecond, plain > 0 ? r.picturesPerSecond / plain : 0.0,
                         PeakPrivateBytes() / 1048576.0, r.failed ? L"  (a decode failed)" : L"");
        }
        engine.ShutdownLoader();
    }
    ReleaseWicFactory();
    GdiPlusRelease();
    CoUninitialize();
    return 0;
}
