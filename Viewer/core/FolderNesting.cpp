#include "Viewer/core/FolderNesting.h"
#include <shlwapi.h>

std::wstring CanonicalFolderPath(const std::wstring& path)
{
    wchar_t canonical[MAX_PATH]{};
    std::wstring result = path.size() < MAX_PATH && PathCanonicalizeW(canonical, path.c_str()) ? canonical : path;
    while (result.size() > 3 && result.back() == L'\\') result.pop_back();
    return result;
}

bool IsStrictlyInside(const std::wstring& inner, const std::wstring& outer)
{
    const std::wstring in = CanonicalFolderPath(inner);
    std::wstring out = CanonicalFolderPath(outer);
    if (out.empty()) return false;
    if (out.back() != L'\\') out += L'\\';
    return in.size() > out.size() && CompareStringOrdinal(in.c_str(), static_cast<int>(out.size()), out.c_str(),
                                                          static_cast<int>(out.size()), TRUE) == CSTR_EQUAL;
}
