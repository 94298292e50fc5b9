#include "Viewer/imaging/PageCommit.h"
#include <windows.h>

bool CommitPagesAtOnce(void* start, size_t bytes) noexcept
{
    if (!start || bytes == 0) return false;
    // Locking brings every page of the range into memory in one call; unlocking at once leaves them
    // there without holding them against the system's needs.
    if (!VirtualLock(start, bytes)) return false;
    VirtualUnlock(start, bytes);
    return true;
}
