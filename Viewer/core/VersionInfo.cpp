#include "Viewer/core/VersionInfo.h"
#include <algorithm>
#include <cwchar>
#include <new>
#include "Viewer/core/LastActivity.h"
#include "Framework/HResultError.h"

namespace {
constexpr size_t MaxPathChars = 518;
constexpr size_t MaxTextChars = 259;

// The whole version resource of a file; null when it has none or it cannot be read (the last
// error tells why). Throws bad_alloc when the block cannot be allocated.
std::unique_ptr<BYTE[]> LoadVersionBlock(const wchar_t* path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return nullptr;
    auto block = std::make_unique<BYTE[]>(size + 1);
    if (!GetFileVersionInfoW(path, 0, size, block.get())) return nullptr;
    return block;
}

const VS_FIXEDFILEINFO* FixedFileInfo(const BYTE* block) noexcept
{
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, L"\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(data);
}

VersionParts SplitVersion(DWORD mostSignificant, DWORD leastSignificant) noexcept
{
    return {HIWORD(mostSignificant), LOWORD(mostSignificant), HIWORD(leastSignificant), LOWORD(leastSignificant)};
}

void CopyCut(wchar_t* output, size_t capacity, const wchar_t* text, size_t length) noexcept
{
    size_t count = std::min(length, capacity - 1);
    std::wmemcpy(output, text, count);
    output[count] = L'\0';
}

std::wstring VersionString(const ModuleVersionInfo& info, const wchar_t* name)
{
    wchar_t text[MaxTextChars + 1];
    QueryVersionString(info, name, text);
    return text;
}
}

ModuleVersionInfo::ModuleVersionInfo(const wchar_t* modulePath)
{
    if (!modulePath || !*modulePath) return;
    path.assign(modulePath, std::min(std::wcslen(modulePath), MaxPathChars));
    block = LoadVersionBlock(path.c_str());
    const VS_FIXEDFILEINFO* fixed = block ? FixedFileInfo(block.get()) : nullptr;
    if (!fixed) {
        block.reset();
        return;
    }
    fileVersion = SplitVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    productVersion = SplitVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    fileFlags = fixed->dwFileFlags;
    fileOS = fixed->dwFileOS;
    fileType = fixed->dwFileType;
    fileSubtype = fixed->dwFileSubtype;
    companyName = VersionString(*this, L"CompanyName");
    fileDescription = VersionString(*this, L"FileDescription");
    productName = VersionString(*this, L"ProductName");
}

bool QueryVersionString(const ModuleVersionInfo& info, const wchar_t* name, wchar_t* output)
{
    output[0] = L'\0';
    if (!info.block || !name) return false;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* data = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.block.get(), L"\\VarFileInfo\\Translation", &data, &length) ||
        length < sizeof(Translation))
        return false;
    const auto* translation = static_cast<const Translation*>(data);
    wchar_t query[2001];
    if (std::swprintf(query, 2001, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage,
                      name) < 0)
        return false;
    if (!VerQueryValueW(info.block.get(), query, &data, &length) || !data) return false;
    const auto* value = static_cast<const wchar_t*>(data);
    CopyCut(output, MaxTextChars + 1, value, std::wcslen(value));
    return true;
}

void FormatAppVersion(const VersionParts& version, const wchar_t* label, wchar_t* text, size_t capacity) noexcept
{
    if (!text || capacity == 0) return;
    auto [major, minor, build, revision] = version;
    wchar_t formatted[300];
    int length = 0;
    if (label && revision)
        length = std::swprintf(formatted, 300, L"%d.%02d (%.200ls: %03d.%d) 64-bit", major, minor, label, build, revision);
    else if (label)
        length = std::swprintf(formatted, 300, L"%d.%02d (%.200ls: %03d) 64-bit", major, minor, label, build);
    else if (revision)
        length = std::swprintf(formatted, 300, L"%d.%02d.%d.%d", major, minor, build, revision);
    else
        length = std::swprintf(formatted, 300, L"%d.%02d.%d", major, minor, build);
    CopyCut(text, capacity, formatted, length > 0 ? static_cast<size_t>(length) : 0);
}

HRESULT GetAppVersion(WORD* major, WORD* minor, WORD* build, WORD* revision, wchar_t* text, size_t capacity,
                      const wchar_t* label) noexcept
{
    LastActivityCode = 129.0;
    wchar_t path[MAX_PATH]{};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return HResultFromLastError();
    std::unique_ptr<BYTE[]> block;
    try {
        block = LoadVersionBlock(path);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!block) return HResultFromLastError();
    const VS_FIXEDFILEINFO* fixed = FixedFileInfo(block.get());
    if (!fixed) return HResultFromLastError();
    VersionParts version = SplitVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    WORD* outs[] = {major, minor, build, revision};
    for (size_t i = 0; i < 4; ++i)
        if (outs[i]) *outs[i] = version[i];
    FormatAppVersion(version, label, text, capacity);
    LastActivityCode = 130.0;
    return S_OK;
}
