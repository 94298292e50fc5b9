#include "Framework/ResourceModule.h"
#include <atomic>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
std::atomic<HINSTANCE> g_resourceInstance{nullptr};
}

HINSTANCE GetModuleInstance() noexcept
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

HINSTANCE GetResourceInstance() noexcept
{
    HINSTANCE module = g_resourceInstance.load();
    return module ? module : GetModuleInstance();
}

HINSTANCE SetResourceInstance(HINSTANCE module) noexcept
{
    return g_resourceInstance.exchange(module);
}

std::wstring LoadResourceString(UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetResourceInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
