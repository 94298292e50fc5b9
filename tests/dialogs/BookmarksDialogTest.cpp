#include "Viewer/dialogs/BookmarksDialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/WindowPlacement.h"
#include "tests/dialogs/OwnerRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
EntryRef Entry(const wchar_t* base)
{
    return MakeEntry(nullptr, std::wstring(base), nullptr, 0, 1, L"jpg", false);
}

struct MenuItemState {
    UINT id;
    bool grey;
};

// The dialog over a recording stand-in frame, with a store of three bookmarks: two with a picture
// and "gone" whose picture is not listed. Beeps, message boxes and menus are answered here.
class BookmarksDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        SetSelectedBookmarkName(nullptr);
        {
            CriticalSectionScope lock(store.Lock());
            store.Load(L"C:\\Trip\\Bookmarks.lmf", {{L"C:\\Trip\\gone", L"gone"}});
            store.SetEntryBookmark(beach.Get(), L"Beach");
            store.SetEntryBookmark(dunes.Get(), L"Dunes");
        }
        ASSERT_TRUE(dialog.Create(frame.m_hWnd));
        list = GetDlgItem(dialog.m_hWnd, CBookmarksDialog::IDC_BOOKMARK_LIST);
        ASSERT_TRUE(list);
    }

    void TearDown() override
    {
        dialog.DestroyWindow();
        SetSelectedBookmarkName(nullptr);
    }

    LRESULT Notify(NMHDR& header, UINT code)
    {
        header.hwndFrom = list;
        header.idFrom = CBookmarksDialog::IDC_BOOKMARK_LIST;
        header.code = code;
        return SendMessageW(dialog.m_hWnd, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    void DoubleClick(int row)
    {
        NMITEMACTIVATE activate{};
        activate.iItem = row;
        Notify(activate.hdr, NM_DBLCLK);
    }

    LRESULT EndEdit(int row, const wchar_t* text)
    {
        std::wstring buffer = text ? text : L"";
        NMLVDISPINFOW info{};
        info.item.iItem = row;
        info.item.pszText = text ? buffer.data() : nullptr;
        return Notify(info.hdr, LVN_ENDLABELEDITW);
    }

    std::wstring RowText(int row)
    {
        wchar_t text[128]{};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int SelectedRow() { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

    // The row's tip; "untouched" when the dialog leaves the tip buffer alone.
    std::wstring InfoTip(int row)
    {
        wchar_t text[260] = L"untouched";
        NMLVGETINFOTIPW tip{};
        tip.pszText = text;
        tip.cchTextMax = static_cast<int>(std::size(text));
        tip.iItem = row;
        Notify(tip.hdr, LVN_GETINFOTIPW);
        return text;
    }

    std::vector<CImageEntry*> ShownEntries()
    {
        std::vector<CImageEntry*> entries;
        for (const OwnerRecorder::Record& record : frame.Take(WM_APP_GO_TO_ENTRY))
            entries.push_back(reinterpret_cast<CImageEntry*>(record.wParam));
        return entries;
    }

    // Right-clicks the row's middle; the menu is answered with answer.
    void ContextMenuOn(int row, UINT answer)
    {
        RECT bounds{};
        ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
        POINT point{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        if (row < 0) point = {5, 150};
        ClientToScreen(list, &point);
        m_menuAnswer = answer;
        SendMessageW(dialog.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(point.x, point.y));
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox registry;
    RegKey settings = [] {
        RegKey key;
        key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath);
        return key;
    }();
    EntryRef beach = Entry(L"C:\\Trip\\a");
    EntryRef dunes = Entry(L"C:\\Trip\\b");
    CBookmarkStore store;
    OwnerRecorder frame;
    CBookmarksDialog dialog{store};
    HWND list = nullptr;

    std::vector<UINT> beeps;
    std::vector<std::wstring> questions;
    std::vector<std::vector<MenuItemState>> menus;
    int m_boxAnswer = IDOK;
    UINT m_menuAnswer = 0;
    ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            questions.push_back(std::wstring(caption) + L"|" + text);
            EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION), type);
            return m_boxAnswer;
        },
        .messageBeep = [this](UINT type) {
            beeps.push_back(type);
            return TRUE;
        },
        .trackPopup = [this](HMENU menu, UINT flags, int, int, HWND owner) -> BOOL {
            EXPECT_TRUE(flags & TPM_RETURNCMD);
            EXPECT_EQ(list, owner);
            std::vector<MenuItemState> items;
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                const UINT id = GetMenuItemID(menu, i);
                if (id != 0 && id != static_cast<UINT>(-1))
                    items.push_back({id, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0});
            }
            menus.push_back(items);
            return static_cast<BOOL>(m_menuAnswer);
        }}};
};

