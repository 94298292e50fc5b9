#include "Viewer/engine/EntryFiles.h"
#include "Viewer/engine/ExtensionList.h"
#include <shlwapi.h>

std::vector<std::wstring> EntryFilesWithSidecar(const CImageEntry& entry)
{
    const std::wstring& base = entry.GetBasePath();
    std::vector<std::wstring> paths;
    ForEachExtension(entry.GetExtensions().View(),
                     [&](std::wstring_view extension) { paths.push_back(base + L"." + std::wstring(extension)); });
    std::wstring sidecar = base + L".xmp";
    if (PathFileExistsW(sidecar.c_str())) paths.push_back(std::move(sidecar));
    return paths;
}
