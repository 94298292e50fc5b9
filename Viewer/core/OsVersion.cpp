#include "Viewer/core/OsVersion.h"
#include <windows.h>
#include <atomic>
#include "Viewer/core/LastActivity.h"

namespace {
enum Answer : int { NotAsked, No, Yes };

std::atomic<int> g_vistaOrLater{NotAsked};
std::atomic<int> g_win7OrLater{NotAsked};

// Concurrent first calls each ask the system and store the same answer.
template <class Test>
bool CachedVersionTest(std::atomic<int>& answer, double enterCode, double leaveCode, Test test) noexcept
{
    LastActivityCode = enterCode;
    if (answer.load() == NotAsked) {
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof(version);
        answer.store(GetVersionExW(&version) && test(version) ? Yes : No);
    }
    LastActivityCode = leaveCode;
    return answer.load() == Yes;
}
}

bool IsVistaOrLater() noexcept
{
    return CachedVersionTest(g_vistaOrLater, 1.1, 2.1,
                             [](const OSVERSIONINFOW& v) { return v.dwMajorVersion >= 6; });
}

bool IsWin7OrLater() noexcept
{
    return CachedVersionTest(g_win7OrLater, 1.2, 2.2, [](const OSVERSIONINFOW& v) {
        return v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion != 0);
    });
}
