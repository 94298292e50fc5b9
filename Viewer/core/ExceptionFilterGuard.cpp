#include "Viewer/core/ExceptionFilterGuard.h"
#include <cstring>

namespace {
bool IsReadable(const void* address, size_t size) noexcept
{
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(address, &region, sizeof(region)) || region.State != MEM_COMMIT ||
        (region.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
        return false;
    auto end = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    return static_cast<const BYTE*>(address) + size <= end;
}
}

bool ExceptionFilterGuard::Activate() noexcept
{
    if (Active()) return true;
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto* entry = kernel ? reinterpret_cast<BYTE*>(GetProcAddress(kernel, "SetUnhandledExceptionFilter")) : nullptr;
    if (!entry || !IsReadable(entry, m_saved.size())) return false;
    std::memcpy(m_saved.data(), entry, m_saved.size());
    if (!WriteCode(entry, ReturnNull)) return false;
    m_entry = entry;
    return true;
}

void ExceptionFilterGuard::Deactivate() noexcept
{
    if (!Active()) return;
    if (WriteCode(m_entry, m_saved)) m_entry = nullptr;
}

bool ExceptionFilterGuard::WriteCode(BYTE* target, const Code& code) noexcept
{
    DWORD oldProtection = 0;
    if (!VirtualProtect(target, code.size(), PAGE_EXECUTE_READWRITE, &oldProtection)) return false;
    std::memcpy(target, code.data(), code.size());
    VirtualProtect(target, code.size(), oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), target, code.size());
    return true;
}
