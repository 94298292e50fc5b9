#include "Viewer/dialogs/OwnerDrawList.h"
#include "tests/dialogs/SkinTestWindows.h"
#include <gtest/gtest.h>

namespace {
constexpr int kListId = 1056;
constexpr int kRowHeight = 40;
constexpr COLORREF kPicture = RGB(10, 120, 30);

class OwnerDrawListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent.Create());
        HWND listBox = CreateWindowExW(0, L"LISTBOX", nullptr,
                                       WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_SORT, 30, 40,
                                       200, 160, parent.m_hWnd, reinterpret_cast<HMENU>(INT_PTR{kListId}), nullptr,
                                       nullptr);
        ASSERT_TRUE(list.SubclassWindow(listBox));
        SendMessageW(listBox, LB_SETITEMHEIGHT, 0, kRowHeight);
        COwnerDrawList::Scheme scheme = list.GetColors();
        scheme[COwnerDrawList::BackgroundColor] = RGB(1, 2, 3);
        scheme[COwnerDrawList::SelectionColor] = RGB(200, 0, 0);
        scheme[COwnerDrawList::GradientTopColor] = RGB(200, 0, 0);
        scheme[COwnerDrawList::RoundedFillColor] = RGB(0, 0, 200);
        scheme[COwnerDrawList::BorderColor] = RGB(0, 200, 0);
        scheme[COwnerDrawList::RowMarginX] = 2;
        scheme[COwnerDrawList::RowMarginY] = 2;
        scheme[COwnerDrawList::CornerWidth] = 5;
        scheme[COwnerDrawList::CornerHeight] = 5;
        list.SetColors(scheme);
    }

    int Add(const wchar_t* text, UINT style = 0)
    {
        ListItemInfo info;
        info.item = static_cast<int>(SendMessageW(list.m_hWnd, LB_GETCOUNT, 0, 0));
        info.mask = ListItemInfo::Text | ListItemInfo::Style;
        info.text = text;
        info.style = style;
        return list.AddItem(info);
    }

    // Draws row 0 through the parent, which reflects the message to the list.
    void DrawRow(PixelCanvas& canvas, bool selected)
    {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_LISTBOX;
        draw.CtlID = kListId;
        draw.itemID = 0;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = selected ? ODS_SELECTED : 0;
        draw.hwndItem = list.m_hWnd;
        draw.hDC = canvas.Dc();
        draw.rcItem = {0, 0, 200, kRowHeight};
        draw.itemData = static_cast<ULONG_PTR>(SendMessageW(list.m_hWnd, LB_GETITEMDATA, 0, 0));
        SendMessageW(parent.m_hWnd, WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&draw));
    }

    SkinTestParent parent;
    COwnerDrawList list;
};

class CountedData : public ListItemData {
public:
    explicit CountedData(int& freed) : m_freed(freed) {}
    ~CountedData() override { ++m_freed; }

private:
    int& m_freed;
};
}

TEST_F(OwnerDrawListTest, BecomesANotifyingUnsortedListWithoutStringsOfItsOwn)
{
    const LONG_PTR style = GetWindowLongPtrW(list.m_hWnd, GWL_STYLE);
    EXPECT_EQ(0, style & (LBS_SORT | LBS_HASSTRINGS | LBS_MULTIPLESEL));
    EXPECT_EQ(LBS_NOTIFY, style & LBS_NOTIFY);
}

