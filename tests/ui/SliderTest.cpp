#include "tests/ui/PanelFixture.h"
#include "Viewer/ui/SliderPopup.h"
#include <commctrl.h>

namespace {
// The frame with a listed folder of three pictures and its slider popup.
class SliderTest : public PanelWindowTest {
protected:
    void SetUp() override
    {
        PanelWindowTest::SetUp();
        ShowFileOfFolder(L"a.jpg", {L"a.jpg", L"b.jpg", L"c.jpg"});
    }
    CSliderPopup& Popup() { return m_frame.Slider().Popup(); }
    void ShowSlider() { SendMessageW(m_frame.m_hWnd, WM_COMMAND, ID_NAV_SLIDER, 0); }
    void Scroll(int code) { SendMessageW(Popup().m_hWnd, WM_VSCROLL, static_cast<WPARAM>(code), 0); }
    // The navigation requests the popup posted to the frame, taken from the queue.
    int TakePostedRequests()
    {
        int count = 0;
        MSG message{};
        while (PeekMessageW(&message, m_frame.m_hWnd, WM_APP_SLIDER_NAVIGATE, WM_APP_SLIDER_NAVIGATE, PM_REMOVE))
            ++count;
        return count;
    }
};
}

TEST(SliderNumbers, PageSizesAndHeights)
{
    EXPECT_EQ(1, SliderPageSize(1));
    EXPECT_EQ(5, SliderPageSize(57));
    EXPECT_EQ(100, SliderPageSize(2500));
    EXPECT_EQ(245, SliderHeight(0, {80, 100, 65}, -1));
    EXPECT_EQ(245, SliderHeight(0, {80, 100, 66}, -1));
    EXPECT_EQ(220, SliderHeight(0, {60, 100, 60}, -1));
    EXPECT_EQ(245, SliderHeight(0, {60, 0, 60}, -1));  // a missing image
    EXPECT_EQ(170, SliderHeight(0, {80, 100, 65}, 200 - 30));
    EXPECT_EQ(300, SliderHeight(300, {80, 100, 65}, -1));
}

TEST(SliderNumbers, ThePreviewsFolderLine)
{
    EXPECT_EQ(L"C:\\", PreviewFolder(L"C:\\x.jpg"));
    EXPECT_EQ(L"2019", PreviewFolder(L"D:\\Photos\\2019\\x.jpg"));
}

TEST_F(SliderTest, TheSliderOpensOverTheViewsLowerRightCornerOverTheWholeList)
{
    ShowSlider();
    ASSERT_TRUE(Popup().IsWindow());
    EXPECT_TRUE(IsWindowVisible(Popup().m_hWnd));
    const RECT view = ViewRect();
    const RECT popup = WindowRect(Popup().m_hWnd);
    EXPECT_EQ(view.right, popup.right);
    EXPECT_EQ(view.bottom, popup.bottom);
    EXPECT_EQ(3, SendMessageW(Popup().Trackbar(), TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(1, SendMessageW(Popup().Trackbar(), TBM_GETRANGEMIN, 0, 0));
    ShowSlider();
    EXPECT_FALSE(IsWindowVisible(Popup().m_hWnd));
}

TEST_F(SliderTest, TheTopEdgeResizesEvenLeftOfThePrimaryMonitor)
{
    ShowSlider();
    SetWindowPos(Popup().m_hWnd, nullptr, -400, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT popup = WindowRect(Popup().m_hWnd);
    const LPARAM top = MAKELPARAM(static_cast<WORD>(popup.left + 30), static_cast<WORD>(popup.top + 1));
    EXPECT_EQ(HTTOP, SendMessageW(Popup().m_hWnd, WM_NCHITTEST, 0, top));
    const LPARAM inside = MAKELPARAM(static_cast<WORD>(popup.left + 30), static_cast<WORD>(popup.top + 40));
    EXPECT_EQ(HTCLIENT, SendMessageW(Popup().m_hWnd, WM_NCHITTEST, 0, inside));
}

TEST_F(SliderTest, TwoPageUpsOfOnePressMoveOnce)
{
    ShowSlider();
    TakePostedRequests();
    Scroll(TB_PAGEUP);
    Scroll(TB_PAGEUP);
    EXPECT_EQ(1, TakePostedRequests());
    Scroll(TB_PAGEUP);
    EXPECT_EQ(1, TakePostedRequests());
}

TEST_F(SliderTest, AReleaseAfterTheListGrewGoesToThePreviewedPictureByName)
{
    ShowSlider();
    SendMessageW(Popup().Trackbar(), TBM_SETPOS, TRUE, 2);
    Scroll(TB_THUMBTRACK);  // previews b.jpg
    ASSERT_TRUE(Popup().IsDragging());
    EXPECT_NE(std::wstring::npos, Popup().Preview().LineText(CInfoText::LineFile).find(L"b.jpg"));
    Popup().SetRangeAndPosition(4, 1);  // the list changed under the hand
    SendMessageW(Popup().Trackbar(), TBM_SETPOS, TRUE, 3);
    Scroll(TB_THUMBPOSITION);
    PumpFor(100);
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    ASSERT_NE(nullptr, current);
    EXPECT_EQ(m_folder.File(L"b"), current->GetBasePath());
}

TEST_F(SliderTest, TheStoredHeightIsReusedAndWrittenAtClose)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(L"NavigationSliderHeight", 200));
    ShowSlider();
    const RECT popup = WindowRect(Popup().m_hWnd);
    EXPECT_EQ(200, popup.bottom - popup.top);
    SetWindowPos(Popup().m_hWnd, nullptr, 0, 0, Popup().GetPreferredWidth(), 180, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(180u, Settings().QueryDword(L"NavigationSliderHeight").value_or(0));
}

TEST_F(SliderTest, ThePreviewNamesPositionPageAndFolder)
{
    ShowSlider();
    Popup().ShowPreview(L"C:\\scan.tif", nullptr, 1234, 56789, 1, 3);
    CInfoText& preview = Popup().Preview();
    ASSERT_TRUE(preview.IsWindow());
    EXPECT_TRUE(IsWindowVisible(preview.m_hWnd));
    EXPECT_EQ(L"1,234 / 56,789", preview.LineText(CInfoText::LinePosition));
    EXPECT_EQ(L"scan.tif [2/3]", preview.LineText(CInfoText::LineFile));
    EXPECT_EQ(L"C:\\", preview.LineText(CInfoText::LineFolder));
}
