// How fast the decode pipeline turns 24-megapixel camera JPEGs into bitmaps on 1, 2, 4 and 8
// threads, beside the platform's plain decoder doing nothing but decode the same files (and, as a
// second reference, decode and convert to the display's format), so that the pipeline's own
// overhead shows as a ratio. Generates its pictures itself in the temporary folder.
#include "Framework/ComPtr.h"
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

// A camera-like picture: smooth gradients with fine texture, so that the JPEG is neither trivial
// nor pure noise.
std::vector<BYTE> CameraLikePixels(int seed)
{
    std::vector<BYTE> pixels(size_t(Width) * Height * 3);
    uint32_t noise = 0x9E3779B9u * uint32_t(seed + 1);
    for (UINT y = 0; y < Height; ++y) {
        BYTE* row = pixels.data() + size_t(y) * Width * 3;
        for (UINT x = 0; x < Width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            row[3 * x] = BYTE(std::clamp(int(x * 255 / Width) + grain, 0, 255));
            row[3 * x + 1] = BYTE(std::clamp(int(y * 255 / Height) + grain, 0, 255));
            row[3 * x + 2] = BYTE(std::clamp(int(((x + y + seed * 500) / 40) % 256) + grain, 0, 255));
        }
    }
    return pixels;
}

HRESULT WriteJpeg(const std::wstring& path, int seed)
{
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    std::vector<BYTE> pixels = CameraLikePixels(seed);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = g_WicFactory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr)) hr = g_WicFactory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->SetSize(Width, Height);
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr)) hr = frame->WritePixels(Height, Width * 3, UINT(pixels.size()), pixels.data());
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

std::vector<std::wstring> MakePictures()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumenfold-bench-decode";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (int i = 0; i < PictureCount; ++i) {
        const std::wstring path = folder + L"\\camera-" + std::to_wstring(i) + L".jpg";
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && FAILED(WriteJpeg(path, i))) {
            std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
            return {};
        }
        paths.push_back(path);
    }
    return paths;
}

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

// The platform's decoder, optionally followed by its converter to the display's format: the first
// is the floor, the second shows how much of the pipeline's time is the conversion itself.
bool DecodeWithPlatform(const std::wstring& path, bool convert)
{
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(g_WicFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                       WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)))
        return false;
    ComPtr<IWICBitmapSource> source(frame.Get());
    UINT bytesPerPixel = 3;
    if (convert) {
        ComPtr<IWICFormatConverter> converter;
        if (FAILED(g_WicFactory->CreateFormatConverter(&converter)) ||
            FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                         0.0, WICBitmapPaletteTypeCustom)))
            return false;
        source = ComPtr<IWICBitmapSource>(converter.Get());
        bytesPerPixel = 4;
    }
    const UINT stride = (width * bytesPerPixel + 3) & ~3u;
    std::vector<BYTE> pixels(size_t(stride) * height);
    return SUCCEEDED(source->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data()));
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
    if (FAILED(CreateWicFactory())) {
        std::fwprintf(stderr, L"no imaging factory\n");
        return 1;
    }
    const std::vector<std::wstring> paths = MakePictures();
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