TEST_F(BookmarksDialogTest, NamesAreListedInNaturalOrder)
{
    CriticalSectionScope lock(store.Lock());
    EntryRef nine = Entry(L"C:\\Trip\\9");
    EntryRef ten = Entry(L"C:\\Trip\\10");
    EntryRef two = Entry(L"C:\\Trip\\2");
    store.ClearBookmarks();
    store.SetEntryBookmark(ten.Get(), L"IMG 10");
    store.SetEntryBookmark(nine.Get(), L"IMG 9");
    store.SetEntryBookmark(two.Get(), L"img 2");
    dialog.RefreshBookmarkList();
    EXPECT_EQ((std::vector<std::wstring>{L"img 2", L"IMG 9", L"IMG 10"}), dialog.Shown().names);
    EXPECT_EQ(3, ListView_GetItemCount(list));
    EXPECT_EQ(L"IMG 9", RowText(1));
}

TEST_F(BookmarksDialogTest, AnEmptyListSaysSo)
{
    store.ClearBookmarks();
    dialog.RefreshBookmarkList();
    EXPECT_EQ(0, ListView_GetItemCount(list));
    // The platform's list never asks under Wine: the notification is sent here.
    NMLVEMPTYMARKUP markup{};
    EXPECT_EQ(TRUE, Notify(markup.hdr, LVN_GETEMPTYMARKUP));
    EXPECT_STREQ(L"No bookmarks yet.", markup.szMarkup);
}

TEST_F(BookmarksDialogTest, TheListSelectsTheShownPicturesBookmarkWithoutAskingForIt)
{
    // Order: Beach, Dunes, gone.
    SetSelectedBookmarkName(L"Dunes");
    dialog.RefreshBookmarkList();
    EXPECT_EQ(1, SelectedRow());
    SetSelectedBookmarkName(L"Nowhere");
    dialog.RefreshBookmarkList();
    EXPECT_EQ(1, SelectedRow()) << "a name not listed leaves the selection";
    EXPECT_TRUE(ShownEntries().empty());
}

TEST_F(BookmarksDialogTest, SelectingOrDoubleClickingARowAsksTheFrameToShowItsPicture)
{
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    DoubleClick(1);
    EXPECT_EQ((std::vector<CImageEntry*>{beach.Get(), dunes.Get()}), ShownEntries());
    DoubleClick(2);
    DoubleClick(7);
    EXPECT_TRUE(ShownEntries().empty());
    EXPECT_EQ(std::vector<UINT>{MB_ICONHAND}, beeps) << "only the bookmark without picture beeps";

    // A bookmark without picture has no tip; one with a picture shows its files.
    EXPECT_EQ(L"", InfoTip(2));
    EXPECT_EQ(L"C:\\Trip\\a.jpg", InfoTip(0));
}

TEST_F(BookmarksDialogTest, ABookmarkWithoutPictureIsDrawnGreyAndCannotBeRenamed)
{
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(CDRF_NOTIFYITEMDRAW, Notify(draw.nmcd.hdr, NM_CUSTOMDRAW));
    struct Row {
        DWORD_PTR row;
        COLORREF text;
    };
    constexpr COLORREF untouched = RGB(1, 2, 3);
    for (const Row& expected : {Row{0, untouched}, Row{2, GetSysColor(COLOR_GRAYTEXT)}, Row{9, untouched}}) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = expected.row;
        draw.clrText = untouched;
        EXPECT_EQ(CDRF_DODEFAULT, Notify(draw.nmcd.hdr, NM_CUSTOMDRAW)) << expected.row;
        EXPECT_EQ(expected.text, draw.clrText) << expected.row;
    }

    NMLVDISPINFOW edit{};
    edit.item.iItem = 2;
    EXPECT_EQ(TRUE, Notify(edit.hdr, LVN_BEGINLABELEDITW)) << "refused";
    edit.item.iItem = 0;
    EXPECT_EQ(FALSE, Notify(edit.hdr, LVN_BEGINLABELEDITW));
    EndEdit(0, nullptr);
}

