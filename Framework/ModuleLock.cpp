#include "Framework/ModuleLock.h"
#include <atomic>

namespace {
std::atomic<LONG> g_moduleLockCount{0};
}

void LockModule() noexcept
{
    ++g_moduleLockCount;
}

void UnlockModule() noexcept
{
    --g_moduleLockCount;
}

LONG ModuleLockCount() noexcept
{
    return g_moduleLockCount.load();
}

HRESULT CanUnloadModule() noexcept
{
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
