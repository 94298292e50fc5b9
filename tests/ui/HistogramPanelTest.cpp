#include "tests/ui/PanelFixture.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/ui/HistogramWindow.h"

namespace {
// Red has a one-bin peak at 128 and half of it at bin 64; green and blue are empty.
ImageInfo RedPeaks()
{
    ImageInfo info;
    info.flags = ImageInfoHistogram;
    info.histogram.red[128] = 1000;
    info.histogram.red[64] = 500;
    info.histogram.redMax = 1000;
    info.width = 300;
    info.height = 200;
    info.bitsPerPixel = 24;
    return info;
}

class HistogramPanelTest : public PanelWindowTest {
protected:
    void SetUp() override
    {
        PanelWindowTest::SetUp();
        Command(ID_SHOW_HISTOGRAM);
        ASSERT_TRUE(Panel().IsWindow());
    }
    void TearDown() override
    {
        AppSettings::EnableHistogramDataCompression = 0;
        AppSettings::EnablePerChannelHistogramNormalization = 0;
        PanelWindowTest::TearDown();
    }
    CHistogramWindow& Panel() { return View().Histogram(); }

    // The highest pixel of the column where red clearly stands out of the grey background.
    static int RedTop(const PanelPixels& pixels, int x)
    {
        for (int y = 0; y < pixels.height; ++y)
            if (pixels.Red(x, y) - pixels.Green(x, y) > 60) return y;
        return -1;
    }
};
}

TEST(HistogramGeometry, ScalesWithTheDisplay)
{
    const HistogramGeometry at96 = MakeHistogramGeometry(96, 96);
    EXPECT_EQ(13, at96.left);
    EXPECT_EQ(9, at96.top);
    EXPECT_EQ(256, at96.width);
    EXPECT_EQ(100, at96.height);
    EXPECT_EQ(109, at96.bottom);
    const HistogramGeometry at144 = MakeHistogramGeometry(144, 144);
    EXPECT_EQ(20, at144.left);  // 19.5 rounded
    EXPECT_EQ(14, at144.top);   // 13.5 rounded
    EXPECT_EQ(384, at144.width);
    EXPECT_EQ(150, at144.height);
}

TEST(HistogramBars, AHalfMaximumBinIsHalfWayAndOneBinPeaksReachTheTopInBothScalings)
{
    const HistogramGeometry plot = MakeHistogramGeometry(96, 96);
    EXPECT_EQ(59, HistogramBarY(plot, 500, 1000, false));
    EXPECT_EQ(9, HistogramBarY(plot, 1000, 1000, false));
    EXPECT_EQ(9, HistogramBarY(plot, 1000, IntegerSquareRoot(1000), true));
    EXPECT_EQ(109, HistogramBarY(plot, 0, 1, true));
    EXPECT_EQ(65535u, IntegerSquareRoot(4294967295u));
    EXPECT_EQ(9, HistogramBarY(plot, 4294967295u, 4294967295u, false));  // no overflow
}

TEST(HistogramTexts, CaptionNamesTheScalingAndTheSizeLineTheDepthAndPixels)
{
    EXPECT_EQ(L"R,G,B (" + LoadUiString(10178) + L")", HistogramCaption(false, false));
    EXPECT_EQ(L"R,G,B (" + LoadUiString(10177) + L", " + LoadUiString(10179) + L")", HistogramCaption(true, true));
    ImageInfo info;
    info.width = 3000;
    info.height = 2000;
    info.bitsPerPixel = 32;
    info.downscaled = 1;
    EXPECT_EQ(L"32bpp, 6.0MP*", HistogramSizeLine(info));
    info.width = 300;
    info.height = 200;
    info.bitsPerPixel = 24;
    info.downscaled = 0;
    EXPECT_EQ(L"24bpp, 60.0KP", HistogramSizeLine(info));
}

TEST_F(HistogramPanelTest, PaintsTheChannelOverTheGridWithTheCaptionAndSize)
{
    const ImageInfo info = RedPeaks();
    Panel().SetImageInfo(&info);
    const PanelPixels pixels = PrintClient(Panel().m_hWnd);
    ASSERT_EQ(283, pixels.width);
    EXPECT_NEAR(59, RedTop(pixels, 13 + 64), 1);
    EXPECT_NEAR(9, RedTop(pixels, 13 + 128), 1);
    EXPECT_EQ(-1, RedTop(pixels, 13 + 100));  // an empty bin stays on the baseline, under the frame
    // Grid lines: darker than the background next to them.
    EXPECT_LT(pixels.Green(120, 59) + 10, pixels.Green(120, 55));  // half line
    EXPECT_LT(pixels.Green(98, 40) + 10, pixels.Green(95, 40));    // first third
    EXPECT_LT(pixels.Green(183, 40) + 10, pixels.Green(180, 40));  // second third
    // Both clipping markers sit at the baseline of the empty end bins.
    EXPECT_GT(pixels.InkIn(RECT{7, 104, 12, 113}, 60), 5);
    EXPECT_GT(pixels.InkIn(RECT{270, 104, 275, 113}, 60), 5);
    // Caption at the left, size line at the right, below the frame.
    EXPECT_GT(pixels.InkIn(RECT{12, 113, 80, 129}, 90), 10);
    EXPECT_GT(pixels.InkIn(RECT{200, 113, 270, 129}, 90), 10);
    EXPECT_FLOAT_EQ(0.78f, Panel().Fade().minOpacity);
}

TEST_F(HistogramPanelTest, CompressionStillPutsAOneBinPeakAtTheTop)
{
    AppSettings::EnableHistogramDataCompression = 1;
    const ImageInfo info = RedPeaks();
    Panel().SetImageInfo(&info);
    const PanelPixels pixels = PrintClient(Panel().m_hWnd);
    EXPECT_NEAR(9, RedTop(pixels, 13 + 128), 1);
    // isqrt(500) * 100 / isqrt(1000) = 22 * 100 / 31 = 70 above the baseline
    EXPECT_NEAR(109 - 70, RedTop(pixels, 13 + 64), 1);
}

TEST_F(HistogramPanelTest, PureBlackHasNoHistogramAndShowsTheMessageAtTheLowerOpacity)
{
    ImageInfo info;
    info.flags = ImageInfoHistogram;
    info.histogram.red[0] = info.histogram.green[0] = info.histogram.blue[0] = 10000;
    Panel().SetImageInfo(&info);
    const PanelPixels pixels = PrintClient(Panel().m_hWnd);
    EXPECT_GT(pixels.InkIn(RECT{60, 40, 220, 80}, 60), 50);  // the bold message in the plot's middle
    EXPECT_EQ(-1, RedTop(pixels, 13 + 128));
    EXPECT_FLOAT_EQ(0.57f, Panel().Fade().minOpacity);
    EXPECT_EQ(0, pixels.InkIn(RECT{200, 113, 270, 129}, 90));  // no size without a decoded size
}
