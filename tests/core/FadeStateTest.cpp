#include "Viewer/core/FadeState.h"
#include <gtest/gtest.h>

namespace {
struct DistanceCase {
    POINT point;
    int distance;
};

const RECT kRect{100, 100, 200, 150};

const DistanceCase kDistanceCases[] = {
    {{150, 120}, 0},  {{100, 100}, 0},  {{200, 150}, 0},   // inside and on the edges
    {{150, 90}, 10},  {{150, 170}, 20},                    // above, below
    {{60, 120}, 40},  {{230, 150}, 30},                    // left, right
    {{97, 96}, 5},    {{203, 154}, 5},                     // corners: 3-4-5
    {{99, 99}, 1},    {{90, 160}, 14},                     // sqrt(2) and sqrt(200) truncated
};

class CursorDistance : public testing::TestWithParam<DistanceCase> {};

TEST_P(CursorDistance, IsStraightBesideAndToTheCornerDiagonally)
{
    EXPECT_EQ(GetParam().distance, DistanceToRect(kRect, GetParam().point));
}
INSTANTIATE_TEST_SUITE_P(Points, CursorDistance, testing::ValuesIn(kDistanceCases));

// A layered window whose alpha the fade sets; the timer ticks are driven by the test.
class FadeWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_window);
        SetLayeredWindowAttributes(m_window, 0, 0, LWA_ALPHA);
    }
    void TearDown() override { DestroyWindow(m_window); }

    BYTE Alpha() const
    {
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(m_window, nullptr, &alpha, &flags);
        return alpha;
    }

    HWND m_window = nullptr;
    FadeState m_fade;
};
}

TEST(FadeTarget, FallsWithDistanceToTheMinimumAtTheRadius)
{
    FadeState fade;
    EXPECT_FLOAT_EQ(1.0f, FadeTarget(fade, 0));
    EXPECT_FLOAT_EQ(1.0f - 0.22f * 0.5f, FadeTarget(fade, 32));
    EXPECT_FLOAT_EQ(0.78f, FadeTarget(fade, 64));
    EXPECT_FLOAT_EQ(0.78f, FadeTarget(fade, 500));
    fade.minOpacity = 0.57f;
    EXPECT_FLOAT_EQ(0.57f, FadeTarget(fade, 64));
    fade.radius = 0;  // counts as 1
    EXPECT_FLOAT_EQ(0.57f, FadeTarget(fade, 1));
}

TEST_F(FadeWindowTest, TicksRiseByTheStepAndSetTheAlphaByte)
{
    FadeTo(m_window, m_fade, 1.0f);
    EXPECT_TRUE(m_fade.fadeRunning);
    OnFadeTimer(m_window, m_fade, m_fade.timerId);
    EXPECT_FLOAT_EQ(1.0f / 32.0f, m_fade.currentOpacity);
    EXPECT_EQ(7, Alpha());  // truncate(255 / 32)
    OnFadeTimer(m_window, m_fade, m_fade.timerId + 1);  // not the fade's timer
    EXPECT_FLOAT_EQ(1.0f / 32.0f, m_fade.currentOpacity);
    for (int tick = 0; tick < 40 && m_fade.fadeRunning; ++tick) OnFadeTimer(m_window, m_fade, m_fade.timerId);
    EXPECT_FLOAT_EQ(1.0f, m_fade.currentOpacity);
    EXPECT_EQ(255, Alpha());
    EXPECT_FALSE(m_fade.fadeRunning);
}

TEST_F(FadeWindowTest, AFallStopsAtTheMinimum)
{
    m_fade.currentOpacity = 0.8f;
    FadeTo(m_window, m_fade, 0.5f);
    OnFadeTimer(m_window, m_fade, m_fade.timerId);
    EXPECT_FLOAT_EQ(0.78f, m_fade.currentOpacity);
    EXPECT_EQ(198, Alpha());
    EXPECT_FALSE(m_fade.fadeRunning);
}

TEST_F(FadeWindowTest, TheSameTargetAgainStartsNothing)
{
    m_fade.currentOpacity = 0.5f;
    FadeTo(m_window, m_fade, m_fade.targetOpacity);
    EXPECT_FALSE(m_fade.fadeRunning);
}

TEST_F(FadeWindowTest, TheDelayedFirstTickReturnsToTheNormalPeriod)
{
    m_fade.currentOpacity = 0.78f;
    StartDelayedFade(m_window, m_fade);
    EXPECT_TRUE(m_fade.fadeRunning);
    EXPECT_TRUE(m_fade.delayedFirstTick);
    // The cursor is far away (the window sits at the origin, the cursor wherever the test left it):
    // the tick finds the target reached and looks at the distance again.
    SetCursorPos(1000, 1000);
    OnFadeTimer(m_window, m_fade, m_fade.timerId);
    EXPECT_FALSE(m_fade.delayedFirstTick);
    EXPECT_FLOAT_EQ(0.78f, m_fade.targetOpacity);
}
