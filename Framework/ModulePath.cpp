#include "Framework/ModulePath.h"
#include "Framework/HResultError.h"
#include <vector>

std::wstring ModulePathOfAddress(const void* address)
{
    HMODULE module = nullptr;
    ThrowLastErrorIf(!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                         static_cast<const wchar_t*>(address), &module));
    // A path may be longer than MAX_PATH; GetModuleFileNameW fills the buffer when it is too small.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        ThrowLastErrorIf(length == 0);
        if (length < path.size()) return std::wstring(path.data(), length);
        path.resize(path.size() * 2);
    }
}
