#include "Viewer/dialogs/EditorRowText.h"
#include "Viewer/core/VersionInfo.h"
#include <shlwapi.h>

namespace {
constexpr size_t PathField = 260;

std::wstring VersionText(const VersionParts& v)
{
    if (v[0] == 0 && v[1] == 0 && v[2] == 0 && v[3] == 0) return {};
    std::wstring text = std::to_wstring(v[0]) + L"." + std::to_wstring(v[1]);
    if (v[2] != 0 || v[3] != 0) text += L"." + std::to_wstring(v[2]);
    if (v[3] != 0) text += L"." + std::to_wstring(v[3]);
    return text;
}
}

EditorRowText MakeEditorRowText(const std::wstring& programPath)
{
    const std::wstring path = programPath.substr(0, PathField - 1);
    const ModuleVersionInfo info(path.c_str());
    EditorRowText row;
    if (!info.productName.empty()) {
        row.title = info.productName;
    } else {
        row.title = PathFindFileNameW(programPath.c_str());
        row.title.resize(row.title.size() - wcslen(PathFindExtensionW(row.title.c_str())));
    }
    if (!info.companyName.empty())
        row.detail = info.companyName;
    else if (!info.fileDescription.empty())
        row.detail = info.fileDescription;
    else
        row.detail = VersionText(info.productVersion);
    return row;
}
