#include "Viewer/engine/BookmarkPrefix.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include <shlwapi.h>
#include <algorithm>

namespace {
constexpr size_t LongestPrefix = 24;
constexpr size_t MaxCandidates = 3;
constexpr size_t CustomPrefixLength = 260;

// The backslash-separated names of path from position start on, at most three; an empty name ends
// the list.
std::vector<std::wstring> NamesFrom(const std::wstring& path, size_t start)
{
    std::vector<std::wstring> names;
    while (start < path.size() && names.size() < MaxCandidates) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        if (end == start) break;
        names.push_back(ShortenPrefix(path.substr(start, end - start)));
        start = end + 1;
    }
    return names;
}
}

std::wstring ShortenPrefix(const std::wstring& text)
{
    if (text.size() <= LongestPrefix) return text;
    return text.substr(0, 12) + L"~" + text.substr(text.size() - 11);
}

std::vector<std::wstring> ComputePrefixCandidates(const wchar_t* folder, const wchar_t* picturePath)
{
    if (!folder || !*folder) return {};
    const std::wstring current(folder);
    if (picturePath && *picturePath) {
        const std::wstring picture(picturePath);
        const size_t pictureEnd = picture.rfind(L'\\');
        const size_t folderSlash = current.rfind(L'\\');
        if (pictureEnd == std::wstring::npos) return {};
        return NamesFrom(picture.substr(0, pictureEnd), folderSlash == std::wstring::npos ? 0 : folderSlash + 1);
    }
    if (PathIsUNCW(folder)) return NamesFrom(current, 2);
    return NamesFrom(current, 3);
}

PrefixChoice LoadPrefixSettings(const std::vector<std::wstring>& candidates)
{
    PrefixChoice choice;
    RegKey settings;
    if (settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) == ERROR_SUCCESS) {
        choice.style = settings.QueryDword(L"BookmarkPrefixesStyle").value_or(PrefixSecondFolder);
        choice.custom = settings.QueryString(L"CustomBookmarkPrefix", CustomPrefixLength).value_or(L"");
    }
    if (choice.style > PrefixCustom) choice.style = PrefixFirstFolder;
    if (choice.style == PrefixCustom) {
        choice.prefix = choice.custom;
        return choice;
    }
    while (choice.style != PrefixNone && candidates.size() < choice.style) --choice.style;
    if (choice.style != PrefixNone) choice.prefix = candidates[choice.style - 1];
    return choice;
}
