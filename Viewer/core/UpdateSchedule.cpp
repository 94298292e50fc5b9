#include "Viewer/core/UpdateSchedule.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/UpdateChecker.h"
#include "Viewer/core/VersionInfo.h"
#include <cwchar>
#include <iterator>

namespace {
constexpr DWORD DefaultIntervalMinutes = 10080;
constexpr size_t InstalledVersionChars = 59;  // 120 bytes with the terminator

ULONGLONG Ticks(const FILETIME& time) noexcept
{
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG ClockEpochTicks() noexcept
{
    SYSTEMTIME epoch{2007, 11, 0, 30, 2, 1, 36, 0};
    FILETIME time{};
    SystemTimeToFileTime(&epoch, &time);
    return Ticks(time);
}

VersionParts RunningVersion() noexcept
{
    VersionParts running{};
    GetAppVersion(&running[0], &running[1], &running[2], &running[3], nullptr, 0, nullptr);
    return running;
}

std::wstring VersionText(const VersionParts& version)
{
    wchar_t text[64] = L"";
    std::swprintf(text, std::size(text), L"%d.%d.%d.%d", version[0], version[1], version[2], version[3]);
    return text;
}

// The version that last ran is this one: all four parts stored and equal.
bool IsInstalledVersion(const RegKey& settings, const VersionParts& running)
{
    const auto stored = settings.QueryString(L"InstalledVersion", InstalledVersionChars);
    if (!stored) return false;
    int parts[4] = {-1, -1, -1, -1};
    if (swscanf(stored->c_str(), L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (parts[i] != int(running[i])) return false;
    return true;
}

void RecordNewInstallation(RegKey& settings, DWORD now, const VersionParts& running)
{
    settings.SetString(L"InstalledVersion", VersionText(running));
    settings.SetDword(L"LastUpdateCheck", now);
    settings.SetDword(L"UpdateCheckInterval", settings.QueryDword(L"UpdateCheckInterval").value_or(DefaultIntervalMinutes));
    settings.DeleteValue(L"NewVersionAvailable");
    settings.DeleteValue(L"NewVersionDescription");
}
}  // namespace

DWORD UpdateClockFrom(const FILETIME& utc) noexcept
{
    constexpr ULONGLONG TicksPerMinute = 600000000ull;
    return DWORD((Ticks(utc) - ClockEpochTicks()) / TicksPerMinute);
}

DWORD UpdateClockNow() noexcept
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return UpdateClockFrom(now);
}

StartupUpdateResult RunDueUpdateCheck(RegKey& settings, DWORD now, std::wstring_view feedAddress)
{
    StartupUpdateResult result;
    LastActivityCode = 24.0;
    const VersionParts running = RunningVersion();
    if (!IsInstalledVersion(settings, running)) {
        RecordNewInstallation(settings, now, running);
        LastActivityCode = 24.1;
        return result;
    }
    const DWORD last = settings.QueryDword(L"LastUpdateCheck").value_or(0);
    const DWORD interval = settings.QueryDword(L"UpdateCheckInterval").value_or(DefaultIntervalMinutes);
    if (interval == 0 || ULONGLONG(last) + interval > now) {
        LastActivityCode = 24.2;
        return result;
    }

    LastActivityCode = 25.0;
    CUpdateChecker checker(feedAddress);
    UINT ttl = interval;
    Bstr version, description;
    const HRESULT hr = checker.CheckForUpdate(&ttl, &version, false, true, &description);
    LastActivityCode = 25.1;
    if (SUCCEEDED(hr)) {
        settings.SetDword(L"UpdateCheckInterval", ttl);
        if (hr == S_OK) {
            result.newVersionAvailable = true;
            result.description = description;
            settings.SetString(L"NewVersionAvailable", std::wstring(version.View()));
            settings.SetString(L"NewVersionDescription", std::wstring(description.View()));
        }
    }
    settings.SetDword(L"LastUpdateCheck", now);
    LastActivityCode = 25.2;
    return result;
}
