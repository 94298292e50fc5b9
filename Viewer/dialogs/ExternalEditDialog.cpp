#include "Viewer/dialogs/ExternalEditDialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueMenu.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/WindowPlacement.h"
#include "Viewer/dialogs/CompanionFiles.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/dialogs/EditorRowText.h"
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>
#undef SubclassWindow
#include <algorithm>

namespace {
constexpr const wchar_t* PlacementValue = L"ExternalEditDlg";
constexpr UINT EditorMenu = 246;
constexpr UINT FileMenu = 247;
constexpr UINT RemoveQuestion = 10187;
constexpr UINT ProgramFilter = 10184;
constexpr UINT ChooseTitle = 10185;
constexpr UINT MessageTitle = 100;
constexpr UINT NoIconProgramIcon = 248;
constexpr int FontTenths = 85;
constexpr int ShortcutCount = 12;
constexpr COLORREF DarkText = RGB(16, 16, 16);

struct EditorRowData : ListItemData {
    explicit EditorRowData(EditorRecord value) : record(std::move(value)) {}
    EditorRecord record;
};

SIZE TextSize(HWND window, HFONT font, const wchar_t* text)
{
    SIZE size{};
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size;
}

// The light selection of both lists, on their system window background.
void ApplyLightScheme(COwnerDrawList& list, LONG corner)
{
    COwnerDrawList::Scheme scheme = list.GetColors();
    scheme[COwnerDrawList::TextColor] = DarkText;
    scheme[COwnerDrawList::SubTextColor] = DarkText;
    scheme[COwnerDrawList::SelectedTextColor] = DarkText;
    scheme[COwnerDrawList::BorderColor] = RGB(199, 240, 253);
    scheme[COwnerDrawList::RoundedFillColor] = RGB(233, 250, 254);
    scheme[COwnerDrawList::GradientTopColor] = RGB(233, 247, 254);
    scheme[COwnerDrawList::SelectionColor] = RGB(178, 231, 250);
    scheme[COwnerDrawList::TextMarginX] = 3;
    scheme[COwnerDrawList::CornerWidth] = corner;
    scheme[COwnerDrawList::CornerHeight] = corner;
    list.SetColors(scheme);
}

HICON ProgramIcon(const std::wstring& path)
{
    HICON icon = nullptr;
    if (ExtractIconExW(path.c_str(), 0, &icon, nullptr, 1) == 1 && icon) return icon;
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(NoIconProgramIcon), IMAGE_ICON, 32, 32, 0));
}
}

int CEditorWindowList::RowAt(POINT screen) const
{
    ScreenToClient(m_hWnd, &screen);
    const LRESULT hit = SendMessageW(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(screen.x, screen.y));
    if (hit < 0 || HIWORD(hit) != 0) return -1;
    return LOWORD(hit) < RowCount() ? LOWORD(hit) : -1;
}

int CEditorWindowList::SelectedRow() const
{
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0));
}

int CEditorWindowList::RowCount() const
{
    return static_cast<int>(SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0));
}

LRESULT CEditorWindowList::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
{
    SendMessageW(GetParent(m_hWnd), WM_APP_FLOATING_MOUSE_MOVE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    handled = FALSE;
    return 0;
}

LRESULT CEditorWindowList::OnRightButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(m_hWnd, &point);
    const int row = RowAt(point);
    if (row >= 0) SendMessageW(m_hWnd, LB_SETCURSEL, row, 0);
    handled = FALSE;
    return 0;
}

LRESULT CEditorWindowList::OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessageW(GetParent(m_hWnd), message, wParam, lParam);
}

LRESULT CEditorWindowList::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (showMenu) showMenu(RowAt(screen), screen);
    return 0;
}

CExternalEditDialog::CExternalEditDialog(std::function<CImageEntry*()> currentEntry, const HWND* frame)
    : m_currentEntry(std::move(currentEntry)), m_frame(frame)
{
    m_editors.showMenu = [this](int row, POINT screen) { ShowEditorMenu(row, screen); };
    m_files.showMenu = [this](int row, POINT screen) { ShowFileMenu(row, screen); };
}

