#include "Viewer/engine/PrefetchWindow.h"
#include <gtest/gtest.h>

namespace {
struct WindowCase {
    const char* name;
    size_t current, count;
    CacheQuotas quotas;
    bool wrap;
    std::vector<size_t> expected;
};

void PrintTo(const WindowCase& c, std::ostream* out)
{
    *out << c.name;
}

class PrefetchWindow : public testing::TestWithParam<WindowCase> {};

TEST_P(PrefetchWindow, TakesTwoAheadForOneBehindWithinTheList)
{
    const WindowCase& c = GetParam();
    EXPECT_EQ(c.expected, PrefetchOrder(c.current, c.count, c.quotas, c.wrap));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrefetchWindow,
    testing::Values(
        // At the start without wrap-around nothing lies behind: its quota moves ahead, capped at the end.
        WindowCase{"FirstOfTenWithoutWrap", 1, 10, {6, 3}, false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        WindowCase{"MiddleAheadAheadBehind", 5, 20, {4, 2}, false, {5, 6, 7, 4, 8, 9, 3}},
        WindowCase{"LastWithoutWrapLooksOnlyBehind", 10, 10, {6, 3}, false, {10, 9, 8, 7}},
        WindowCase{"LastOfFiveWrapsToTheFirstAndStopsWhereItMeetsItself", 5, 5, {4, 2}, true, {5, 1, 2, 4, 3}},
        WindowCase{"LargeQuotasCoverAShortListOnce", 2, 4, {10, 10}, true, {2, 3, 4, 1}},
        WindowCase{"SingleEntry", 1, 1, {2, 1}, true, {1}},
        WindowCase{"NoQuotasOnlyTheCurrent", 3, 5, {0, 0}, true, {3}},
        WindowCase{"EmptyList", 1, 0, {4, 2}, true, {}},
        WindowCase{"NoCurrentEntry", 0, 5, {4, 2}, false, {}},
        WindowCase{"CurrentBeyondTheList", 6, 5, {4, 2}, false, {}}),
    [](const testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.name); });
}  // namespace
