#include "Viewer/engine/DecodeWorkerRules.h"
#include "Viewer/engine/ExtensionList.h"
#include <algorithm>
#include <vector>

int CountPhysicalCores() noexcept
{
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    int count = static_cast<int>(system.dwNumberOfProcessors);
    DWORD bytes = 0;
    if (GetLogicalProcessorInformation(nullptr, &bytes) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return count;
    std::vector<uint8_t> buffer(bytes);
    auto* records = reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION*>(buffer.data());
    if (!GetLogicalProcessorInformation(records, &bytes)) return count;
    int cores = 0;
    // Only records that lie whole within what the call returned count.
    for (size_t i = 0; (i + 1) * sizeof(*records) <= bytes; ++i)
        if (records[i].Relationship == RelationProcessorCore) ++cores;
    return cores != 0 ? cores : count;
}

int DecodeWorkerCount(bool disableSmp, DWORD memoryGuideNumber, int physicalCores) noexcept
{
    if (disableSmp || memoryGuideNumber == 0) return 1;
    return std::clamp(physicalCores, 1, 8);
}

DecodeChoice ChooseDecodeExtension(std::wstring_view extensions)
{
    static constexpr std::wstring_view Preferred[] = {
        L"jpg", L"jpeg", L"jpe", L"jfif", L"exif", L"hdp", L"wdp", L"tiff", L"tif", L"dng", L"png", L"bmp",
        L"dib", L"rle", L"icon", L"ico", L"gif", L"cur", L"psd", L"tga", L"pcx", L"emf", L"wmf", L"eps"};
    for (std::wstring_view extension : Preferred)
        if (ExtensionListHolds(extensions, extension)) return {std::wstring(extension), extension == L"dng"};
    DecodeChoice first{{}, true};
    ForEachExtension(extensions, [&first](std::wstring_view token) {
        if (first.extension.empty()) first.extension = token;
    });
    return first;
}

DWORD NextBackOffWait(DWORD wait, int workerIndex) noexcept
{
    const DWORD index = static_cast<DWORD>(workerIndex);
    return index <= wait / 2 ? wait / 2 : index;
}
