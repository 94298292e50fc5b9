#include "Viewer/dialogs/PageHost.h"
#include "tests/dialogs/SkinTestWindows.h"
#include <gtest/gtest.h>

namespace {
constexpr int kHostId = 1057;

class PageHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LastOptionsPage = 0;
        ASSERT_TRUE(dialog.Create());
        HWND placeholder = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 10, 280,
                                           250, dialog.m_hWnd, reinterpret_cast<HMENU>(INT_PTR{kHostId}), nullptr,
                                           nullptr);
        ASSERT_TRUE(host.SubclassWindow(placeholder));
        for (int index = 0; index < 2; ++index) {
            pages[index].Create(10, 10, placeholder);
            first[index] = MakeEdit(pages[index].m_hWnd);
        }
    }
    void TearDown() override { LastOptionsPage = 0; }

    static HWND MakeEdit(HWND page)
    {
        return CreateWindowExW(0, L"EDIT", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 80, 20, page, nullptr,
                               nullptr, nullptr);
    }
    void AddPages()
    {
        for (auto& page : pages) host.AddPage(page.m_hWnd);
    }

    SkinTestParent dialog;
    CPageHost host;
    SkinTestParent pages[2];
    HWND first[2]{};
};
}

TEST_F(PageHostTest, AddedPagesAreHiddenControlParentsAndTheParentHearsOfEachStep)
{
    AddPages();
    for (auto& page : pages) {
        EXPECT_FALSE(IsWindowVisible(page.m_hWnd));
        EXPECT_TRUE(GetWindowLongPtrW(page.m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    }
    EXPECT_TRUE(GetWindowLongPtrW(host.m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ((std::vector<int>{-560, -561, -561}), dialog.notifications);
    EXPECT_EQ(2, host.PageCount());
}

TEST_F(PageHostTest, ShowsTheStoredPageSizedToItselfAndTheFirstShowFocusesThePagesFirstTabStop)
{
    AddPages();
    SetForegroundWindow(dialog.m_hWnd);
    LastOptionsPage = 1;
    dialog.notifications.clear();
    EXPECT_TRUE(host.ShowPage());
    EXPECT_EQ((std::vector<int>{-552, -551}), dialog.notifications);
    EXPECT_TRUE(IsWindowVisible(pages[1].m_hWnd));
    EXPECT_FALSE(IsWindowVisible(pages[0].m_hWnd));
    RECT area{};
    GetWindowRect(pages[1].m_hWnd, &area);
    EXPECT_EQ(280, area.right - area.left);
    EXPECT_EQ(250, area.bottom - area.top);
    EXPECT_EQ(first[1], GetFocus());

    EXPECT_TRUE(host.ShowPage()) << "the current page again";
    LastOptionsPage = 0;
    EXPECT_TRUE(host.ShowPage());
    EXPECT_FALSE(IsWindowVisible(pages[1].m_hWnd));
    EXPECT_EQ(first[0], GetFocus()) << "the focus was inside the host, so it moves into the new page";
}

TEST_F(PageHostTest, APageThatDoesNotExistOrAVetoLeavesTheCurrentPage)
{
    AddPages();
    ASSERT_TRUE(host.ShowPage());
    for (int missing : {2, -1}) {
        LastOptionsPage = missing;
        EXPECT_FALSE(host.ShowPage());
        EXPECT_EQ(0, host.CurrentIndex());
        EXPECT_TRUE(IsWindowVisible(pages[0].m_hWnd));
    }
    dialog.notifyAnswer = 1;
    LastOptionsPage = 1;
    EXPECT_FALSE(host.ShowPage());
    EXPECT_EQ(pages[0].m_hWnd, host.CurrentPage());
}

TEST_F(PageHostTest, ResizingTheHostResizesTheCurrentPage)
{
    AddPages();
    ASSERT_TRUE(host.ShowPage());
    SetWindowPos(host.m_hWnd, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT area{};
    GetWindowRect(pages[0].m_hWnd, &area);
    EXPECT_EQ(200, area.right - area.left);
    EXPECT_EQ(100, area.bottom - area.top);
}
