#include "Viewer/imaging/Downscale.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Viewer/imaging/WicFactory.h"

namespace {
constexpr uint32_t LimitMask = 0xFFFF;
constexpr uint32_t QualityFamilyBit = 0x80000000;

// The product wraps at 32 bits, as the size test always has.
double Megabytes(UINT width, UINT height, UINT bitsPerPixel) noexcept
{
    uint32_t pixels = width * height;
    return pixels * (bitsPerPixel * 0.125) * (1.0 / 1048576.0);
}
}

WICBitmapInterpolationMode DownscaleInterpolationMode(uint32_t setting) noexcept
{
    uint32_t limit = setting & LimitMask;
    if (setting & QualityFamilyBit) return limit < 12 ? WICBitmapInterpolationModeFant : WICBitmapInterpolationModeCubic;
    return limit <= 96 ? WICBitmapInterpolationModeLinear : WICBitmapInterpolationModeNearestNeighbor;
}

bool IsAboveSizeLimit(UINT width, UINT height, UINT bitsPerPixel, uint32_t limitMegabytes) noexcept
{
    return Megabytes(width, height, bitsPerPixel) > limitMegabytes;
}

ScaledSize FitToSizeLimit(UINT width, UINT height, UINT bitsPerPixel, uint32_t limitMegabytes) noexcept
{
    double h = height ? height : 1;
    double quotient = width / h;
    double ratio = 1.0 / (quotient != 0 ? quotient : 1.0);
    ScaledSize size{width, static_cast<UINT>(ratio * width + 0.5)};
    // The width steps down only while it is above 16, so it stays at least 1 pixel and never wraps,
    // however small the limit: a tall, narrow picture ends narrower than 16 but still above the limit.
    while (IsAboveSizeLimit(size.width, size.height, bitsPerPixel, limitMegabytes) && size.width > 16) {
        size.width -= 16;
        size.height = static_cast<UINT>(size.width * ratio + 0.5);
    }
    return size;
}

void DownscaleIfLarge(DecodeThreadContext*, IWICBitmapSource** sourceOut, IWICBitmapSource* source,
                      uint32_t setting, UINT bitsPerPixel, uint8_t* downscaledFlag) noexcept
{
    *sourceOut = nullptr;
    if (!source) return;
    ComPtr<IWICBitmapSource> result(source);
    uint32_t limit = setting & LimitMask;
    if (g_WicFactory && limit != 0 && bitsPerPixel != 0) {
        CatchAsHResult([&] {
            UINT width = 0, height = 0;
            ThrowIfFailed(source->GetSize(&width, &height));
            if (!IsAboveSizeLimit(width, height, bitsPerPixel, limit)) return S_OK;
            ComPtr<IWICBitmapScaler> scaler;
            ThrowIfFailed(g_WicFactory->CreateBitmapScaler(&scaler));
            ScaledSize size = FitToSizeLimit(width, height, bitsPerPixel, limit);
            ThrowIfFailed(scaler->Initialize(source, size.width, size.height, DownscaleInterpolationMode(setting)));
            if (downscaledFlag) *downscaledFlag = 1;
            result = ComPtr<IWICBitmapSource>(scaler.Get());
            return S_OK;
        });
    }
    *sourceOut = result.Detach();
}
