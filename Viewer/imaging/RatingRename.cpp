#include "Viewer/imaging/RatingRename.h"
#include "Viewer/imaging/WriterMessage.h"
#include <shlwapi.h>
#include <cwctype>
#include <vector>

namespace {
constexpr UINT WriterCaptionStringId = 10174;
constexpr UINT TargetExistsStringId = 10182;
constexpr UINT MoveFailedStringId = 10183;
constexpr size_t MaxKeptCharacters = 519;

bool HasRatingPrefix(const std::wstring& name)
{
    return name.size() >= 3 && name[0] == L'{' && name[1] >= L'0' && name[1] <= L'9' && name[2] == L'}';
}

// The list's extensions and the sidecar's.
std::vector<std::wstring> RenamedExtensions(const std::wstring& extensions)
{
    std::vector<std::wstring> result;
    size_t start = 0;
    while (start <= extensions.size()) {
        size_t end = extensions.find(L';', start);
        if (end == std::wstring::npos) end = extensions.size();
        if (end > start) result.push_back(extensions.substr(start, end - start));
        start = end + 1;
    }
    result.push_back(L"xmp");
    return result;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}

std::wstring MakeRatingPrefixedName(const std::wstring& basePath, int rating)
{
    if (basePath.size() < 4) return {};
    const std::wstring kept = basePath.substr(0, MaxKeptCharacters);
    const size_t nameStart = PathFindFileNameW(kept.c_str()) - kept.c_str();
    if (nameStart >= kept.size()) return {};
    std::wstring name = kept.substr(nameStart);
    if (HasRatingPrefix(name)) name.erase(0, 3);
    if (rating >= 1 && rating <= 9) name = L"{" + std::to_wstring(rating) + L"}" + name;
    return kept.substr(0, nameStart) + name;
}

bool RenameWithRatingPrefix(const std::wstring& basePath, const std::wstring& newBasePath,
                            const std::wstring& extensions, const RatingRenameHooks& hooks)
{
    const std::vector<std::wstring> renamed = RenamedExtensions(extensions);
    for (const std::wstring& extension : renamed) {
        const std::wstring target = newBasePath + L"." + extension;
        if (!Exists(target)) continue;
        ShowWriterMessage(hooks.owner, WriterCaptionStringId, MB_ICONERROR, TargetExistsStringId, target.c_str());
        return false;
    }
    bool moved = false;
    for (const std::wstring& extension : renamed) {
        const std::wstring from = basePath + L"." + extension;
        const std::wstring to = newBasePath + L"." + extension;
        if (!Exists(from)) continue;
        if (StrCmpIW(extension.c_str(), L"xmp") != 0 && hooks.announce) hooks.announce(to);
        if (!MoveFileW(from.c_str(), to.c_str())) {
            const DWORD error = GetLastError();
            ShowWriterMessage(hooks.owner, WriterCaptionStringId, MB_ICONERROR, MoveFailedStringId, from.c_str(), to.c_str(),
                              error);
            break;
        }
        moved = true;
    }
    return moved;
}