TEST_F(OwnerDrawListTest, AnEmptyListShowsOnlyItsBackgroundColourOrThePictureUnderIt)
{
    PixelCanvas canvas(200, 160);
    SendMessageW(list.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(RGB(1, 2, 3), canvas.At(100, 80));

    list.SetImage(parent.Paint(kPicture));
    SendMessageW(list.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(kPicture, canvas.At(0, 0));
    EXPECT_EQ(kPicture, canvas.At(199, 159));
}

TEST_F(OwnerDrawListTest, APlainSelectedRowIsFilledUnlessThePictureShowsThrough)
{
    ASSERT_EQ(0, Add(L""));
    PixelCanvas canvas(200, kRowHeight);
    DrawRow(canvas, false);
    EXPECT_EQ(RGB(1, 2, 3), canvas.At(100, 20));
    DrawRow(canvas, true);
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(100, 20));

    list.SetImage(parent.Paint(kPicture));
    DrawRow(canvas, true);
    EXPECT_EQ(kPicture, canvas.At(100, 20));
}

TEST_F(OwnerDrawListTest, ARoundedSelectionIsABorderedShapeWithAGradientInsideTheRowMargins)
{
    ASSERT_EQ(0, Add(L"", ListItemInfo::RoundedSelection));
    PixelCanvas canvas(200, kRowHeight);
    DrawRow(canvas, true);
    EXPECT_EQ(RGB(1, 2, 3), canvas.At(0, 0)) << "the margin shows the list background";
    EXPECT_EQ(RGB(0, 200, 0), canvas.At(100, 2)) << "the border";
    EXPECT_EQ(RGB(0, 0, 200), canvas.At(100, 3)) << "the shape's fill between border and gradient";
    EXPECT_EQ(RGB(200, 0, 0), canvas.At(100, 20)) << "the gradient";

    DrawRow(canvas, false);
    EXPECT_EQ(RGB(1, 2, 3), canvas.At(100, 20)) << "an unselected rounded row is plain";
}

TEST_F(OwnerDrawListTest, TheSelectedRowsTextTakesTheSelectedColour)
{
    ASSERT_EQ(0, Add(L"WWWWWWWW"));
    COwnerDrawList::Scheme scheme = list.GetColors();
    scheme[COwnerDrawList::TextColor] = RGB(255, 255, 0);
    scheme[COwnerDrawList::SelectedTextColor] = RGB(0, 255, 255);
    list.SetColors(scheme);
    PixelCanvas canvas(200, kRowHeight);
    const RECT row{0, 0, 200, kRowHeight};
    DrawRow(canvas, false);
    EXPECT_GT(canvas.Count(RGB(255, 255, 0), row), 0);
    DrawRow(canvas, true);
    EXPECT_GT(canvas.Count(RGB(0, 255, 255), row), 0);
    EXPECT_EQ(0, canvas.Count(RGB(255, 255, 0), row));
}

TEST_F(OwnerDrawListTest, GetItemCopiesOutTheRowsOwnRecord)
{
    int freed = 0;
    ListItemInfo info;
    info.item = 0;
    info.mask = ListItemInfo::Text | ListItemInfo::SubText | ListItemInfo::Data;
    info.text = L"first";
    info.subText = L"second";
    auto data = std::make_unique<CountedData>(freed);
    ListItemData* given = data.get();
    ASSERT_EQ(0, list.AddItem(info, std::move(data)));

    ListItemInfo read;
    read.item = 0;
    read.mask = ListItemInfo::Text | ListItemInfo::SubText | ListItemInfo::Format | ListItemInfo::Data;
    ASSERT_TRUE(list.GetItem(read));
    EXPECT_EQ(L"first", read.text);
    EXPECT_EQ(L"second", read.subText);
    EXPECT_EQ(static_cast<UINT>(DT_NOPREFIX), read.format);
    EXPECT_EQ(given, read.data);
    read.item = 1;
    EXPECT_FALSE(list.GetItem(read));
}

TEST_F(OwnerDrawListTest, EveryRowFreesItsRecordOnceWhetherDeletedResetOrDestroyed)
{
    int freed = 0;
    for (int row = 0; row < 4; ++row) {
        ListItemInfo info;
        info.item = row;
        info.mask = ListItemInfo::Data;
        ASSERT_EQ(row, list.AddItem(info, std::make_unique<CountedData>(freed)));
    }
    SendMessageW(list.m_hWnd, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(1, freed);
    DestroyWindow(list.m_hWnd);
    EXPECT_EQ(4, freed);
}