LRESULT CExternalEditDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    // Fully transparent: the fade brings the window in.
    m_fade.Reset(m_hWnd);
    SetLayeredWindowAttributes(m_hWnd, 0, 0, LWA_ALPHA);
    HDC dc = GetDC(m_hWnd);
    const int width = MulDiv(161, GetDeviceCaps(dc, LOGPIXELSX), 96);
    const int height = MulDiv(202, GetDeviceCaps(dc, LOGPIXELSY), 96);
    ReleaseDC(m_hWnd, dc);
    RECT client{};
    GetClientRect(*m_frame, &client);
    MapWindowPoints(*m_frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SetWindowPos(m_hWnd, nullptr, client.right - 8 - width, (client.top + client.bottom) / 2 - height / 2, width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW);
    RestoreWindowPlacement(m_hWnd, PlacementValue);

    m_fileFont.reset(CreateSkinFont(m_hWnd, FontTenths, FW_NORMAL));
    m_detailFont.reset(CreateSkinFont(m_hWnd, FontTenths, FW_NORMAL));
    m_titleFont.reset(CreateSkinFont(m_hWnd, FontTenths, FW_BOLD));
    const SIZE detail = TextSize(m_hWnd, m_detailFont.get(), L"EM");
    const SIZE title = TextSize(m_hWnd, m_titleFont.get(), L"EM");

    m_files.SubclassWindow(GetDlgItem(m_hWnd, IDC_FILE_LIST));
    ApplyLightScheme(m_files, 5);
    m_files.SetFont(m_fileFont.get());
    m_files.AddItem({0, ListItemInfo::Text | ListItemInfo::Format, 0, DT_WORDBREAK | DT_NOPREFIX, L"EM"});
    RECT row{};
    SendMessageW(m_files.m_hWnd, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    m_fileListHeight = 3 * (row.bottom - row.top) + 1;
    m_gap = (GetSystemMetrics(SM_CYSIZEFRAME) * 2 + 1) / 3;
    SendMessageW(m_files.m_hWnd, LB_RESETCONTENT, 0, 0);

    m_editors.SubclassWindow(GetDlgItem(m_hWnd, IDC_EDITOR_LIST));
    ApplyLightScheme(m_editors, 8);
    COwnerDrawList::Scheme scheme = m_editors.GetColors();
    scheme[COwnerDrawList::RowMarginX] = 0;
    scheme[COwnerDrawList::RowMarginY] = 1;
    scheme[COwnerDrawList::TextMarginX] = title.cx / 2;
    scheme[COwnerDrawList::SubTextInset] = title.cx / 2;
    scheme[COwnerDrawList::SubTextOffset] = title.cy / 4;
    m_editors.SetColors(scheme);
    m_editors.SetFont(m_detailFont.get());
    SendMessageW(m_editors.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.get()), TRUE);
    SendMessageW(m_editors.m_hWnd, LB_SETITEMHEIGHT, 0, std::max<LONG>(36, detail.cy + title.cy / 4 + title.cy + 18));

    m_icons = ImageList_Create(32, 32, ILC_COLOR32, 16, 1);
    m_editors.SetImageList(m_icons);
    LoadEditors();
    SendMessageW(m_editors.m_hWnd, LB_SETCURSEL, 0, 0);
    Layout();
    RefreshFileList();
    return TRUE;
}

void CExternalEditDialog::Layout()
{
    if (!m_files.m_hWnd || !m_editors.m_hWnd) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
    SetWindowPos(m_files.m_hWnd, nullptr, 0, 0, client.right, m_fileListHeight, flags);
    const int top = m_fileListHeight + m_gap;
    SetWindowPos(m_editors.m_hWnd, nullptr, 0, top, client.right, std::max<LONG>(0, client.bottom - top), flags);
}

LRESULT CExternalEditDialog::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    Layout();
    return 0;
}

LRESULT CExternalEditDialog::OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessageW(*m_frame, message, wParam, lParam);
}

LRESULT CExternalEditDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    m_fade.Reset(m_hWnd);
    SaveWindowPlacement(m_hWnd, PlacementValue);
    AppSettings::ShowExternalEditors = 0;
    m_editors.SetImageList(nullptr);
    if (m_icons) ImageList_Destroy(m_icons);
    m_icons = nullptr;
    return 0;
}

void CExternalEditDialog::LoadEditors()
{
    ImageList_RemoveAll(m_icons);
    SendMessageW(m_editors.m_hWnd, LB_RESETCONTENT, 0, 0);
    for (EditorRecord& editor : LoadEditorRecords()) AddEditorRow(editor.path, editor.flags);
}

void CExternalEditDialog::AddEditorRow(const std::wstring& path, DWORD flags)
{
    if (path.empty()) return;
    if (HICON icon = ProgramIcon(path)) {
        ImageList_AddIcon(m_icons, icon);
        DestroyIcon(icon);
    }
    const EditorRowText text = MakeEditorRowText(path);
    ListItemInfo info;
    info.item = m_editors.RowCount();
    info.mask = ListItemInfo::Text | ListItemInfo::SubText | ListItemInfo::Image | ListItemInfo::Style |
                ListItemInfo::Format | ListItemInfo::Data;
    info.style = ListItemInfo::RoundedSelection;
    info.format = DT_WORDBREAK | DT_NOPREFIX;
    info.text = text.title;
    info.subText = text.detail;
    info.image = info.item;
    m_editors.AddItem(info, std::make_unique<EditorRowData>(EditorRecord{flags, path}));
}

