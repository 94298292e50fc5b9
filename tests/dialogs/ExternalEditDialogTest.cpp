#include "Viewer/dialogs/ExternalEditDialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/WindowPlacement.h"
#include "Viewer/engine/ImageEntry.h"
#include "tests/dialogs/OwnerRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
EntryRef Picture(const wchar_t* base, const wchar_t* companion)
{
    EntryRef entry = MakeEntry(nullptr, std::wstring(base), nullptr, 0, 1, L"jpg", false);
    if (companion) entry->AddCompanionExtension(companion);
    return entry;
}

std::vector<std::wstring> Lines(const COwnerDrawList& list, int rows)
{
    std::vector<std::wstring> lines;
    for (int row = 0; row < rows; ++row) {
        ListItemInfo info;
        info.item = row;
        info.mask = ListItemInfo::Text | ListItemInfo::SubText;
        list.GetItem(info);
        lines.push_back(info.subText.empty() ? info.text : info.text + L" / " + info.subText);
    }
    return lines;
}

struct MenuItem {
    UINT id;
    std::wstring text;
    bool grey;
};

// The window over a recording stand-in frame, with two editors in the registry (the stand-in editor
// program, which has a version resource, and a program that does not exist) and a JPEG with its raw
// file shown.
class ExternalEditDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\editorprobe.exe").c_str(), probe.c_str(), FALSE));
        for (const std::wstring& path : {probe, std::wstring(L"C:\\Nowhere\\Quick Tool.exe")}) {
            RegKey key;
            key.Create(HKEY_CURRENT_USER, (std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors\\" +
                                           std::to_wstring(editorsWritten++))
                                              .c_str());
            key.SetString(L"Editor", path);
        }
        ASSERT_TRUE(dialog.Create(owner.m_hWnd));
    }
    void TearDown() override { dialog.DestroyWindow(); }

    std::vector<OwnerRecorder::Record> Launches() { return owner.Take(WM_APP_LAUNCH_EDITOR); }

    void ContextMenuOnRow(CEditorWindowList& list, int row, UINT answer)
    {
        RECT bounds{};
        SendMessageW(list.m_hWnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
        POINT point{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(list.m_hWnd, &point);
        m_menuAnswer = answer;
        SendMessageW(list.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.m_hWnd), MAKELPARAM(point.x, point.y));
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox registry;
    RegKey settings = [] {
        RegKey key;
        key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath);
        return key;
    }();
    TempFolder folder;
    const std::wstring probe = folder.File(L"probe.exe");
    int editorsWritten = 0;
    EntryRef shown = Picture(L"C:\\Trip\\IMG 0001", L"cr2");
    OwnerRecorder owner;
    CExternalEditDialog dialog{[this] { return shown.Get(); }, &owner.m_hWnd};

    std::vector<UINT> beeps;
    std::vector<std::wstring> questions;
    std::vector<std::vector<MenuItem>> menus;
    UINT m_menuAnswer = 0;
    ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            questions.push_back(text);
            return IDOK;
        },
        .messageBeep = [this](UINT type) {
            beeps.push_back(type);
            return TRUE;
        },
        .trackPopup = [this](HMENU menu, UINT flags, int, int, HWND) -> BOOL {
            EXPECT_TRUE(flags & TPM_RETURNCMD);
            std::vector<MenuItem> items;
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[260]{};
                GetMenuStringW(menu, i, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
                const UINT id = GetMenuItemID(menu, i);
                items.push_back({id, text, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0});
            }
            menus.push_back(items);
            return static_cast<BOOL>(m_menuAnswer);
        }}};
};

