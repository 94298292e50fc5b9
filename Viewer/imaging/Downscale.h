#pragma once
// Scaling a large picture down before its pixel-format conversion, so that the decoded bitmap stays
// within the size limit of the "DownscaleLargeImages" setting (bits 0-15: megabytes, 0 = off; bit 31:
// the quality family of the interpolation).
#include <wincodec.h>
#include <cstdint>

class DecodeThreadContext;

struct ScaledSize {
    UINT width;
    UINT height;
};

// The interpolation of the scaler for a setting.
WICBitmapInterpolationMode DownscaleInterpolationMode(uint32_t setting) noexcept;

// True when an image of that size and depth is above the limit in megabytes.
bool IsAboveSizeLimit(UINT width, UINT height, UINT bitsPerPixel, uint32_t limitMegabytes) noexcept;

// The largest size whose width steps down from the full width by 16 pixels at a time, keeping the
// aspect, that is not above the limit.
ScaledSize FitToSizeLimit(UINT width, UINT height, UINT bitsPerPixel, uint32_t limitMegabytes) noexcept;

// sourceOut receives the scaler, or the source itself (one more reference) when no scaling is needed
// or anything fails; downscaledFlag (may be null) is set to 1 when a scaler was put in place.
void DownscaleIfLarge(DecodeThreadContext* context, IWICBitmapSource** sourceOut, IWICBitmapSource* source,
                      uint32_t setting, UINT bitsPerPixel, uint8_t* downscaledFlag) noexcept;
