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
#include <shlobj.h>
#include <algorithm>
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

// The ids of a menu's grey items, in menu order.
std::vector<UINT> GreyItems(const std::vector<MenuItem>& menu)
{
    std::vector<UINT> grey;
    for (const MenuItem& item : menu)
        if (item.grey) grey.push_back(item.id);
    return grey;
}

// A Properties sheet or a launch asked of the shell, and whether the window took input meanwhile.
struct ShellCall {
    ULONG mask;
    std::wstring verb;
    std::wstring file;
    int show;
    bool windowEnabled;
};

// What the file-open dialog was asked to show; the filter's pairs joined by "|".
struct OpenRequest {
    std::wstring filter;
    std::wstring title;
    std::wstring folder;
    std::wstring defaultExtension;
    DWORD flags;
    bool windowEnabled;
};

std::wstring JoinedFilter(const wchar_t* filter)
{
    std::wstring joined;
    for (const wchar_t* part = filter; part && *part; part += wcslen(part) + 1)
        joined += (joined.empty() ? L"" : L"|") + std::wstring(part);
    return joined;
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The pixels of image i of the list, drawn on black.
std::vector<DWORD> ImagePixels(HIMAGELIST images, int i)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ImageList_Draw(images, i, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + 32 * 32);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

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

    // Right-clicks the middle of the row; a row past the last one is the empty space where it would be.
    void ContextMenuOnRow(CEditorWindowList& list, int row, UINT answer)
    {
        POINT point{5, 5};
        if (const int rows = list.RowCount(); rows > 0) {
            const int shown = std::min(row, rows - 1);
            RECT bounds{};
            SendMessageW(list.m_hWnd, LB_GETITEMRECT, shown, reinterpret_cast<LPARAM>(&bounds));
            point = {(bounds.left + bounds.right) / 2,
                     (bounds.top + bounds.bottom) / 2 + (row - shown) * (bounds.bottom - bounds.top)};
        }
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

    // Runs the fade timer's ticks until the fade stops.
    void RunFade()
    {
        for (int tick = 0; tick < 100 && dialog.Fade().fadeRunning; ++tick)
            SendMessageW(dialog.m_hWnd, WM_TIMER, dialog.Fade().timerId, 0);
    }

    BYTE Alpha() const
    {
        BYTE alpha = 77;
        DWORD flags = 0;
        GetLayeredWindowAttributes(dialog.m_hWnd, nullptr, &alpha, &flags);
        return alpha;
    }

    std::vector<UINT> beeps;
    std::vector<std::wstring> questions;
    std::vector<std::vector<MenuItem>> menus;
    std::vector<ShellCall> shellCalls;
    std::vector<OpenRequest> openRequests;
    std::wstring m_chosen;  // the file-open dialog's answer; empty: cancelled
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
        .executeWithShell = [this](SHELLEXECUTEINFOW* info) {
            shellCalls.push_back({info->fMask, info->lpVerb ? info->lpVerb : L"", info->lpFile ? info->lpFile : L"",
                                  info->nShow, IsWindowEnabled(dialog.m_hWnd) != FALSE});
            return TRUE;
        },
        .chooseFileToOpen = [this](OPENFILENAMEW* request) -> BOOL {
            openRequests.push_back({JoinedFilter(request->lpstrFilter), request->lpstrTitle ? request->lpstrTitle : L"",
                                    request->lpstrInitialDir ? request->lpstrInitialDir : L"",
                                    request->lpstrDefExt ? request->lpstrDefExt : L"", request->Flags,
                                    IsWindowEnabled(dialog.m_hWnd) != FALSE});
            if (m_chosen.empty() || m_chosen.size() >= request->nMaxFile) return FALSE;
            std::copy(m_chosen.begin(), m_chosen.end(), request->lpstrFile);
            request->lpstrFile[m_chosen.size()] = L'\0';
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
    EXPECT_EQ(13, std::count(stored.begin(), stored.end(), L' ') + 1) << std::string(stored.begin(), stored.end());
}

TEST_F(ExternalEditDialogTest, AStoredPlacementComesBackInsideTheWorkAreaAndAForeignOneIsIgnored)
{
    // Where the window opens without a stored placement: at the owner's right edge.
    dialog.DestroyWindow();
    RegDeleteValueW(settings.Get(), L"ExternalEditDlg");
    ASSERT_TRUE(dialog.Create(owner.m_hWnd));
    const RECT unplaced = WindowRect(dialog.m_hWnd);
    dialog.DestroyWindow();

    settings.SetString(L"ExternalEditDlg", L"44 0 1 -1 -1 -1 -1 5000 4000 5161 4236 96 96");
    ASSERT_TRUE(dialog.Create(owner.m_hWnd));
    const RECT placed = WindowRect(dialog.m_hWnd);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(dialog.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_GE(placed.left, monitor.rcWork.left);
    EXPECT_GE(placed.top, monitor.rcWork.top);
    EXPECT_LE(placed.right, monitor.rcWork.right);
    EXPECT_LE(placed.bottom, monitor.rcWork.bottom);
    EXPECT_EQ(161, placed.right - placed.left) << "moved, not shrunk";
    dialog.DestroyWindow();

    // The first number is the length of the structure it was written from; another length is not ours.
    settings.SetString(L"ExternalEditDlg", L"43 0 1 -1 -1 -1 -1 20 30 181 266 96 96");
    ASSERT_TRUE(dialog.Create(owner.m_hWnd));
    const RECT ignored = WindowRect(dialog.m_hWnd);
    EXPECT_TRUE(EqualRect(&unplaced, &ignored));
}

TEST_F(ExternalEditDialogTest, TheWindowStartsTransparentAndFadesWithTheCursor)
{
    EXPECT_EQ(0, Alpha());
    EXPECT_FLOAT_EQ(0.0f, dialog.Fade().currentOpacity);

    // Away from the window it fades in to its resting opacity.
    const RECT r = WindowRect(dialog.m_hWnd);
    SetCursorPos(r.left >= 100 ? r.left - 100 : r.right + 100, r.top);
    dialog.StartFade();
    EXPECT_TRUE(dialog.Fade().fadeRunning);
    EXPECT_FLOAT_EQ(0.78f, dialog.Fade().targetOpacity);
    RunFade();
    EXPECT_FLOAT_EQ(0.78f, dialog.Fade().currentOpacity);
    EXPECT_EQ(198, Alpha());  // truncate(0.78 x 255)

    // Over its caption it heads for full opacity, and the frame hears of every move over the window,
    // a list's included, with the window's handle.
    owner.Take(WM_APP_FLOATING_MOUSE_MOVE);
    SetCursorPos(r.left + 20, r.top + 5);
    SendMessageW(dialog.m_hWnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 5));
    EXPECT_TRUE(dialog.Fade().hovering);
    EXPECT_FLOAT_EQ(1.0f, dialog.Fade().targetOpacity);
    SendMessageW(dialog.Files().m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(dialog.Editors().m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const auto moves = owner.Take(WM_APP_FLOATING_MOUSE_MOVE);
    ASSERT_GE(moves.size(), 3u) << "the real cursor's moves may come in addition";
    for (const OwnerRecorder::Record& move : moves) EXPECT_EQ(reinterpret_cast<WPARAM>(dialog.m_hWnd), move.wParam);

    // Leaving the caption waits longer for the first tick of the way down.
    RunFade();
    SendMessageW(dialog.m_hWnd, WM_NCMOUSELEAVE, 0, 0);
    EXPECT_FALSE(dialog.Fade().hovering);
    EXPECT_TRUE(dialog.Fade().fadeRunning);
    EXPECT_TRUE(dialog.Fade().delayedFirstTick);

    // The caption has no menu.
    SendMessageW(dialog.m_hWnd, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(r.left + 20, r.top + 5));
    owner.Take(WM_CONTEXTMENU);
    EXPECT_TRUE(menus.empty());

    // Closed while fading, it opens again transparent.
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.Fade().fadeRunning);
    EXPECT_FLOAT_EQ(0.0f, dialog.Fade().currentOpacity);
    ASSERT_TRUE(dialog.Create(owner.m_hWnd));
    EXPECT_EQ(0, Alpha());
    EXPECT_FALSE(dialog.Fade().hovering);
}

TEST_F(ExternalEditDialogTest, TheFileMenuOpensTheSelectedFilesPropertiesAndAsksForTheSelectedEditor)
{
    // Without a row both items are grey; without a selected editor the first one is.
    SendMessageW(dialog.Editors().m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ContextMenuOnRow(dialog.Files(), 2, 0);
    ContextMenuOnRow(dialog.Files(), 1, 0);
    ASSERT_EQ(2u, menus.size());
    EXPECT_EQ((std::vector<UINT>{CExternalEditDialog::ID_OPEN_WITH_EDITOR, CExternalEditDialog::ID_FILE_PROPERTIES}),
              GreyItems(menus[0]));
    EXPECT_EQ(std::vector<UINT>{CExternalEditDialog::ID_OPEN_WITH_EDITOR}, GreyItems(menus[1]));

    // Properties: the shell's sheet of the selected file, with the window disabled meanwhile.
    SendMessageW(dialog.Files().m_hWnd, LB_SETCURSEL, 1, 0);
    ContextMenuOnRow(dialog.Files(), 1, CExternalEditDialog::ID_FILE_PROPERTIES);
    ASSERT_EQ(1u, shellCalls.size());
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_INVOKEIDLIST), shellCalls[0].mask);
    EXPECT_EQ(L"properties", shellCalls[0].verb);
    EXPECT_EQ(L"C:\\Trip\\IMG 0001.cr2", shellCalls[0].file);
    EXPECT_EQ(SW_SHOWNORMAL, shellCalls[0].show);
    EXPECT_FALSE(shellCalls[0].windowEnabled);
    EXPECT_TRUE(IsWindowEnabled(dialog.m_hWnd));
    SendMessageW(dialog.m_hWnd, WM_APP_EDITOR_PROPERTIES, 2, 0);
    EXPECT_EQ(1u, shellCalls.size()) << "a file row past the list opens nothing";

    // Open: the selected editor on the row under the cursor, asked of the frame.
    SendMessageW(dialog.Editors().m_hWnd, LB_SETCURSEL, 1, 0);
    ContextMenuOnRow(dialog.Files(), 0, CExternalEditDialog::ID_OPEN_WITH_EDITOR);
    EXPECT_TRUE(GreyItems(menus.back()).empty());
    const auto asked = owner.Take(WM_APP_LAUNCH_EDITOR_FROM_LIST);
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(1u, asked[0].wParam);
    EXPECT_EQ(0, asked[0].lParam);

    // The window's own checks beep and ask nothing: a file row past the list, no editor selected.
    SendMessageW(dialog.m_hWnd, WM_APP_LAUNCH_EDITOR_FROM_LIST, 2, 0);
    SendMessageW(dialog.Editors().m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendMessageW(dialog.m_hWnd, WM_APP_LAUNCH_EDITOR_FROM_LIST, 0, 0);
    EXPECT_TRUE(owner.Take(WM_APP_LAUNCH_EDITOR_FROM_LIST).empty());
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), beeps);
    EXPECT_TRUE(questions.empty());
}

TEST_F(ExternalEditDialogTest, AnEditorChosenInTheFileOpenDialogStartsAnEmptyListAtKeyZero)
{
    // Removing the only row leaves no selection and no key.
    ContextMenuOnRow(dialog.Editors(), 1, CExternalEditDialog::ID_REMOVE_EDITOR);
    ContextMenuOnRow(dialog.Editors(), 0, CExternalEditDialog::ID_REMOVE_EDITOR);
    EXPECT_EQ(0, dialog.Editors().RowCount());
    EXPECT_EQ(LB_ERR, dialog.Editors().SelectedRow());
    EXPECT_TRUE(LoadEditorRecords().empty());

    // On empty space only Add is offered; a cancelled file-open dialog adds nothing.
    menus.clear();
    ContextMenuOnRow(dialog.Editors(), 0, CExternalEditDialog::ID_ADD_EDITOR);
    ASSERT_EQ(1u, menus.size());
    EXPECT_EQ((std::vector<UINT>{CExternalEditDialog::ID_OPEN_WITH_EDITOR, CExternalEditDialog::ID_REMOVE_EDITOR,
                                 CExternalEditDialog::ID_CHANGE_EDITOR}),
              GreyItems(menus[0]));
    EXPECT_EQ(L"&Open with this editor", menus[0][0].text) << "no shortcut without a row";
    ASSERT_EQ(1u, openRequests.size());
    wchar_t programFiles[MAX_PATH]{};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    EXPECT_EQ(L"Programs (*.exe)|*.exe|All files (*.*)|*.*", openRequests[0].filter);
    EXPECT_EQ(L"Choose an editor program", openRequests[0].title);
    EXPECT_EQ(std::wstring(programFiles), openRequests[0].folder);
    EXPECT_EQ(L".exe", openRequests[0].defaultExtension);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_FILEMUSTEXIST), openRequests[0].flags);
    EXPECT_FALSE(openRequests[0].windowEnabled);
    EXPECT_TRUE(IsWindowEnabled(dialog.m_hWnd));
    EXPECT_EQ(0, dialog.Editors().RowCount());

    m_chosen = probe;
    ContextMenuOnRow(dialog.Editors(), 0, CExternalEditDialog::ID_ADD_EDITOR);
    RegKey first;
    ASSERT_EQ(ERROR_SUCCESS, first.Open(HKEY_CURRENT_USER,
                                        (std::wstring(AppSettings::KeyPath) + L"\\ExternalEditors\\0").c_str()));
    EXPECT_EQ(probe, first.QueryString(L"Editor").value_or(L""));
    EXPECT_EQ(0u, first.QueryDword(L"Flags").value_or(9));
    EXPECT_EQ(std::vector<std::wstring>{L"Probe Editor / Probe Works"}, Lines(dialog.Editors(), 1));

    // With a row but no file selected, Open is grey and the rest is offered.
    SendMessageW(dialog.Files().m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ContextMenuOnRow(dialog.Editors(), 0, 0);
    EXPECT_EQ(std::vector<UINT>{CExternalEditDialog::ID_OPEN_WITH_EDITOR}, GreyItems(menus.back()));
}

TEST_F(ExternalEditDialogTest, AProgramWithoutIconsShowsTheViewersEditorIcon)
{
    // This test program carries the program file's icons, its own first: it stands for an editor with icons.
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SendMessageW(dialog.m_hWnd, WM_APP_EDITOR_ADD, reinterpret_cast<WPARAM>(self), 0);
    ASSERT_EQ(3, ImageList_GetImageCount(dialog.Icons())) << "one icon a row, in row order";

    HIMAGELIST expected = ImageList_Create(32, 32, ILC_COLOR32, 1, 1);
    HICON fallback = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(248), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(nullptr, fallback);
    ImageList_AddIcon(expected, fallback);
    DestroyIcon(fallback);
    const std::vector<DWORD> editorIcon = ImagePixels(expected, 0);
    ImageList_Destroy(expected);

    EXPECT_EQ(editorIcon, ImagePixels(dialog.Icons(), 0)) << "the stand-in editor has no icon";
    EXPECT_EQ(editorIcon, ImagePixels(dialog.Icons(), 1)) << "a program that is not there";
    EXPECT_NE(editorIcon, ImagePixels(dialog.Icons(), 2)) << "a program with an icon shows its own";
}
}
