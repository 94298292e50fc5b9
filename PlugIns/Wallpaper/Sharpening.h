#pragma once
// The unsharp mask that sharpens the wallpaper: a separable Gaussian blur with an integer kernel on
// 24-bit RGB pixels (blue, green, red), and the original pushed away from its blur. Every function
// returns a new bitmap of the area's size, or null on failure; the input is never changed.
// Channel mask: bit 0 blue, bit 1 green, bit 2 red. An area, when given, is clipped to the bitmap.
#include "PlugIns/Wallpaper/GdiPlusBitmap.h"
#include <optional>
#include <vector>

struct GaussianKernel {
    int maximumSize = 51;
    std::vector<int> weights;
    int weightSum = 0;
    unsigned size = 0;
};

inline constexpr int kSharpenKernelMaximum = 51;
inline constexpr unsigned kAllChannels = 7;

// Integer weights for sigma, the outermost 1 and the centre about e^(half²/2σ²); false when the
// kernel would be larger than its maximum size.
bool BuildGaussianKernel(GaussianKernel& kernel, float sigma);

// One direction of the blur: each row (horizontal) or column is convolved with the kernel, cut at
// the line's ends and normalised by the weights it used. A channel outside the mask is copied with
// copy, else left 0.
GdiPlusBitmap BlurPass(const GaussianKernel& kernel, Gdiplus::GpBitmap* bitmap,
                       const std::optional<Gdiplus::Rect>& area, unsigned mask, bool horizontal, bool copy);
GdiPlusBitmap GaussianBlur(GaussianKernel& kernel, Gdiplus::GpBitmap* bitmap, float sigma,
                           const std::optional<Gdiplus::Rect>& area, unsigned mask, bool copy);
// clamp(orig·(amount + 1) − blurred·amount) on the masked channels; the others keep the original.
GdiPlusBitmap UnsharpMask(GaussianKernel& kernel, Gdiplus::GpBitmap* bitmap, float sigma, float amount,
                          const std::optional<Gdiplus::Rect>& area, unsigned mask);
GdiPlusBitmap SharpenBitmap(Gdiplus::GpBitmap* bitmap, float sigma, float amount,
                            const std::optional<Gdiplus::Rect>& area, unsigned mask);
