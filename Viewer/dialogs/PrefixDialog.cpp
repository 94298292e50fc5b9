#include "Viewer/dialogs/PrefixDialog.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/Trim.h"
#include "Viewer/dialogs/DialogSkin.h"
#include <cwchar>
#include <memory>

namespace {
constexpr DWORD CandidateCount = 3;

std::wstring TrimmedText(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    Trim(text.data(), false);
    text.resize(wcslen(text.c_str()));
    return text;
}
}

CPrefixDialog::CPrefixDialog(BookmarkPrefixRequest& request)
    : m_request(request), m_candidates(ComputePrefixCandidates(request.folder, request.picturePath))
{
}

INT_PTR CALLBACK CPrefixDialog::RequestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG || !lParam) return FALSE;
    // The object lives as long as the window: OnFinalMessage lets it go.
    auto owned = std::make_unique<CPrefixDialog>(*reinterpret_cast<BookmarkPrefixRequest*>(lParam));
    owned->m_ownsItself = true;
    CPrefixDialog* self = owned.release();
    self->m_hWnd = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(self->GetDialogProc()));
    return DialogProc(dialog, message, wParam, lParam);
}

void CPrefixDialog::OnFinalMessage(HWND)
{
    if (m_ownsItself) std::unique_ptr<CPrefixDialog> done(this);
}

LRESULT CPrefixDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SendDlgItemMessageW(m_hWnd, IDC_CUSTOM_PREFIX, EM_LIMITTEXT, CustomPrefixLimit, 0);
    const PrefixChoice choice = LoadPrefixSettings(m_candidates);
    m_request.prefix = choice.prefix;
    m_custom = choice.custom;
    for (DWORD level = 1; level <= CandidateCount; ++level)
        EnableWindow(GetDlgItem(m_hWnd, IDC_PREFIX_NONE + level), m_candidates.size() >= level);
    SetDlgItemTextW(m_hWnd, IDC_CUSTOM_PREFIX, m_custom.c_str());
    CheckRadioButton(m_hWnd, IDC_PREFIX_NONE, IDC_PREFIX_CUSTOM, IDC_PREFIX_NONE + static_cast<int>(choice.style));
    EnableWindow(GetDlgItem(m_hWnd, IDC_CUSTOM_PREFIX), choice.style == PrefixCustom);
    CenterOnOwner(m_hWnd);
    UpdatePrefixPreview();
    // Showing the stored choice is no change of it.
    m_changed = false;
    return TRUE;
}

LRESULT CPrefixDialog::OnStyleClicked(WORD code, WORD id, HWND, BOOL& handled)
{
    if (code != BN_CLICKED) {
        handled = FALSE;
        return 0;
    }
    CheckRadioButton(m_hWnd, IDC_PREFIX_NONE, IDC_PREFIX_CUSTOM, id);
    UpdatePrefixPreview();
    return 0;
}

LRESULT CPrefixDialog::OnCustomChanged(WORD, WORD, HWND, BOOL&)
{
    UpdatePrefixPreview();
    return 0;
}

LRESULT CPrefixDialog::OnClose(WORD, WORD id, HWND, BOOL&)
{
    SavePrefixSettings();
    EndDialog(id);
    return 0;
}

DWORD CPrefixDialog::GetPrefixStyle() const
{
    for (DWORD style = PrefixNone; style <= PrefixCustom; ++style)
        if (IsDlgButtonChecked(m_hWnd, IDC_PREFIX_NONE + static_cast<int>(style)) == BST_CHECKED) return style;
    return PrefixNone;
}

void CPrefixDialog::UpdatePrefixPreview()
{
    m_custom = TrimmedText(GetDlgItem(m_hWnd, IDC_CUSTOM_PREFIX));
    const DWORD style = GetPrefixStyle();
    if (style == PrefixCustom)
        m_request.prefix = m_custom;
    else if (style != PrefixNone && style <= m_candidates.size())
        m_request.prefix = m_candidates[style - 1];
    else
        m_request.prefix.clear();
    EnableWindow(GetDlgItem(m_hWnd, IDC_CUSTOM_PREFIX), style == PrefixCustom);
    const std::wstring preview = m_request.prefix + (m_request.prefix.empty() ? L"" : L"_") + L"nnn";
    SetDlgItemTextW(m_hWnd, IDC_PREFIX_PREVIEW, preview.c_str());
    InvalidateRect(GetDlgItem(m_hWnd, IDC_PREFIX_PREVIEW), nullptr, TRUE);
    m_changed = true;
}

void CPrefixDialog::SavePrefixSettings()
{
    if (!m_changed) return;
    RegKey settings;
    if (settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
    settings.SetDword(L"BookmarkPrefixesStyle", GetPrefixStyle());
    settings.SetString(L"CustomBookmarkPrefix", m_custom);
}
