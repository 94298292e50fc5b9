#pragma once
// Lists of file extensions as the engine keeps them: an entry's "CR2;JPG" and the supported list
// "*.jpg;*.jpeg;...". An extension is present only as a whole token ("tif" is not in "tiff", ".c"
// is not supported because ".cur" is), compared without case.
#include <string_view>

// Calls visit for every non-empty token between separators.
template <class Visit>
void ForEachExtension(std::wstring_view list, Visit&& visit, wchar_t separator = L';')
{
    while (!list.empty()) {
        const size_t end = list.find(separator);
        const std::wstring_view token = list.substr(0, end);
        if (!token.empty()) visit(token);
        if (end == std::wstring_view::npos) break;
        list.remove_prefix(end + 1);
    }
}

// True when one token of the list equals the extension, without case.
bool ExtensionListHolds(std::wstring_view list, std::wstring_view extension, wchar_t separator = L';') noexcept;
