// How fast the decode pipeline turns 24-megapixel camera JPEGs into bitmaps on 1, 2, 4 and 8
// threads, beside the platform's plain decoder doing nothing but decode the same files (and, as a
// second reference, decode and convert to the display's format), so that the pipeline's own
// overhead shows as a ratio. Generates its pictures itself in the temporary folder.
#include "bench/support/CameraPictures.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/imaging/DecodePipeline.h"
#include "Viewer/imaging/WicFactory.h"
#include "Viewer/primitives/ProcessorLevel.h"
#include <windows.h>
#include <wincodec.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
constexpr UINT Width = 6000;
constexpr UINT Height = 4000;
constexpr int PictureCount = 8;
constexpr int DecodesPerRun = 16;
// Each road is timed this many times, the roads in turn, and the fastest run counts: other work on
// the machine only ever slows a run down.
constexpr int Repetitions = 3;

// The pipeline as the engine's workers run it: software road, histogram and orientation, no downscale.
bool DecodeThroughPipeline(DecodeThreadContext& context, const std::wstring& path)
{
    Gdiplus::Bitmap* bitmap = nullptr;
    ImageInfo info;
    const HRESULT hr = LoadToBitmap(&context, path.c_str(), 0, &bitmap, nullptr, nullptr, false, false, true, &info,
                                    nullptr, 0);
    const std::unique_ptr<Gdiplus::Bitmap> owned(bitmap);
    return hr == S_OK;
}

bool DecodePlain(DecodeThreadContext&, const std::wstring& path)
{
    return DecodeWithPlatform(path, false);
}

bool DecodeAndConvert(DecodeThreadContext&, const std::wstring& path)
{
    return DecodeWithPlatform(path, true);
}

using DecodeFunction = std::function<bool(DecodeThreadContext&, const std::wstring&)>;

// Seconds for DecodesPerRun decodes spread over the threads; negative when a decode failed.
double Run(const std::vector<std::wstring>& paths, int threadCount, const DecodeFunction& decode)
{
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                DecodeThreadContext context(nullptr);
                for (int i; (i = next++) < DecodesPerRun;)
                    if (!decode(context, paths[size_t(i) % paths.size()])) failed = true;
            }
            CoUninitialize();
        });
    for (std::thread& thread : threads) thread.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return failed ? -1.0 : seconds;
}

void PrintRow(const wchar_t* road, int threads, double seconds)
{
    if (seconds < 0) {
        std::wprintf(L"%-10ls %7d   decode failed\n", road, threads);
        return;
    }
    const double pictures = DecodesPerRun / seconds;
    std::wprintf(L"%-10ls %7d %12.2f %12.1f\n", road, threads, pictures, pictures * Width * Height / 1e6);
}
}

int wmain()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    GdiPlusAcquire();
    // The histogram counting runs the bodies of this processor, as in the viewer.
    InitPrimitivesCpuDispatch();
    std::wstring folder;
    const std::vector<std::wstring> paths = CameraFolder({PictureCount, Width, Height}, folder);
    if (paths.empty()) return 1;

    std::wprintf(L"decode: %d decodes of %ux%u JPEGs per run, the fastest of %d runs\n", DecodesPerRun, Width, Height,
                 Repetitions);
    std::wprintf(L"%-10ls %7ls %12ls %12ls\n", L"road", L"threads", L"pictures/s", L"MP/s");
    struct Times {
        int threads;
        double plain, converted, pipeline;
    };
    std::vector<Times> times;
    // A failed run (negative) stays failed.
    auto fastest = [](double best, double seconds) { return best < 0 || seconds < 0 ? -1.0 : std::min(best, seconds); };
    for (int threads : {1, 2, 4, 8}) {
        Times t = {threads, 1e300, 1e300, 1e300};
        for (int r = 0; r < Repetitions; ++r) {
            t.plain = fastest(t.plain, Run(paths, threads, DecodePlain));
            t.converted = fastest(t.converted, Run(paths, threads, DecodeAndConvert));
            t.pipeline = fastest(t.pipeline, Run(paths, threads, DecodeThroughPipeline));
        }
        PrintRow(L"plain WIC", threads, t.plain);
        PrintRow(L"+convert", threads, t.converted);
        PrintRow(L"pipeline", threads, t.pipeline);
        times.push_back(t);
    }
    std::wprintf(L"\n%7ls %22ls %22ls\n", L"threads", L"pipeline / plain WIC", L"pipeline / +convert");
    // A failed run has no time: its ratios are shown as 0.
    auto ratio = [](double seconds, double reference) { return seconds > 0 && reference > 0 ? seconds / reference : 0.0; };
    for (const Times& t : times)
        std::wprintf(L"%7d %22.2f %22.2f\n", t.threads, ratio(t.pipeline, t.plain), ratio(t.pipeline, t.converted));

    ReleaseWicFactory();
    GdiPlusRelease();
    CoUninitialize();
    return 0;
}
