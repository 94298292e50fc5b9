#include "tests/imaging/DecodeFixture.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/imaging/WicFactory.h"

void DecodeFixture::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ASSERT_EQ(S_OK, CreateWicFactory());
    GdiPlusAcquire();
    device = std::make_unique<TestDevice>();
    ASSERT_EQ(S_OK, device->Create());
    context = std::make_unique<DecodeThreadContext>(&device->Display());
    DecodeRetryPause = 1;
}

void DecodeFixture::TearDown()
{
    DecodeRetryPause = 100;
    context.reset();
    device.reset();
    GdiPlusRelease();
    ReleaseWicFactory();
    CoUninitialize();
}

std::vector<Rgba> DecodeFixture::PixelsOf(Gdiplus::Bitmap* bitmap)
{
    std::vector<Rgba> pixels;
    for (UINT y = 0; y < bitmap->GetHeight(); ++y)
        for (UINT x = 0; x < bitmap->GetWidth(); ++x) {
            Gdiplus::Color c;
            bitmap->GetPixel(INT(x), INT(y), &c);
            pixels.push_back({c.GetR(), c.GetG(), c.GetB(), 255});
        }
    return pixels;
}

std::vector<Rgba> DecodeFixture::PixelsOf(IDirect3DSurface9* surface, UINT width, UINT height)
{
    std::vector<Rgba> pixels;
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return pixels;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + size_t(y) * locked.Pitch;
        for (UINT x = 0; x < width; ++x) pixels.push_back({row[4 * x + 2], row[4 * x + 1], row[4 * x], 255});
    }
    surface->UnlockRect();
    return pixels;
}

HRESULT DecodeFixture::ToBitmap(const std::wstring& path, std::unique_ptr<Gdiplus::Bitmap>& bitmap, ImageInfo* info,
                                uint16_t frame, DWORD downscale, const volatile ULONG* cancel)
{
    Gdiplus::Bitmap* result = nullptr;
    const HRESULT hr = LoadToBitmap(context.get(), path.c_str(), frame, &result, &width, &height, false, false, true,
                                    info, cancel, downscale);
    bitmap.reset(result);
    return hr;
}

HRESULT DecodeFixture::ToSurface(const std::wstring& path, ComPtr<IDirect3DSurface9>& surface, ImageInfo* info,
                                 uint16_t frame)
{
    IDirect3DSurface9* result = nullptr;
    const HRESULT hr = LoadToSurface(context.get(), path.c_str(), frame, &result, &width, &height, false, false, true,
                                     info, nullptr, 0);
    surface = ComPtr<IDirect3DSurface9>::Attach(result);
    return hr;
}
