// The blur passes and the unsharp mask, bit for bit, against a computation written out here from the
// rules: inside a line every weight and the kernel's sum; at the ends the weights of the samples
// that exist and their own sum; masked-out channels copied or zero.
#include "PlugIns/Wallpaper/Sharpening.h"
#include "tests/wallpaper/GdiPlusSession.h"
#include <algorithm>

namespace {
class Sharpening : public GdiPlusSession {};

RgbPixels Pattern(int width, int height, unsigned seed)
{
    RgbPixels pixels{width, height, std::vector<BYTE>(size_t(width * height * 3))};
    for (BYTE& byte : pixels.bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = BYTE(seed >> 16);
    }
    return pixels;
}

// The pass as the rules state it, sample by sample.
RgbPixels ReferencePass(const GaussianKernel& kernel, const RgbPixels& in, unsigned mask, bool horizontal, bool copy)
{
    RgbPixels out{in.width, in.height, std::vector<BYTE>(in.bytes.size(), 0)};
    const int length = horizontal ? in.width : in.height;
    const int half = int(kernel.size / 2);
    const int r = std::min(half, length / 2);
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            const int i = horizontal ? x : y;
            for (int c = 0; c < 3; ++c) {
                if (!(mask & (1u << c))) {
                    out.At(x, y, c) = copy ? in.At(x, y, c) : 0;
                    continue;
                }
                auto sample = [&](int j) { return int(horizontal ? in.At(j, y, c) : in.At(x, j, c)); };
                int sum = 0;
                int divisor = 0;
                if (i >= r && i < length - r && r == half) {
                    for (int j = i - r; j <= i + r; ++j) sum += sample(j) * kernel.weights[size_t(j - i + half)];
                    divisor = kernel.weightSum;
                } else {
                    for (int j = std::max(0, i - r); j <= std::min(length - 1, i + r); ++j) {
                        sum += sample(j) * kernel.weights[size_t(j - i + half)];
                        divisor += kernel.weights[size_t(j - i + half)];
                    }
                }
                out.At(x, y, c) = BYTE(divisor ? sum / divisor : sum);
            }
        }
    }
    return out;
}

GaussianKernel KernelFor(float sigma)
{
    GaussianKernel kernel;
    EXPECT_TRUE(BuildGaussianKernel(kernel, sigma));
    return kernel;
}
}  // namespace

TEST_F(Sharpening, BlurPassMatchesTheRulesInsideAtTheEndsAndForEachMask)
{
    const RgbPixels pixels = Pattern(9, 7, 17);
    GdiPlusBitmap bitmap = BitmapOf(pixels);
    const GaussianKernel kernel = KernelFor(0.84694f);  // 1, 8, 16, 8, 1
    for (const bool horizontal : {true, false})
        for (const unsigned mask : {7u, 1u, 6u, 0u})
            for (const bool copy : {true, false}) {
                SCOPED_TRACE(testing::Message() << "horizontal " << horizontal << " mask " << mask << " copy " << copy);
                GdiPlusBitmap blurred = BlurPass(kernel, bitmap.get(), std::nullopt, mask, horizontal, copy);
                ASSERT_TRUE(blurred);
                EXPECT_EQ(ReferencePass(kernel, pixels, mask, horizontal, copy).bytes, PixelsOf(blurred.get()).bytes);
            }
}

TEST_F(Sharpening, LinesShorterThanTheKernelUseHalfTheirLength)
{
    const RgbPixels pixels = Pattern(3, 2, 5);
    GdiPlusBitmap bitmap = BitmapOf(pixels);
    const GaussianKernel kernel = KernelFor(1.0f);  // 7 taps
    ASSERT_EQ(7u, kernel.size);
    for (const bool horizontal : {true, false}) {
        GdiPlusBitmap blurred = BlurPass(kernel, bitmap.get(), std::nullopt, 7, horizontal, true);
        ASSERT_TRUE(blurred);
        EXPECT_EQ(ReferencePass(kernel, pixels, 7, horizontal, true).bytes, PixelsOf(blurred.get()).bytes);
    }
}

TEST_F(Sharpening, AnAreaIsClippedToTheBitmap)
{
    const RgbPixels pixels = Pattern(8, 6, 3);
    GdiPlusBitmap bitmap = BitmapOf(pixels);
    const GaussianKernel kernel = KernelFor(0.65745f);
    GdiPlusBitmap blurred = BlurPass(kernel, bitmap.get(), Gdiplus::Rect(-2, 3, 6, 10), 7, true, true);
    ASSERT_TRUE(blurred);
    RgbPixels area{4, 3, {}};
    for (int y = 3; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) area.bytes.push_back(pixels.At(x, y, c));
    EXPECT_EQ(ReferencePass(kernel, area, 7, true, true).bytes, PixelsOf(blurred.get()).bytes);
}

TEST_F(Sharpening, UnsharpMaskPushesTheOriginalAwayFromItsBlur)
{
    const RgbPixels pixels = Pattern(10, 8, 29);
    GdiPlusBitmap bitmap = BitmapOf(pixels);
    for (const unsigned mask : {7u, 2u}) {
        SCOPED_TRACE(mask);
        const GaussianKernel kernel = KernelFor(0.65745f);
        const RgbPixels blurred =
            ReferencePass(kernel, ReferencePass(kernel, pixels, mask, true, false), mask, false, false);
        RgbPixels expected = pixels;
        for (size_t i = 0; i < expected.bytes.size(); ++i) {
            if (!(mask & (1u << (i % 3)))) continue;
            const int value = 2 * int(pixels.bytes[i]) - int(blurred.bytes[i]);
            expected.bytes[i] = BYTE(std::clamp(value, 0, 255));
        }
        GdiPlusBitmap sharpened = SharpenBitmap(bitmap.get(), 0.65745f, 1.0f, std::nullopt, mask);
        ASSERT_TRUE(sharpened);
        EXPECT_EQ(expected.bytes, PixelsOf(sharpened.get()).bytes);
    }
}

TEST_F(Sharpening, ValuesAreClampedAtBothEnds)
{
    // One row of three: the centre against blurred neighbours; 7 taps are cut to 3.
    for (const auto& [centre, side, expected] : {std::tuple{200, 100, 255}, std::tuple{20, 100, 0}}) {
        RgbPixels pixels{3, 1, {}};
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c) pixels.bytes.push_back(BYTE(x == 1 ? centre : side));
        GdiPlusBitmap bitmap = BitmapOf(pixels);
        GdiPlusBitmap sharpened = SharpenBitmap(bitmap.get(), 1.0f, 1.0f, std::nullopt, 7);
        ASSERT_TRUE(sharpened);
        EXPECT_EQ(expected, PixelsOf(sharpened.get()).At(1, 0, 2));
    }
}
