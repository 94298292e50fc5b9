#include "Viewer/dialogs/PlugInsPage.h"
#include "Viewer/core/LanguageLibrary.h"
#include <commctrl.h>

namespace {
constexpr wchar_t kNotAvailable[] = L"N/A";

std::wstring TextOrNotAvailable(const Bstr& text)
{
    return text.Empty() ? std::wstring(kNotAvailable) : std::wstring(text.View());
}
}

std::wstring GetPlugInDisplayName(const ActionPlugInRecord& record)
{
    return TextOrNotAvailable(record.DisplayName);
}

std::wstring GetPlugInVersion(const ActionPlugInRecord& record)
{
    return TextOrNotAvailable(record.VersionInformation);
}

void FillPlugInsPage(HWND page, const std::vector<ActionPlugInRecord>& plugIns)
{
    HWND list = GetDlgItem(page, PlugInListControl);
    if (!list) return;
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list, &client);
    std::wstring title = LoadUiString(10143);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - (GetSystemMetrics(SM_CXVSCROLL) + 1);
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    for (size_t index = 0; index < plugIns.size(); ++index) {
        std::wstring text = GetPlugInDisplayName(plugIns[index]) + L" " + GetPlugInVersion(plugIns[index]);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        item.pszText = text.data();
        item.lParam = static_cast<LPARAM>(index);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, 0, FALSE);
}

void ShowSelectedPlugIn(HWND page, const std::vector<ActionPlugInRecord>& plugIns)
{
    HWND list = GetDlgItem(page, PlugInListControl);
    const int row = list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    const bool found = row >= 0 && ListView_GetItem(list, &item) && item.lParam >= 0 &&
                       static_cast<size_t>(item.lParam) < plugIns.size();
    if (found) {
        const ActionPlugInRecord& record = plugIns[static_cast<size_t>(item.lParam)];
        CheckDlgButton(page, PlugInEnabled, record.Enabled ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemTextW(page, PlugInDescription, TextOrNotAvailable(record.Description).c_str());
        SetDlgItemTextW(page, PlugInAuthor, TextOrNotAvailable(record.AuthorInformation).c_str());
        EnableWindow(GetDlgItem(page, PlugInDescription), TRUE);
        EnableWindow(GetDlgItem(page, PlugInAuthor), TRUE);
        SendDlgItemMessageW(page, PlugInHotkey, HKM_SETHOTKEY, record.AssignedHotkey & 0xFFFF, 0);
    } else {
        CheckDlgButton(page, PlugInEnabled, BST_UNCHECKED);
        SetDlgItemTextW(page, PlugInDescription, kNotAvailable);
        SetDlgItemTextW(page, PlugInAuthor, kNotAvailable);
        SendDlgItemMessageW(page, PlugInHotkey, HKM_SETHOTKEY, 0, 0);
    }
    // Read-only: the plug-ins' own configuration is never started from here.
    for (WORD id : {PlugInEnabled, PlugInHotkey, PlugInWebSite}) EnableWindow(GetDlgItem(page, id), FALSE);
}
