#include "Viewer/ui/Splitter.h"
#include "Framework/UniqueHandle.h"
#include <gtest/gtest.h>

namespace {
// A splitter in a plain top-level window, with two static windows for panes.
class SplitterTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_parent);
        ASSERT_TRUE(m_splitter.CreateSplitter(m_parent));
        for (HWND& pane : m_panes) {
            pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_splitter.m_hWnd, nullptr,
                                   nullptr, nullptr);
            ASSERT_TRUE(pane);
        }
        SizeSplitter(400, 300);
        m_splitter.SetBottomPaneHeight(30);
        m_splitter.SetPanes(m_panes[0], m_panes[1]);
    }
    void TearDown() override
    {
        m_splitter.DestroyWindow();
        DestroyWindow(m_parent);
    }

    void SizeSplitter(int width, int height)
    {
        SetWindowPos(m_splitter.m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT PaneRect(int pane) const
    {
        RECT rect{};
        GetWindowRect(m_panes[pane], &rect);
        MapWindowPoints(nullptr, m_splitter.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // The pane's own visible style: the test's top-level window is never shown.
    bool Shown(int pane) const { return GetWindowLongPtrW(m_panes[pane], GWL_STYLE) & WS_VISIBLE; }
    static std::string Text(const RECT& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }

    HWND m_parent = nullptr;
    CSplitter m_splitter;
    HWND m_panes[2]{};
};

TEST_F(SplitterTest, TheBottomPaneKeepsItsHeightWhenTheWindowIsResized)
{
    EXPECT_EQ("0,0,400,270", Text(PaneRect(0)));
    EXPECT_EQ("0,270,400,300", Text(PaneRect(1)));
    SizeSplitter(500, 420);
    EXPECT_EQ("0,0,500,390", Text(PaneRect(0)));
    EXPECT_EQ("0,390,500,420", Text(PaneRect(1)));
}

TEST_F(SplitterTest, ASinglePaneFillsTheWindowAndTheOtherIsHiddenUntilBothAreShownAgain)
{
    ASSERT_TRUE(m_splitter.SetSinglePaneMode(0));
    EXPECT_EQ("0,0,400,300", Text(PaneRect(0)));
    EXPECT_FALSE(Shown(1));
    EXPECT_FALSE(m_splitter.SetActivePane(1)) << "a hidden pane cannot be made active";

    ASSERT_TRUE(m_splitter.SetSinglePaneMode(1));
    EXPECT_EQ(1, m_splitter.ActivePane());
    EXPECT_EQ("0,0,400,300", Text(PaneRect(1)));
    EXPECT_FALSE(Shown(0));

    ASSERT_TRUE(m_splitter.SetSinglePaneMode(CSplitter::NoSinglePane));
    EXPECT_TRUE(Shown(0));
    EXPECT_TRUE(Shown(1));
    EXPECT_EQ("0,0,400,270", Text(PaneRect(0)));
    EXPECT_TRUE(m_splitter.SetActivePane(0));
}

TEST_F(SplitterTest, OnlyThePanesAndBothAreModes)
{
    for (const int refused : {2, -2, 5}) {
        EXPECT_FALSE(m_splitter.SetSinglePaneMode(refused)) << refused;
        EXPECT_FALSE(m_splitter.SetActivePane(refused)) << refused;
    }
    EXPECT_EQ(CSplitter::NoSinglePane, m_splitter.SinglePaneMode());
}
}
