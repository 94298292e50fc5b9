#include "Viewer/dialogs/UpdateCheckNow.h"
#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/UpdateChecker.h"
#include "Viewer/core/VersionInfo.h"
#include <cstdio>
#include <string>

namespace {
constexpr UINT kTitle = 10111;
constexpr UINT kNewerVersion = 10112;
constexpr UINT kLatestVersion = 10113;
constexpr UINT kCheckFailed = 10114;

// "a.bb (Build ccc)" from the feed's "%d.%d.%d.%d".
std::wstring ShownVersion(const Bstr& latestVersion)
{
    int parts[4]{};
    swscanf(latestVersion.c_str(), L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    wchar_t text[60]{};
    swprintf(text, std::size(text), L"%d.%02d (Build %03d)", parts[0], parts[1], parts[2]);
    return text;
}

std::wstring NewerVersionMessage(const Bstr& latestVersion, const Bstr& description)
{
    std::wstring ending = std::wstring(description.View()) + L"\r\n\r\n";
    if (ending.size() > 1039) ending.resize(1039);
    wchar_t message[520]{};
    swprintf(message, std::size(message), LoadUiString(kNewerVersion).c_str(), ShownVersion(latestVersion).c_str(),
             ending.c_str());
    return message;
}

std::wstring DownloadsAddress()
{
    WORD major = 0, minor = 0, build = 0, revision = 0;
    GetAppVersion(&major, &minor, &build, &revision, nullptr, 0, nullptr);
    wchar_t query[128]{};
    swprintf(query, std::size(query), L"?curver=%d.%d.%d.%d", major, minor, build, revision);
    return std::wstring(kDownloadsPage) + query;
}

void RememberNewVersion(RegKey& key, const Bstr& latestVersion, const Bstr& description)
{
    if (description.Empty()) {
        key.SetString(L"NewVersionDescription", L"");
        AppSettings::NewVersionDescription = Bstr();
    } else {
        if (AppSettings::NewVersionDescription.View() != description.View())
            AppSettings::NewVersionDescription = description;
        key.SetString(L"NewVersionDescription", std::wstring(description.View()));
    }
    AppSettings::NewVersionAvailable = true;
    if (!latestVersion.Empty()) key.SetString(L"NewVersionAvailable", std::wstring(latestVersion.View()));
}
}

HRESULT CheckTheMakersFeed(UINT& ttl, Bstr& latestVersion, Bstr& description)
{
    // The check gives up when the timer fires, so a server that never answers cannot hold the dialog.
    UniqueHandle deadline(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    if (!deadline) return HRESULT_FROM_WIN32(GetLastError());
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(kUpdateCheckDeadline) * 10000;
    if (!SetWaitableTimer(deadline.Get(), &due, 0, nullptr, nullptr, FALSE)) return HRESULT_FROM_WIN32(GetLastError());
    return RunAbandonableUpdateCheck(kUpdateFeedAddress, deadline.Get(), ttl, latestVersion, description);
}

void CheckForUpdatesNow(HWND page, const UpdateCheck& check)
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const DWORD now = UpdateClockNow();
    UINT ttl = 0;
    Bstr latestVersion;
    Bstr description;
    const HRESULT result = check ? check(ttl, latestVersion, description) : E_UNEXPECTED;

    RegKey key;
    key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_ALL_ACCESS);
    SetCursor(previous);
    const std::wstring title = LoadUiString(kTitle);
    if (FAILED(result)) {
        ShowMessageBox(page, LoadUiString(kCheckFailed).c_str(), title.c_str(), MB_ICONEXCLAMATION);
    } else {
        key.SetDword(L"UpdateCheckInterval", ttl);
        if (result != S_OK) {
            ShowMessageBox(page, LoadUiString(kLatestVersion).c_str(), title.c_str(), MB_ICONINFORMATION);
        } else {
            RememberNewVersion(key, latestVersion, description);
            const std::wstring message = NewerVersionMessage(latestVersion, description);
            if (ShowMessageBox(page, message.c_str(), title.c_str(), MB_YESNO | MB_ICONINFORMATION) == IDYES)
                OpenWithShell(page, L"open", DownloadsAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        }
    }
    key.SetDword(L"LastUpdateCheck", now);
}
