#include <gmock/gmock.h>
#include <ostream>
#include "Viewer/ui/ViewLayout.h"

namespace {

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

struct FitCase {
    const char* name;
    RECT source;
    RECT bounds;
    RECT destination;
    int percentage;
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class FitRectTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitRectTest, GivesTheLargestRectangleOfTheSourceAspectCentredOnTheFreeAxis)
{
    const FitCase& c = GetParam();
    RECT destination{};
    int percentage = -1;
    EXPECT_EQ(1, FitRectToBounds(c.source, c.bounds, destination, percentage));
    EXPECT_TRUE(destination == c.destination)
        << destination.left << "," << destination.top << "," << destination.right << "," << destination.bottom;
    EXPECT_EQ(c.percentage, percentage);
}

INSTANTIATE_TEST_SUITE_P(Cases, FitRectTest, testing::Values(
    // Equal products fit the height.
    FitCase{"EqualAspect", {0, 0, 4000, 3000}, {0, 0, 1000, 750}, {0, 0, 1000, 750}, 25},
    FitCase{"ByHeightCentred", {0, 0, 300, 1000}, {0, 0, 500, 400}, {190, 0, 310, 400}, 40},
    FitCase{"ByWidthCentred", {0, 0, 1000, 600}, {10, 20, 510, 420}, {10, 70, 510, 370}, 50},
    // 797 x 500 / 1000 rounds to 399: one short of the bounds is snapped to them.
    FitCase{"OneShortSnaps", {0, 0, 1000, 797}, {0, 0, 500, 400}, {0, 0, 500, 400}, 50},
    FitCase{"TwoShortCentred", {0, 0, 1000, 796}, {0, 0, 500, 400}, {0, 1, 500, 399}, 50},
    FitCase{"Enlarges", {0, 0, 200, 100}, {0, 0, 1000, 800}, {0, 150, 1000, 650}, 500},
    // Products beyond 32 bits still compare right.
    FitCase{"HugeSource", {0, 0, 60000, 50000}, {0, 0, 50000, 60000}, {0, 9166, 50000, 50833}, 83},
    FitCase{"EmptySource", {0, 0, 0, 0}, {5, 6, 500, 400}, {5, 6, 5, 6}, 100}));

struct LayoutCase {
    const char* name;
    ViewLayoutInput input;
    int panX, panY;  // before
    RECT source;
    RECT destination;
    int zoom;
    bool upscaled;
    int panXAfter, panYAfter;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

ViewLayoutInput Picture(int width, int height, int clientWidth, int clientHeight)
{
    ViewLayoutInput input;
    input.width = width;
    input.height = height;
    input.client = {0, 0, clientWidth, clientHeight};
    input.magnifierPercent = 300;
    return input;
}

ViewLayoutInput With(ViewLayoutInput input, bool ViewLayoutInput::*flag)
{
    input.*flag = true;
    return input;
}

ViewLayoutInput Magnified(ViewLayoutInput input, unsigned percent)
{
    input.magnifier = true;
    input.magnifierPercent = percent;
    return input;
}

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, PlacesThePictureAndClampsThePan)
{
    const LayoutCase& c = GetParam();
    int panX = c.panX, panY = c.panY;
    const ViewLayoutResult result = LayoutView(c.input, panX, panY);
    EXPECT_TRUE(result.source == c.source) << "source " << result.source.left << "," << result.source.top << ","
                                           << result.source.right << "," << result.source.bottom;
    EXPECT_TRUE(result.destination == c.destination)
        << "destination " << result.destination.left << "," << result.destination.top << ","
        << result.destination.right << "," << result.destination.bottom;
    EXPECT_EQ(c.zoom, result.zoomPercentage);
    EXPECT_EQ(c.upscaled, result.upscaled);
    EXPECT_EQ(c.panXAfter, panX);
    EXPECT_EQ(c.panYAfter, panY);
}

const ViewLayoutInput Small = Picture(200, 100, 1000, 800);
const ViewLayoutInput Large = Picture(3000, 2000, 1000, 800);

INSTANTIATE_TEST_SUITE_P(Cases, LayoutTest, testing::Values(
    LayoutCase{"FitLarge", Picture(4000, 3000, 1000, 750), 0, 0, {0, 0, 4000, 3000}, {0, 0, 1000, 750}, 25, false, 0, 0},
    // Not larger than the client: 1:1 without stretching, a same-size fit with it, never upscaled.
    LayoutCase{"ExactSize", Picture(1000, 800, 1000, 800), 0, 0, {0, 0, 1000, 800}, {0, 0, 1000, 800}, 100, false, 0, 0},
    LayoutCase{"ExactSizeStretch", With(Picture(1000, 800, 1000, 800), &ViewLayoutInput::stretchSmall), 0, 0,
               {0, 0, 1000, 800}, {0, 0, 1000, 800}, 100, false, 0, 0},
    LayoutCase{"SmallCentred", Small, 7, 9, {0, 0, 200, 100}, {400, 350, 600, 450}, 100, false, 7, 9},
    LayoutCase{"SmallOddCentred", Picture(201, 101, 1000, 800), 0, 0, {0, 0, 201, 101}, {399, 349, 600, 450}, 100, false, 0, 0},
    LayoutCase{"SmallStretched", With(Small, &ViewLayoutInput::stretchSmall), 0, 0, {0, 0, 200, 100},
               {0, 150, 1000, 650}, 500, true, 0, 0},
    LayoutCase{"OwnedNeverStretched", With(With(Small, &ViewLayoutInput::stretchSmall), &ViewLayoutInput::ownsPicture),
               0, 0, {0, 0, 200, 100}, {400, 350, 600, 450}, 100, false, 0, 0},
    LayoutCase{"CaptionNeverStretched", With(With(Small, &ViewLayoutInput::stretchSmall), &ViewLayoutInput::hasCaption),
               0, 0, {0, 0, 200, 100}, {400, 350, 600, 450}, 100, false, 0, 0},
    LayoutCase{"ActualSizeOddCentre", With(Picture(3001, 2001, 1000, 800), &ViewLayoutInput::actualSize), 0, 0,
               {1000, 600, 2000, 1400}, {0, 0, 1000, 800}, 100, false, 0, 0},
    // Past the right and top edges: the pan keeps only what is valid.
    LayoutCase{"ActualSizePanClamped", With(Large, &ViewLayoutInput::actualSize), 5000, -5000, {2000, 0, 3000, 800},
               {0, 0, 1000, 800}, 100, false, 1000, -600},
    LayoutCase{"LeftZoomNarrowAxisNotPanned", With(Picture(500, 2000, 1000, 800), &ViewLayoutInput::leftZoom), 50, 20,
               {0, 620, 500, 1420}, {250, 0, 750, 800}, 100, false, 0, 20},
    LayoutCase{"MagnifierSmallCentred", Magnified(Small, 300), 30, -7, {0, 0, 200, 100}, {200, 250, 800, 550}, 300, false, 0, 0},
    LayoutCase{"MagnifierSinglePrecision", Magnified(Picture(333, 333, 1000, 800), 150), 0, 0, {0, 0, 332, 332},
               {250, 150, 749, 649}, 150, false, 0, 0},
    LayoutCase{"MagnifierPanClamped", Magnified(Picture(1000, 1000, 800, 600), 200), 1000, -1000, {600, 0, 1000, 300},
               {0, 0, 800, 600}, 200, false, 300, -350},
    LayoutCase{"MagnifierOffFitsInstead", Magnified(Picture(4000, 3000, 1000, 750), 0), 0, 0, {0, 0, 4000, 3000},
               {0, 0, 1000, 750}, 25, false, 0, 0}));

ZoomAnchorInput Anchor(POINT anchor, int width, int height)
{
    ZoomAnchorInput input;
    input.anchor = anchor;
    input.width = width;
    input.height = height;
    input.magnifierPercent = 200;
    return input;
}

// The source pixel shown at a client point under a layout.
POINT PictureAt(const ViewLayoutResult& r, POINT p)
{
    const double sx = double(r.source.right - r.source.left) / (r.destination.right - r.destination.left);
    const double sy = double(r.source.bottom - r.source.top) / (r.destination.bottom - r.destination.top);
    return {LONG(r.source.left + (p.x - r.destination.left) * sx), LONG(r.source.top + (p.y - r.destination.top) * sy)};
}

TEST(CenterPanOnAnchorTest, KeepsThePicturePointUnderTheAnchorWhenAZoomStarts)
{
    const POINT anchor{750, 200};
    ViewLayoutInput layout = Picture(4000, 3000, 1000, 750);
    int panX = 0, panY = 0;
    const ViewLayoutResult fit = LayoutView(layout, panX, panY);
    const POINT before = PictureAt(fit, anchor);
    EXPECT_EQ(3000, before.x);

    for (bool ViewLayoutInput::*mode : {&ViewLayoutInput::leftZoom, &ViewLayoutInput::magnifier}) {
        ZoomAnchorInput zoom = Anchor(anchor, 4000, 3000);
        zoom.leftZoom = mode == &ViewLayoutInput::leftZoom;
        zoom.magnifier = mode == &ViewLayoutInput::magnifier;
        RECT saved{};
        panX = panY = 0;
        CenterPanOnAnchor(zoom, fit.destination, saved, panX, panY);
        EXPECT_TRUE(saved == fit.destination);
        ViewLayoutInput zoomed = With(layout, mode);
        zoomed.magnifierPercent = 200;
        const POINT after = PictureAt(LayoutView(zoomed, panX, panY), anchor);
        EXPECT_NEAR(before.x, after.x, 1);
        EXPECT_NEAR(before.y, after.y, 1);
    }
}

TEST(CenterPanOnAnchorTest, MagnifierOverAZoomUsesTheSavedFitAndBackToFitClearsThePan)
{
    const RECT fit{0, 0, 1000, 750};
    const RECT oneToOne{0, 0, 1000, 750};
    ZoomAnchorInput zoom = Anchor({750, 375}, 4000, 3000);
    zoom.leftZoom = zoom.magnifier = true;
    RECT saved = fit;
    int panX = 0, panY = 0;
    CenterPanOnAnchor(zoom, {100, 100, 200, 200}, saved, panX, panY);
    EXPECT_TRUE(saved == fit);
    EXPECT_EQ(875, panX);  // trunc(250 x 4 - 250 / 2)
    EXPECT_EQ(0, panY);

    zoom.leftZoom = false;
    zoom.actualSize = true;
    panX = 10;
    CenterPanOnAnchor(zoom, oneToOne, saved, panX, panY);
    EXPECT_EQ(10 + 125, panX);  // + trunc(250 - 250 / 2)

    zoom = Anchor({750, 375}, 4000, 3000);
    CenterPanOnAnchor(zoom, oneToOne, saved, panX, panY);
    EXPECT_EQ(0, panX);
    EXPECT_EQ(0, panY);
}

TEST(PictureCanPanTest, OnlyAPictureLargerThanTheClientInItsModeCanBeDragged)
{
    ZoomAnchorInput fits = Anchor({}, 300, 200);
    fits.magnifierPercent = 300;
    for (int mode = 0; mode < 3; ++mode) {
        fits.actualSize = mode == 0;
        fits.leftZoom = mode == 1;
        fits.magnifier = mode == 2;
        EXPECT_FALSE(PictureCanPan(fits, 1000, 800)) << mode;
    }
    ZoomAnchorInput large = Anchor({}, 1200, 200);
    EXPECT_FALSE(PictureCanPan(large, 1000, 800));
    large.leftZoom = true;
    EXPECT_TRUE(PictureCanPan(large, 1000, 800));
    ZoomAnchorInput magnified = Anchor({}, 400, 300);
    magnified.magnifier = true;
    magnified.magnifierPercent = 300;
    EXPECT_TRUE(PictureCanPan(magnified, 1000, 800));
    // Products that overflow 32 bits.
    ZoomAnchorInput huge = Anchor({}, 60000, 100);
    huge.magnifier = true;
    huge.magnifierPercent = 100000;
    EXPECT_TRUE(PictureCanPan(huge, 1000, 800));
}

}  // namespace
