#include "bench/support/CameraPictures.h"
#include "Framework/ComPtr.h"
#include "Viewer/imaging/WicFactory.h"
#include <wincodec.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>

CameraSetup CameraSetupFromArguments(int argc, wchar_t** argv)
{
    CameraSetup setup;
    if (argc > 1) setup.pictures = std::max(2, _wtoi(argv[1]));
    if (argc > 3) {
        setup.width = UINT(std::max(16, _wtoi(argv[2])));
        setup.height = UINT(std::max(16, _wtoi(argv[3])));
    }
    return setup;
}

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

std::vector<std::wstring> CameraFolder(const CameraSetup& setup, std::wstring& folderOut)
{
    if (FAILED(CreateWicFactoryIfMissing())) {
        std::fwprintf(stderr, L"no imaging factory\n");
        return {};
    }
    const UINT width = setup.width, height = setup.height;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folderOut = std::wstring(temp) + L"lumenfold-bench-camera-" + std::to_wstring(width) + L"x" +
                std::to_wstring(height);
    CreateDirectoryW(folderOut.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (int i = 0; i < setup.pictures; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%04d.jpg", i + 1);
        const std::wstring path = folderOut + name;
        // A picture left empty by a run that ended while writing it is made again.
        WIN32_FILE_ATTRIBUTE_DATA attributes = {};
        const bool whole = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes) &&
                           (attributes.nFileSizeLow || attributes.nFileSizeHigh);
        if (!whole && FAILED(WriteCameraJpeg(path, width, height, i))) {
            std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
            return {};
        }
        paths.push_back(path);
    }
    // Pictures left by an earlier run that asked for more would be stepped through as well.
    for (int i = setup.pictures;; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\IMG_%04d.jpg", i + 1);
        if (!DeleteFileW((folderOut + name).c_str())) break;
    }
    return paths;
}

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
