#include "Viewer/ui/FrameClosing.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/SingleInstance.h"
#include "Viewer/ui/MainFrame.h"
#include "Viewer/core/WindowPlacement.h"
#include <shlwapi.h>

namespace {
constexpr wchar_t kAppWindowValue[] = L"AppWindow";
constexpr wchar_t kLastImageViewedValue[] = L"LastImageViewed";

// The entry's own file: its base path with the first of its extensions.
std::wstring EntryFilePath(const CImageEntry& entry)
{
    const std::wstring_view extensions = entry.GetExtensions().View();
    return entry.GetBasePath() + L"." + std::wstring(extensions.substr(0, extensions.find(L';')));
}
}

std::wstring CFrameClosing::LastImageViewed()
{
    if (!AppSettings::ReuseLastPictureFolder) return {};
    CImageEntry* current = m_frame.Engine().GetCurrentEntry(true);
    if (!current) return {};
    const std::wstring file = EntryFilePath(*current);
    const std::wstring folder(m_frame.ImageFolderPath().View());
    const int common = PathCommonPrefixW(folder.c_str(), file.c_str(), nullptr);
    std::wstring relative = file.substr(static_cast<size_t>(common));
    if (!relative.empty() && relative.front() == L'\\') relative.erase(0, 1);
    return relative;
}

void CFrameClosing::SaveViewState()
{
    const std::wstring lastImage = LastImageViewed();
    m_frame.Engine().ConfirmExitWithPendingWrites();
    if (m_frame.IsKioskMode())
        SaveGivenWindowPlacement(m_frame.SavedPlacement(), kAppWindowValue);
    else
        SaveWindowPlacement(m_frame.m_hWnd, kAppWindowValue);

    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_WRITE) != ERROR_SUCCESS) return;
    key.SetDword(L"Maximized", IsWindowMaximized(m_frame.m_hWnd) ? 1 : 0);
    key.SetDword(L"KioskMode", m_frame.IsKioskMode() ? 1 : 0);
    key.SetDword(L"KioskMode.ExitMaximized", m_frame.KioskWasMaximized() ? 1 : 0);
    key.SetDword(L"ShowHistogram", AppSettings::ShowHistogram);
    key.SetDword(L"ShowShootingData", AppSettings::ShowShootingData);
    key.SetDword(L"ShowBookmarkList", AppSettings::ShowBookmarkList);
    key.SetDword(L"ShowExternalEditors", AppSettings::ShowExternalEditors);
    key.SetDword(L"NavigationSliderHeight", static_cast<DWORD>(m_frame.Slider().PreferredHeight()));
    if (lastImage.empty())
        key.DeleteValue(kLastImageViewedValue);
    else
        key.SetString(kLastImageViewedValue, lastImage);
}

LRESULT CFrameClosing::OnClose(UINT, WPARAM, LPARAM, BOOL& handled)
{
    LastActivityCode = 251.0;
    SaveViewState();
    m_frame.Timers().RemoveTrayIcon();
    LastActivityCode = 251.99;
    handled = FALSE;
    return 0;
}

LRESULT CFrameClosing::OnEndSession(UINT, WPARAM sessionEnds, LPARAM, BOOL&)
{
    LastActivityCode = 290.0;
    if (!sessionEnds) return 0;
    CloseInstanceEvent();
    SaveViewState();
    PostMessageW(m_frame.m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}
