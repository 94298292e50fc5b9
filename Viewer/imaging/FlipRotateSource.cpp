#include "Viewer/imaging/FlipRotateSource.h"
#include "Framework/HResultError.h"
#include "Viewer/imaging/PixelFormatBits.h"
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {
class FlipRotateSource final : public IWICBitmapSource {
public:
    FlipRotateSource(IWICBitmapFlipRotator* platform, IWICBitmapSource* source, WICBitmapTransformOptions transform)
        : m_platform(platform), m_source(source), m_transform(transform)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IWICBitmapSource) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IWICBitmapSource*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

    HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override { return m_platform->GetSize(width, height); }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override
    {
        return m_platform->GetPixelFormat(format);
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* dpiX, double* dpiY) override
    {
        return m_platform->GetResolution(dpiX, dpiY);
    }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* palette) override { return m_platform->CopyPalette(palette); }

    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        HRESULT hr = m_platform->CopyPixels(rect, stride, size, buffer);
        if (hr != E_NOTIMPL) return hr;
        return CatchAsHResult([&] { return CopyTransformed(rect, stride, size, buffer); });
    }

private:
    struct Pixels {
        UINT width = 0;
        UINT height = 0;
        UINT bytesPerPixel = 0;
        UINT stride = 0;
        std::vector<BYTE> bytes;
    };

    // The whole source, read once on first need.
    const Pixels& SourcePixels()
    {
        std::lock_guard guard(m_lock);
        if (m_pixels.bytes.empty()) {
            Pixels pixels;
            ThrowIfFailed(m_source->GetSize(&pixels.width, &pixels.height));
            WICPixelFormatGUID format;
            ThrowIfFailed(m_source->GetPixelFormat(&format));
            UINT bits = 0;
            ThrowIfFailed(GetPixelFormatBitsPerPixel(format, &bits));
            if (bits == 0 || bits % 8 != 0) throw HResultError(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);
            pixels.bytesPerPixel = bits / 8;
            pixels.stride = pixels.width * pixels.bytesPerPixel;
            pixels.bytes.resize(static_cast<size_t>(pixels.stride) * pixels.height);
            ThrowIfFailed(m_source->CopyPixels(nullptr, pixels.stride, static_cast<UINT>(pixels.bytes.size()),
                                               pixels.bytes.data()));
            m_pixels = std::move(pixels);
        }
        return m_pixels;
    }

    HRESULT CopyTransformed(const WICRect* rect, UINT stride, UINT size, BYTE* buffer)
    {
        if (!buffer) return E_INVALIDARG;
        const Pixels& source = SourcePixels();
        const UINT rotation = m_transform & WICBitmapTransformRotate270;
        const bool quarterTurn = rotation == WICBitmapTransformRotate90 || rotation == WICBitmapTransformRotate270;
        const INT outWidth = quarterTurn ? source.height : source.width;
        const INT outHeight = quarterTurn ? source.width : source.height;
        WICRect area = rect ? *rect : WICRect{0, 0, outWidth, outHeight};
        if (area.X < 0 || area.Y < 0 || area.Width < 0 || area.Height < 0 || area.X + area.Width > outWidth ||
            area.Y + area.Height > outHeight)
            return E_INVALIDARG;
        const UINT rowBytes = area.Width * source.bytesPerPixel;
        if (area.Height > 0 && (stride < rowBytes || static_cast<uint64_t>(stride) * (area.Height - 1) + rowBytes > size))
            return WINCODEC_ERR_INSUFFICIENTBUFFER;

        for (INT y = 0; y < area.Height; ++y) {
            BYTE* target = buffer + static_cast<size_t>(stride) * y;
            for (INT x = 0; x < area.Width; ++x) {
                // Undo the flips, then the rotation, to find the source pixel of this output pixel.
                INT rx = area.X + x, ry = area.Y + y;
                if (m_transform & WICBitmapTransformFlipHorizontal) rx = outWidth - 1 - rx;
                if (m_transform & WICBitmapTransformFlipVertical) ry = outHeight - 1 - ry;
                INT sx = rx, sy = ry;
                if (rotation == WICBitmapTransformRotate90) { sx = ry; sy = source.height - 1 - rx; }
                if (rotation == WICBitmapTransformRotate180) { sx = source.width - 1 - rx; sy = source.height - 1 - ry; }
                if (rotation == WICBitmapTransformRotate270) { sx = source.width - 1 - ry; sy = rx; }
                memcpy(target + static_cast<size_t>(x) * source.bytesPerPixel,
                       source.bytes.data() + static_cast<size_t>(sy) * source.stride +
                           static_cast<size_t>(sx) * source.bytesPerPixel,
                       source.bytesPerPixel);
            }
        }
        return S_OK;
    }

    std::atomic<ULONG> m_refs{1};
    ComPtr<IWICBitmapFlipRotator> m_platform;
    ComPtr<IWICBitmapSource> m_source;
    WICBitmapTransformOptions m_transform;
    std::mutex m_lock;
    Pixels m_pixels;
};
}

ComPtr<IWICBitmapSource> CreateFlipRotateSource(IWICBitmapFlipRotator* platform, IWICBitmapSource* source,
                                                WICBitmapTransformOptions transform)
{
    // Owned from here on by its COM reference.
    auto object = std::make_unique<FlipRotateSource>(platform, source, transform);
    return ComPtr<IWICBitmapSource>::Attach(object.release());
}
