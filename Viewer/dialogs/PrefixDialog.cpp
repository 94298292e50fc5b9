#include "Viewer/dialogs/PrefixDialog.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/Trim.h"
#include "Viewer/dialogs/DialogSkin.h"
#include <cwchar>

namespace {
constexpr DWORD CandidateCount = 3;
constexpr UINT kBackgroundImage = 218;

std::wstring TrimmedText(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    Trim(text.data(), false);
    text.resize(wcslen(text.c_str()));
    return text;
}
}

CPrefixDialog::CPrefixDialog(BookmarkPrefixRequest& request, SkinImageLoader loader)
    : CDarkDialog(std::move(loader)),
      m_request(request),
      m_candidates(ComputePrefixCandidates(request.folder, request.picturePath))
{
}

LRESULT CPrefixDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_parts.PrepareBackground(m_hWnd, kBackgroundImage);
    SkinChoices();
    SendDlgItemMessageW(m_hWnd, IDC_CUSTOM_PREFIX, EM_LIMITTEXT, CustomPrefixLimit, 0);
    const PrefixChoice choice = LoadPrefixSettings(m_candidates);
    m_request.prefix = choice.prefix;
    m_custom = choice.custom;
    for (DWORD level = 1; level <= CandidateCount; ++level)
        EnableWindow(GetDlgItem(m_hWnd, IDC_PREFIX_NONE + level), m_candidates.size() >= level);
    SetDlgItemTextW(m_hWnd, IDC_CUSTOM_PREFIX, m_custom.c_str());
    CheckRadioButton(m_hWnd, IDC_PREFIX_NONE, IDC_PREFIX_CUSTOM, IDC_PREFIX_NONE + static_cast<int>(choice.style));
    EnableWindow(GetDlgItem(m_hWnd, IDC_CUSTOM_PREFIX), choice.style == PrefixCustom);
    m_parts.SkinButtons(m_hWnd, {IDOK, IDCANCEL});
    CenterOnOwner(m_hWnd);
    UpdatePrefixPreview();
    // Showing the stored choice is no change of it.
    m_changed = false;
    return TRUE;
}

// Without visual styles the plain controls stay: the themed ones would draw nothing.
void CPrefixDialog::SkinChoices()
{
    if (!CThemeHelper::Process().IsAppThemed()) return;
    for (DWORD style = PrefixNone; style <= PrefixCustom; ++style) {
        m_styleButtons[style].SetBackground(m_parts.Background(), false);
        m_styleButtons[style].SubclassWindow(GetDlgItem(m_hWnd, IDC_PREFIX_NONE + static_cast<int>(style)));
    }
    m_preview.SetBackground(m_parts.Background(), false);
    m_preview.SubclassWindow(GetDlgItem(m_hWnd, IDC_PREFIX_PREVIEW));
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
