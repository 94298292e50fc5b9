#pragma once
// A bitmap source over pixels held in memory, which records every CopyPixels rectangle and can be
// told to fail or to fault inside a copy: the codec's behaviour made visible and steerable.
#include <windows.h>
#include <wincodec.h>
#include <cstdint>
#include <cstring>
#include <vector>

class FakeBitmapSource : public IWICBitmapSource {
public:
    FakeBitmapSource(UINT width, UINT height, REFGUID format, UINT bytesPerPixel)
        : width(width), height(height), format(format), bytesPerPixel(bytesPerPixel),
          pixels(size_t(width) * height * bytesPerPixel)
    {
    }

    UINT width, height;
    GUID format;
    UINT bytesPerPixel;
    std::vector<uint8_t> pixels;  // rows of width * bytesPerPixel bytes, no padding
    std::vector<WICRect> copies;
    int failAtCopy = -1;  // the index of the copy that fails with E_FAIL
    bool faultInCopy = false;
    ULONG refs = 1;

    UINT RowBytes() const { return width * bytesPerPixel; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(IWICBitmapSource)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override
    {
        *w = width;
        *h = height;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* out) override
    {
        *out = format;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override
    {
        *x = *y = 96.0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }

    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer) override
    {
        const WICRect whole = {0, 0, INT(width), INT(height)};
        const WICRect r = rect ? *rect : whole;
        copies.push_back(r);
        if (faultInCopy) {
            // A codec writing through a wild pointer.
            volatile uintptr_t wild = 0x10;
            *reinterpret_cast<volatile int*>(wild) = 1;
        }
        if (int(copies.size()) - 1 == failAtCopy) return E_FAIL;
        if (uint64_t(stride) * r.Height > bufferSize) return E_INVALIDARG;
        for (INT y = 0; y < r.Height; ++y)
            std::memcpy(buffer + size_t(y) * stride,
                        pixels.data() + (size_t(r.Y) + y) * RowBytes() + size_t(r.X) * bytesPerPixel,
                        size_t(r.Width) * bytesPerPixel);
        return S_OK;
    }
};
