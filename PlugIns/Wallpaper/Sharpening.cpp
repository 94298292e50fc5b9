#include "PlugIns/Wallpaper/Sharpening.h"
#include <algorithm>
#include <cmath>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
// The area clipped to the bitmap: negative corners become 0, the far edges stop at the bitmap's.
Rect ClipArea(GpBitmap* bitmap, const std::optional<Rect>& area) noexcept
{
    const SIZE size = BitmapSize(bitmap);
    if (!area) return Rect(0, 0, size.cx, size.cy);
    const int left = std::max(area->X, 0);
    const int top = std::max(area->Y, 0);
    const int right = std::min(area->X + area->Width, int(size.cx));
    const int bottom = std::min(area->Y + area->Height, int(size.cy));
    return Rect(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

GdiPlusBitmap NewRgbBitmap(int width, int height) noexcept
{
    GpBitmap* created = nullptr;
    if (width <= 0 || height <= 0 ||
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &created) != Ok)
        return nullptr;
    return GdiPlusBitmap(created);
}

// How one pass walks the pixels: lines of samples, each sample a byte of one channel.
struct LineLayout {
    int length;      // samples in a line
    int count;       // lines
    ptrdiff_t sampleStep;
    ptrdiff_t lineStep;
};

// One channel of one line: every sample is the kernel's weighted sum of the samples within r of it
// that exist, divided by the weights used (at the inside that is the kernel's whole sum).
void ConvolveLine(const GaussianKernel& kernel, const BYTE* in, ptrdiff_t inStep, BYTE* out, ptrdiff_t outStep,
                  int length)
{
    const int half = int(kernel.size >> 1);
    const int r = std::min(half, length / 2);
    for (int i = 0; i < length; ++i) {
        const int first = std::max(i - r, 0);
        const int last = std::min(i + r, length - 1);
        int sum = 0, used = 0;
        for (int j = first; j <= last; ++j) {
            const int weight = kernel.weights[size_t(j - i + half)];
            sum += weight * in[j * inStep];
            used += weight;
        }
        out[i * outStep] = BYTE(used ? sum / used : sum);
    }
}
}  // namespace

bool BuildGaussianKernel(GaussianKernel& kernel, float sigma)
{
    kernel.weights.clear();
    kernel.weightSum = 0;
    kernel.size = 0;
    const int n = int(floorf(5.0f * sigma + 1.5f));
    if (n > kernel.maximumSize) return false;
    const unsigned size = unsigned(std::max(n, 0)) | 1u;
    const int half = int(size >> 1);
    float d = 2.0f * sigma * sigma;
    if (d == 0.0f) d = 1.0f;
    const float c = expf(float(half * half) / d);
    kernel.weights.assign(size, 0);
    kernel.weights[size_t(half)] = int(floorf(c + 0.5f));
    int sides = 0;
    for (int i = 1; i <= half; ++i) {
        const int weight = int(floorf(expf(-float(i * i) / d) * c + 0.5f));
        kernel.weights[size_t(half - i)] = kernel.weights[size_t(half + i)] = weight;
        sides += weight;
    }
    kernel.weightSum = kernel.weights[size_t(half)] + 2 * sides;
    kernel.size = size;
    return true;
}

GdiPlusBitmap BlurPass(const GaussianKernel& kernel, GpBitmap* bitmap, const std::optional<Rect>& area,
                       unsigned mask, bool horizontal, bool copy)
{
    const Rect clipped = ClipArea(bitmap, area);
    if (clipped.Width <= 0 || clipped.Height <= 0) return nullptr;
    if (kernel.size < 2) {
        GpBitmap* clone = nullptr;
        if (GdipCloneBitmapAreaI(clipped.X, clipped.Y, clipped.Width, clipped.Height, PixelFormat24bppRGB, bitmap,
                                 &clone) != Ok)
            return nullptr;
        return GdiPlusBitmap(clone);
    }
    GdiPlusBitmap output = NewRgbBitmap(clipped.Width, clipped.Height);
    if (!output) return nullptr;
    {
        LockedBits source(bitmap, clipped, ImageLockModeRead);
        LockedBits target(output.get(), Rect(0, 0, clipped.Width, clipped.Height), ImageLockModeWrite);
        if (!source.Locked() || !target.Locked()) return nullptr;
        const LineLayout inLines = horizontal ? LineLayout{clipped.Width, clipped.Height, 3, source.Stride()}
                                              : LineLayout{clipped.Height, clipped.Width, source.Stride(), 3};
        const LineLayout outLines = horizontal ? LineLayout{clipped.Width, clipped.Height, 3, target.Stride()}
                                               : LineLayout{clipped.Height, clipped.Width, target.Stride(), 3};
        for (int channel = 0; channel < 3; ++channel) {
            const bool blurred = (mask >> channel) & 1;
            for (int line = 0; line < inLines.count; ++line) {
                const BYTE* in = source.Scan0() + line * inLines.lineStep + channel;
                BYTE* out = target.Scan0() + line * outLines.lineStep + channel;
                if (blurred) {
                    ConvolveLine(kernel, in, inLines.sampleStep, out, outLines.sampleStep, inLines.length);
                    continue;
                }
                for (int i = 0; i < inLines.length; ++i)
                    out[i * outLines.sampleStep] = copy ? in[i * inLines.sampleStep] : 0;
            }
        }
    }
    return output;
}

GdiPlusBitmap GaussianBlur(GaussianKernel& kernel, GpBitmap* bitmap, float sigma, const std::optional<Rect>& area,
                           unsigned mask, bool copy)
{
    if (!BuildGaussianKernel(kernel, sigma)) return nullptr;
    GdiPlusBitmap rows = BlurPass(kernel, bitmap, area, mask, true, copy);
    if (!rows) return nullptr;
    // The first pass already has the area's size: the second one walks all of it.
    return BlurPass(kernel, rows.get(), std::nullopt, mask, false, copy);
}

GdiPlusBitmap UnsharpMask(GaussianKernel& kernel, GpBitmap* bitmap, float sigma, float amount,
                          const std::optional<Rect>& area, unsigned mask)
{
    GdiPlusBitmap blurred = GaussianBlur(kernel, bitmap, sigma, area, mask, false);
    if (!blurred) return nullptr;
    const Rect clipped = ClipArea(bitmap, area);
    LockedBits original(bitmap, clipped, ImageLockModeRead);
    LockedBits result(blurred.get(), Rect(0, 0, clipped.Width, clipped.Height), ImageLockModeRead | ImageLockModeWrite);
    if (!original.Locked() || !result.Locked()) return nullptr;
    for (int y = 0; y < clipped.Height; ++y) {
        const BYTE* in = original.Row(y);
        BYTE* out = result.Row(y);
        for (int x = 0; x < clipped.Width * 3; ++x) {
            if (!((mask >> (x % 3)) & 1)) {
                out[x] = in[x];
                continue;
            }
            const float value = float(in[x]) * (amount + 1.0f) - float(out[x]) * amount;
            out[x] = BYTE(std::clamp(value, 0.0f, 255.0f));
        }
    }
    return blurred;
}

GdiPlusBitmap SharpenBitmap(GpBitmap* bitmap, float sigma, float amount, const std::optional<Rect>& area,
                            unsigned mask)
{
    GaussianKernel kernel;
    kernel.maximumSize = kSharpenKernelMaximum;
    return UnsharpMask(kernel, bitmap, sigma, amount, area, mask);
}