std::vector<EditorRecord> CExternalEditDialog::EditorRows() const
{
    std::vector<EditorRecord> rows;
    for (int row = 0; row < m_editors.RowCount(); ++row) {
        ListItemInfo info;
        info.item = row;
        info.mask = ListItemInfo::Data;
        if (m_editors.GetItem(info))
            if (const auto* data = dynamic_cast<const EditorRowData*>(info.data)) rows.push_back(data->record);
    }
    return rows;
}

void CExternalEditDialog::SaveEditors() const
{
    SaveEditorRecords(EditorRows());
}

LRESULT CExternalEditDialog::OnEditorAdd(UINT, WPARAM path, LPARAM, BOOL&)
{
    if (!path) return 0;
    AddEditorRow(reinterpret_cast<const wchar_t*>(path), 0);
    SaveEditors();
    return 0;
}

LRESULT CExternalEditDialog::OnEditorRemove(UINT, WPARAM row, LPARAM, BOOL&)
{
    if (row >= static_cast<WPARAM>(m_editors.RowCount())) return 0;
    SendMessageW(m_editors.m_hWnd, LB_DELETESTRING, row, 0);
    SaveEditors();
    LoadEditors();
    if (SendMessageW(m_editors.m_hWnd, LB_SETCURSEL, row, 0) == LB_ERR && row > 0)
        SendMessageW(m_editors.m_hWnd, LB_SETCURSEL, row - 1, 0);
    return 0;
}

LRESULT CExternalEditDialog::OnEditorChanged(UINT, WPARAM row, LPARAM, BOOL&)
{
    if (row < static_cast<WPARAM>(m_editors.RowCount())) SaveEditors();
    return 0;
}

void CExternalEditDialog::LaunchByShortcut(int editor)
{
    if (!IsWindow()) {
        PostMessageW(*m_frame, WM_APP_LAUNCH_EDITOR, static_cast<WPARAM>(editor), 0);
        return;
    }
    const int file = m_files.SelectedRow();
    if (editor < 0 || editor >= m_editors.RowCount() || file < 0) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    PostMessageW(*m_frame, WM_APP_LAUNCH_EDITOR, static_cast<WPARAM>(editor), file);
}

LRESULT CExternalEditDialog::OnLaunchEditor(UINT, WPARAM editor, LPARAM, BOOL&)
{
    LaunchByShortcut(static_cast<int>(editor));
    return 0;
}

LRESULT CExternalEditDialog::OnLaunchFromList(UINT, WPARAM file, LPARAM, BOOL&)
{
    const int editor = m_editors.SelectedRow();
    if (file >= static_cast<WPARAM>(m_files.RowCount()) || editor < 0) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    PostMessageW(*m_frame, WM_APP_LAUNCH_EDITOR_FROM_LIST, static_cast<WPARAM>(editor), static_cast<LPARAM>(file));
    return 0;
}

LRESULT CExternalEditDialog::OnProperties(UINT, WPARAM file, LPARAM, BOOL&)
{
    if (file >= static_cast<WPARAM>(m_files.RowCount())) return 0;
    const std::wstring path = CompanionFilePath(m_currentEntry(), static_cast<size_t>(m_files.SelectedRow()));
    if (path.empty()) return 0;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = L"properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    ExecuteWithShell(&info);
    return 0;
}

LRESULT CExternalEditDialog::OnDoubleClick(WORD, WORD, HWND, BOOL&)
{
    LaunchByShortcut(m_editors.SelectedRow());
    return 0;
}

LRESULT CExternalEditDialog::OnClose(WORD, WORD, HWND, BOOL&)
{
    DestroyWindow();
    return 0;
}

void CExternalEditDialog::RefreshFileList()
{
    if (!m_files.m_hWnd) return;
    const int selected = m_files.SelectedRow();
    SendMessageW(m_files.m_hWnd, LB_RESETCONTENT, 0, 0);
    const std::vector<std::wstring> names = CompanionFileNames(m_currentEntry());
    for (const std::wstring& name : names)
        m_files.AddItem({m_files.RowCount(), ListItemInfo::Text | ListItemInfo::Format, 0, DT_WORDBREAK | DT_NOPREFIX, name});
    if (names.empty()) return;
    if (selected < 0 || SendMessageW(m_files.m_hWnd, LB_SETCURSEL, selected, 0) == LB_ERR)
        SendMessageW(m_files.m_hWnd, LB_SETCURSEL, 0, 0);
}

