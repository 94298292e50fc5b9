#include "Viewer/core/UpdateSchedule.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/UpdateChecker.h"
#include "Viewer/core/VersionInfo.h"
#include "Framework/HResultError.h"
#include "Framework/UniqueHandle.h"
#include <memory>
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
    const std::wstring feed(feedAddress);
    return RunDueUpdateCheck(settings, now, [&feed](UINT& ttl, Bstr& version, Bstr& description) {
        CUpdateChecker checker(feed);
        return checker.CheckForUpdate(&ttl, &version, false, true, &description);
    });
}

StartupUpdateResult RunDueUpdateCheck(RegKey& settings, DWORD now, const UpdateCheckFunction& check)
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
    UINT ttl = interval;
    Bstr version, description;
    const HRESULT hr = check(ttl, version, description);
    LastActivityCode = 25.1;
    if (hr == E_ABORT) return result;
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

namespace {
// What a thread-pool check and its waiter share; whoever lets go last frees it.
struct AbandonableCheck {
    std::wstring feed;
    UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HRESULT result = E_PENDING;
    UINT ttl = 0;
    Bstr version;
    Bstr description;
};

DWORD WINAPI RunCheckOnPool(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<AbandonableCheck>> handedOver(
        static_cast<std::shared_ptr<AbandonableCheck>*>(parameter));
    const std::shared_ptr<AbandonableCheck> check = *handedOver;
    const HRESULT apartment = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    check->result = CatchAsHResult([&] {
        CUpdateChecker checker(check->feed);
        return checker.CheckForUpdate(&check->ttl, &check->version, false, true, &check->description);
    });
    if (SUCCEEDED(apartment)) CoUninitialize();
    SetEvent(check->done.Get());
    return 0;
}
}  // namespace

// The platform's synchronous XML HTTP send cannot be interrupted, and a silent server holds it for
// minutes. So the send runs on a thread-pool thread that owns a copy of everything it touches, and the
// start-up thread only waits for it: a stop request (the frame closing) ends the wait at once and
// leaves the check to finish, or to be ended with the process, on its own.
HRESULT RunAbandonableUpdateCheck(std::wstring_view feedAddress, HANDLE stop, UINT& ttl, Bstr& version,
                                  Bstr& description)
{
    auto check = std::make_shared<AbandonableCheck>();
    if (!check->done) return HResultFromLastError();
    check->feed = feedAddress;
    check->ttl = ttl;
    auto handedOver = std::make_unique<std::shared_ptr<AbandonableCheck>>(check);
    if (!QueueUserWorkItem(&RunCheckOnPool, handedOver.get(), WT_EXECUTELONGFUNCTION)) return HResultFromLastError();
    handedOver.release();  // the work item owns it now
    const HANDLE handles[] = {check->done.Get(), stop};
    const DWORD waited = WaitForMultipleObjects(stop ? 2 : 1, handles, FALSE, INFINITE);
    if (waited != WAIT_OBJECT_0) return E_ABORT;
    ttl = check->ttl;
    version = check->version;
    description = check->description;
    return check->result;
}
