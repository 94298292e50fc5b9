#pragma once
// What a real decode needs in a test: COM, the process-wide imaging factory, GDI+, and a Direct3D
// device on a hidden window of the test's virtual display, with a worker context that reaches it.
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/imaging/DecodePipeline.h"
#include "tests/imaging/TestDevice.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>

class DecodeFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The decoded image's pixels, as colours, whichever road made it.
    static std::vector<Rgba> PixelsOf(Gdiplus::Bitmap* bitmap);
    static std::vector<Rgba> PixelsOf(IDirect3DSurface9* surface, UINT width, UINT height);

    HRESULT ToBitmap(const std::wstring& path, std::unique_ptr<Gdiplus::Bitmap>& bitmap, ImageInfo* info = nullptr,
                     uint16_t frame = 0, DWORD downscale = 0, const volatile ULONG* cancel = nullptr);
    HRESULT ToSurface(const std::wstring& path, ComPtr<IDirect3DSurface9>& surface, ImageInfo* info = nullptr,
                      uint16_t frame = 0);

    // The codec-crash message's texts, as the viewer has them, for the context made in SetUp.
    ScopedResourceModule strings{L"Lumenfold.Core.EN.dll"};
    TempFolder folder;
    std::unique_ptr<TestDevice> device;
    std::unique_ptr<DecodeThreadContext> context;
    UINT width = 0;
    UINT height = 0;
};
