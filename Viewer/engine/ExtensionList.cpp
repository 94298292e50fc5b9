#include "Viewer/engine/ExtensionList.h"
#include <windows.h>

bool ExtensionListHolds(std::wstring_view list, std::wstring_view extension, wchar_t separator) noexcept
{
    if (extension.empty()) return false;
    bool found = false;
    ForEachExtension(list, [&](std::wstring_view token) {
        found = found || CompareStringOrdinal(token.data(), static_cast<int>(token.size()), extension.data(),
                                              static_cast<int>(extension.size()), TRUE) == CSTR_EQUAL;
    }, separator);
    return found;
}