TEST_F(ExternalEditDialogTest, RowsShowTheProgramsNamesAndThePicturesFiles)
{
    EXPECT_EQ((std::vector<std::wstring>{L"Probe Editor / Probe Works", L"Quick Tool"}),
              Lines(dialog.Editors(), dialog.Editors().RowCount()));
    EXPECT_EQ((std::vector<std::wstring>{L"IMG 0001.jpg", L"IMG 0001.cr2"}),
              Lines(dialog.Files(), dialog.Files().RowCount()));
    EXPECT_EQ(0, dialog.Editors().SelectedRow());

    // The selected file row stays when the next picture has it, else the first row is selected.
    SendMessageW(dialog.Files().m_hWnd, LB_SETCURSEL, 1, 0);
    shown = Picture(L"C:\\Trip\\IMG 0002", L"cr2");
    dialog.RefreshFileList();
    EXPECT_EQ(1, dialog.Files().SelectedRow());
    shown = Picture(L"C:\\Trip\\IMG 0003", nullptr);
    dialog.RefreshFileList();
    EXPECT_EQ(0, dialog.Files().SelectedRow());
    shown = EntryRef();
    dialog.RefreshFileList();
    EXPECT_EQ(0, dialog.Files().RowCount());
}

TEST_F(ExternalEditDialogTest, ShortcutsAskTheFrameOnlyForAnEditorAndAFileThatExist)
{
    SendMessageW(dialog.Files().m_hWnd, LB_SETCURSEL, 1, 0);
    dialog.LaunchByShortcut(1);
    const auto launches = Launches();
    ASSERT_EQ(1u, launches.size());
    EXPECT_EQ(1u, launches[0].wParam);
    EXPECT_EQ(1, launches[0].lParam);
    dialog.LaunchByShortcut(2);
    SendMessageW(dialog.Files().m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dialog.LaunchByShortcut(0);
    EXPECT_TRUE(Launches().empty());
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), beeps);

    // With the window closed the frame gets file 0 and does its own checks.
    dialog.DestroyWindow();
    dialog.LaunchByShortcut(7);
    const auto closed = Launches();
    ASSERT_EQ(1u, closed.size());
    EXPECT_EQ(7u, closed[0].wParam);
    EXPECT_EQ(0, closed[0].lParam);
}

TEST_F(ExternalEditDialogTest, AddingAndRemovingEditorsWritesTheListAtOnce)
{
    SendMessageW(dialog.m_hWnd, WM_APP_EDITOR_ADD, reinterpret_cast<WPARAM>(L"C:\\Third\\third.exe"), 0);
    RegKey third;
    ASSERT_EQ(ERROR_SUCCESS, third.Open(HKEY_CURRENT_USER,
                                        (std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors\\2").c_str()));
    EXPECT_EQ(L"C:\\Third\\third.exe", third.QueryString(L"Editor").value_or(L""));
    EXPECT_EQ(0u, third.QueryDword(L"Flags").value_or(9));

    // The menu of the first row: its shortcut, its grey items, and removal after the question.
    ContextMenuOnRow(dialog.Editors(), 0, 0);
    ASSERT_EQ(1u, menus.size());
    ASSERT_EQ(4u, menus[0].size()) << "the separator and Properties are taken out";
    EXPECT_EQ(L"&Open with this editor\tCtrl+F1", menus[0][0].text);
    for (const MenuItem& item : menus[0]) EXPECT_FALSE(item.grey) << item.id;

    SendMessageW(dialog.Editors().m_hWnd, LB_SETCURSEL, 2, 0);
    ContextMenuOnRow(dialog.Editors(), 2, CExternalEditDialog::ID_REMOVE_EDITOR);
    EXPECT_EQ(std::vector<std::wstring>{L"Remove this editor from the list?"}, questions);
    EXPECT_EQ(2, dialog.Editors().RowCount());
    EXPECT_EQ(1, dialog.Editors().SelectedRow()) << "the new last row";
    EXPECT_EQ(2u, LoadEditorRecords().size());
}

TEST_F(ExternalEditDialogTest, ClosingKeepsThePlacementAndTheWindowStaysClosedNextTime)
{
    AppSettings::ShowExternalEditors = 1;
    SendMessageW(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(0u, AppSettings::ShowExternalEditors);
    const std::wstring stored = settings.QueryString(L"ExternalEditDlg").value_or(L"");
    EXPECT_EQ(44u, ParsePlacementText(stored).placement.length);
}
}