void CExternalEditDialog::SendDisabled(UINT message, WPARAM wParam)
{
    EnableWindow(m_hWnd, FALSE);
    SendMessageW(m_hWnd, message, wParam, 0);
    EnableWindow(m_hWnd, TRUE);
}

void CExternalEditDialog::ShowEditorMenu(int row, POINT screen)
{
    const UniqueMenu menu(LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(EditorMenu)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    SetMenuDefaultItem(popup, ID_OPEN_WITH_EDITOR, FALSE);
    if (row >= 0) {
        wchar_t text[260]{};
        GetMenuStringW(popup, ID_OPEN_WITH_EDITOR, text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
        std::wstring label = std::wstring(text) + L"\tCtrl+F" + std::to_wstring(row + 1);
        label.resize(std::min<size_t>(label.size(), std::size(text) - 1));
        if (row < ShortcutCount) ModifyMenuW(popup, ID_OPEN_WITH_EDITOR, MF_BYCOMMAND | MF_STRING, ID_OPEN_WITH_EDITOR, label.c_str());
    }
    const bool hasRow = row >= 0;
    EnableMenuItem(popup, ID_OPEN_WITH_EDITOR, MF_BYCOMMAND | (hasRow && m_files.SelectedRow() >= 0 ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_ADD_EDITOR, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(popup, ID_REMOVE_EDITOR, MF_BYCOMMAND | (hasRow ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_CHANGE_EDITOR, MF_BYCOMMAND | (hasRow ? MF_ENABLED : MF_GRAYED));
    DeleteMenu(popup, 4, MF_BYPOSITION);
    DeleteMenu(popup, 4, MF_BYPOSITION);
    switch (static_cast<UINT>(TrackPopup(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, m_editors.m_hWnd))) {
    case ID_OPEN_WITH_EDITOR:
        SendDisabled(WM_APP_LAUNCH_EDITOR, static_cast<WPARAM>(row));
        break;
    case ID_ADD_EDITOR:
        AddEditor();
        break;
    case ID_REMOVE_EDITOR:
        if (ShowMessageBox(m_editors.m_hWnd, LoadUiString(RemoveQuestion).c_str(), LoadUiString(MessageTitle).c_str(),
                           MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            SendMessageW(m_hWnd, WM_APP_EDITOR_REMOVE, static_cast<WPARAM>(row), 0);
        break;
    case ID_CHANGE_EDITOR:
        SendMessageW(m_hWnd, WM_APP_EDITOR_CHANGED, static_cast<WPARAM>(row), 0);
        break;
    default:
        break;
    }
}

void CExternalEditDialog::ShowFileMenu(int row, POINT screen)
{
    const UniqueMenu menu(LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(FileMenu)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    SetMenuDefaultItem(popup, ID_OPEN_WITH_EDITOR, FALSE);
    const bool hasRow = row >= 0;
    EnableMenuItem(popup, ID_OPEN_WITH_EDITOR,
                   MF_BYCOMMAND | (hasRow && m_editors.SelectedRow() >= 0 ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_FILE_PROPERTIES, MF_BYCOMMAND | (hasRow ? MF_ENABLED : MF_GRAYED));
    switch (static_cast<UINT>(TrackPopup(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, m_files.m_hWnd))) {
    case ID_OPEN_WITH_EDITOR:
        SendDisabled(WM_APP_LAUNCH_EDITOR_FROM_LIST, static_cast<WPARAM>(row));
        break;
    case ID_FILE_PROPERTIES:
        SendDisabled(WM_APP_EDITOR_PROPERTIES, static_cast<WPARAM>(row));
        break;
    default:
        break;
    }
}

void CExternalEditDialog::AddEditor()
{
    wchar_t folder[MAX_PATH]{};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    std::wstring filter = LoadUiString(ProgramFilter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    const std::wstring title = LoadUiString(ChooseTitle);
    wchar_t chosen[EditorPathCapacity]{};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = GetActiveWindow();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = chosen;
    request.nMaxFile = static_cast<DWORD>(std::size(chosen));
    request.lpstrInitialDir = folder;
    request.lpstrTitle = title.c_str();
    request.lpstrDefExt = L".exe";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    EnableWindow(m_hWnd, FALSE);
    if (ChooseFileToOpen(&request)) SendMessageW(m_hWnd, WM_APP_EDITOR_ADD, reinterpret_cast<WPARAM>(chosen), 0);
    EnableWindow(m_hWnd, TRUE);
}