TEST_F(BookmarksDialogTest, RenamingTrimsTheNameAndRefusesNamesThatCannotBeKept)
{
    EXPECT_EQ(0, EndEdit(0, L"  Sunset  "));
    EXPECT_EQ(L"Sunset", std::wstring(beach->GetBookmarkName().View()));
    EXPECT_EQ(L"Sunset", std::wstring(SelectedBookmarkName().View()));
    EXPECT_TRUE(store.Changed());
    dialog.RefreshBookmarkList();
    EXPECT_EQ((std::vector<std::wstring>{L"Dunes", L"gone", L"Sunset"}), dialog.Shown().names);

    EndEdit(0, L"   ");
    EndEdit(0, nullptr);
    EXPECT_TRUE(beeps.empty()) << "blanks or a cancelled edit change nothing";

    EndEdit(0, L"Sunset");
    EXPECT_EQ(L"Dunes", std::wstring(dunes->GetBookmarkName().View())) << "the name is taken";
    EndEdit(1, L"Found");
    EXPECT_EQ((std::vector<UINT>{MB_ICONHAND, MB_ICONHAND}), beeps);
    dialog.RefreshBookmarkList();
    EXPECT_EQ((std::vector<std::wstring>{L"Dunes", L"gone", L"Sunset"}), dialog.Shown().names);
}

TEST_F(BookmarksDialogTest, TheRowMenuShowsRenamesAndRemovesAfterConfirmation)
{
    ContextMenuOn(-1, 0);
    EXPECT_TRUE(menus.empty()) << "no menu on empty space";

    ContextMenuOn(2, 32845);
    ASSERT_EQ(1u, menus.size());
    EXPECT_EQ(3u, menus[0].size());
    for (const MenuItemState& item : menus[0]) EXPECT_EQ(item.id != 32872, item.grey) << item.id;
    EXPECT_EQ(std::vector<UINT>{MB_ICONHAND}, beeps);

    ContextMenuOn(1, 32845);
    for (const MenuItemState& item : menus[1]) EXPECT_FALSE(item.grey) << item.id;
    EXPECT_EQ(std::vector<CImageEntry*>{dunes.Get()}, ShownEntries());

    m_boxAnswer = IDCANCEL;
    ContextMenuOn(1, 32872);
    EXPECT_EQ(3u, store.Names().size());
    m_boxAnswer = IDOK;
    ContextMenuOn(2, 32872);
    EXPECT_EQ((std::vector<std::wstring>{L"Remove bookmark|Remove this bookmark?",
                                         L"Remove bookmark|Remove this bookmark?"}),
              questions);
    dialog.RefreshBookmarkList();
    EXPECT_EQ((std::vector<std::wstring>{L"Beach", L"Dunes"}), dialog.Shown().names);
    EXPECT_EQ(2, ListView_GetItemCount(list));
}

TEST_F(BookmarksDialogTest, AfterAFolderChangeNothingReachesAnEntryOfTheOldList)
{
    store.ClearBookmarks();
    EXPECT_EQ(L"", InfoTip(0)) << "no tip from a picture of the old folder";
    DoubleClick(0);
    ContextMenuOn(0, 32845);
    EXPECT_EQ(L"", std::wstring(beach->GetBookmarkName().View()));
    EndEdit(0, L"Late");
    EXPECT_TRUE(ShownEntries().empty());
    EXPECT_TRUE(menus.empty());
    EXPECT_TRUE(beeps.empty());
    EXPECT_TRUE(dialog.Shown().names.empty());
}

TEST_F(BookmarksDialogTest, ClosingKeepsThePlacementForTheNextTime)
{
    AppSettings::ShowBookmarkList = 1;
    SetWindowPos(dialog.m_hWnd, nullptr, 200, 150, 150, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT before{};
    GetWindowRect(dialog.m_hWnd, &before);
    SendMessageW(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(0u, AppSettings::ShowBookmarkList);
    const std::wstring stored = settings.QueryString(L"BookmarksDlgEx").value_or(L"");
    EXPECT_EQ(44u, ParsePlacementText(stored).placement.length) << std::string(stored.begin(), stored.end());

    ASSERT_TRUE(dialog.Create(frame.m_hWnd));
    RECT after{};
    GetWindowRect(dialog.m_hWnd, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
}
}
