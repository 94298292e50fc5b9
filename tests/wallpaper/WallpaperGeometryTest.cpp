// The numbers of the wallpaper: where the picture goes on the screen, the sharpening radius and its
// kernel, and the turn that makes a picture upright.
#include "PlugIns/Wallpaper/Sharpening.h"
#include "PlugIns/Wallpaper/WallpaperSetter.h"
#include <gtest/gtest.h>

namespace {
struct PlacementCase {
    const char* name;
    int width, height;
    WallpaperPlacement expected;
};

const PlacementCase kPlacements[] = {
    {"landscape 4:3 is cut at top and bottom", 4000, 3000, {0, -180, 1920, 1440}},
    {"portrait is cut heavily", 3000, 4000, {0, -740, 1920, 2560}},
    {"panorama is cut at both sides", 6000, 2000, {-660, 0, 3240, 1080}},
    {"the screen's own size", 1920, 1080, {0, 0, 1920, 1080}},
};

struct KernelCase {
    int cx, cy;
    float sigma;
    std::vector<int> weights;
    int sum;
};

const KernelCase kKernels[] = {
    {1920, 1080, 0.65745f, {1, 32, 102, 32, 1}, 168},
    {1280, 1024, 0.60089f, {1, 64, 254, 64, 1}, 384},
    {3840, 2160, 0.84694f, {1, 8, 16, 8, 1}, 34},
};
}  // namespace

TEST(WallpaperGeometry, FillAndCropOnAFullHdScreen)
{
    for (const PlacementCase& c : kPlacements) {
        SCOPED_TRACE(c.name);
        const WallpaperPlacement placement = PlaceOnScreen(c.width, c.height, 1920, 1080);
        EXPECT_EQ(c.expected.x, placement.x);
        EXPECT_EQ(c.expected.y, placement.y);
        EXPECT_EQ(c.expected.width, placement.width);
        EXPECT_EQ(c.expected.height, placement.height);
    }
}

TEST(WallpaperGeometry, SigmaAndKernelGrowWithTheScreen)
{
    for (const KernelCase& c : kKernels) {
        SCOPED_TRACE(testing::Message() << c.cx << " x " << c.cy);
        const float sigma = WallpaperSigma(c.cx, c.cy);
        EXPECT_NEAR(c.sigma, sigma, 0.00001f);
        GaussianKernel kernel;
        ASSERT_TRUE(BuildGaussianKernel(kernel, sigma));
        EXPECT_EQ(c.weights, kernel.weights);
        EXPECT_EQ(c.sum, kernel.weightSum);
        EXPECT_EQ(5u, kernel.size);
    }
    EXPECT_NEAR(0.73868f, WallpaperSigma(2560, 1600), 0.00001f);
    EXPECT_LT(WallpaperSigma(9000, 175), 1.0f);
    EXPECT_EQ(1.0f, WallpaperSigma(9000, 176));
    EXPECT_EQ(1.0f, WallpaperSigma(20000, 20000));
}

TEST(WallpaperGeometry, AKernelBeyondItsMaximumIsRefused)
{
    GaussianKernel kernel;
    kernel.maximumSize = 51;
    EXPECT_TRUE(BuildGaussianKernel(kernel, 9.9f));  // n = 51
    EXPECT_EQ(51u, kernel.size);
    EXPECT_FALSE(BuildGaussianKernel(kernel, 10.1f));  // n = 52
    EXPECT_TRUE(kernel.weights.empty());
}

TEST(WallpaperGeometry, ExifOrientationTurnsThePictureUpright)
{
    using namespace Gdiplus;
    const RotateFlipType expected[] = {RotateNoneFlipNone, RotateNoneFlipNone, RotateNoneFlipX, Rotate180FlipNone,
                                       Rotate180FlipX,     Rotate90FlipX,      Rotate90FlipNone, Rotate270FlipX,
                                       Rotate270FlipNone,  RotateNoneFlipNone};
    for (UINT orientation = 0; orientation < 10; ++orientation)
        EXPECT_EQ(expected[orientation], UprightTurn(orientation)) << orientation;
}
