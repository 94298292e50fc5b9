#include "Viewer/dialogs/CompanionFiles.h"
#include "Viewer/engine/ImageEntry.h"
#include <algorithm>

namespace {
std::vector<std::wstring> Extensions(const CImageEntry& entry)
{
    std::vector<std::wstring> tokens;
    const std::wstring_view list = entry.GetExtensions().View();
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(L';', start), list.size());
        if (end > start) tokens.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}
}

std::wstring CompanionFilePath(const CImageEntry* entry, size_t k)
{
    if (!entry) return {};
    const std::vector<std::wstring> extensions = Extensions(*entry);
    if (k >= extensions.size()) return {};
    return entry->GetBasePath() + L"." + extensions[k];
}

std::vector<std::wstring> CompanionFileNames(const CImageEntry* entry)
{
    std::vector<std::wstring> names;
    if (!entry) return names;
    const std::wstring& base = entry->GetBasePath();
    const std::wstring name = base.substr(base.find_last_of(L'\\') + 1);
    for (const std::wstring& extension : Extensions(*entry)) names.push_back(name + L"." + extension);
    return names;
}
