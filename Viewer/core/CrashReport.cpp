#include "Viewer/core/CrashReport.h"
#include <cstdarg>
#include <cwchar>
#include <utility>
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessState.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/VersionInfo.h"

namespace {
constexpr size_t LineChars = 8192;
constexpr DWORD ModulePathChars = 1038;

// Formats each line into one buffer and appends it to the file unchanged. A line that cannot be
// formatted or written is left out: whatever reaches the file still helps, and the caller judges
// the report by its size.
class ReportWriter {
public:
    explicit ReportWriter(HANDLE file) noexcept : m_file(file) {}

    void Bytes(const void* data, DWORD size) noexcept
    {
        DWORD written = 0;
        WriteFile(m_file, data, size, &written, nullptr);
    }

    void Line(const wchar_t* format, ...) noexcept
    {
        va_list arguments;
        va_start(arguments, format);
        int length = std::vswprintf(m_line, LineChars, format, arguments);
        va_end(arguments);
        if (length > 0) Bytes(m_line, static_cast<DWORD>(length) * sizeof(wchar_t));
    }

private:
    HANDLE m_file;
    wchar_t m_line[LineChars];
};

// "%d-%d-%d %02d:%02d:%02d" of a UTC time, into a caller's buffer of 64 characters.
const wchar_t* FormatTime(const SYSTEMTIME& time, wchar_t (&text)[64]) noexcept
{
    std::swprintf(text, 64, L"%d-%d-%d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

unsigned long long RoundUpToMegabytes(SIZE_T bytes) noexcept
{
    return (static_cast<unsigned long long>(bytes) + 0xFFFFF) >> 20;
}

void WriteHeader(ReportWriter& out)
{
    SYSTEMTIME now{};
    GetSystemTime(&now);
    wchar_t time[64];
    out.Line(L"Error occurred at %ls\r\n", FormatTime(now, time));

    wchar_t program[MAX_PATH]{};
    out.Line(L"%ls\r\n", GetModuleFileNameW(nullptr, program, MAX_PATH) ? program : L"Unknown");

    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
    wchar_t number[64];
    std::swprintf(number, 64, L"%u.%u.%u", static_cast<unsigned>(version.dwMajorVersion),
                  static_cast<unsigned>(version.dwMinorVersion), static_cast<unsigned>(version.dwBuildNumber));
    out.Line(L"Operating system:  %ls (%ls)\r\n", SystemName(version), number);

    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    out.Line(L"%d processor(s), type %d\r\n", static_cast<int>(system.dwNumberOfProcessors),
             static_cast<int>(system.dwProcessorType));

    MEMORYSTATUS memory{};
    memory.dwLength = sizeof(memory);
    GlobalMemoryStatus(&memory);
    out.Line(L"%d%% memory in use\r\n", static_cast<int>(memory.dwMemoryLoad));
    out.Line(L"%llu MBytes physical memory\r\n", RoundUpToMegabytes(memory.dwTotalPhys));
    out.Line(L"%llu MBytes physical memory free\r\n", RoundUpToMegabytes(memory.dwAvailPhys));
    out.Line(L"%llu MBytes paging file free\r\n", RoundUpToMegabytes(memory.dwAvailPageFile));
    out.Line(L"%llu MBytes user address space\r\n", RoundUpToMegabytes(memory.dwTotalVirtual));
    out.Line(L"%llu MBytes user address space free\r\n", RoundUpToMegabytes(memory.dwAvailVirtual));
}

// The PE headers of a loaded module, or null when the allocation is not a module image.
const IMAGE_NT_HEADERS* ModuleHeaders(const BYTE* base, wchar_t (&path)[ModulePathChars]) noexcept
{
    if (!GetModuleFileNameW(reinterpret_cast<HMODULE>(const_cast<BYTE*>(base)), path, ModulePathChars))
        return nullptr;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return headers->Signature == IMAGE_NT_SIGNATURE ? headers : nullptr;
}

void WriteModule(ReportWriter& out, int number, const wchar_t* path, const IMAGE_NT_HEADERS* headers)
{
    out.Line(L"Module %d:\r\n", number);
    out.Line(L"%ls\r\n", path);

    // A 32-bit image mapped into the process has the smaller optional header.
    unsigned long long imageBase = 0;
    DWORD imageSize = 0, checksum = 0;
    if (headers->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        const auto& optional = reinterpret_cast<const IMAGE_NT_HEADERS32*>(headers)->OptionalHeader;
        imageBase = optional.ImageBase;
        imageSize = optional.SizeOfImage;
        checksum = optional.CheckSum;
    } else {
        imageBase = headers->OptionalHeader.ImageBase;
        imageSize = headers->OptionalHeader.SizeOfImage;
        checksum = headers->OptionalHeader.CheckSum;
    }
    // At least eight digits, all of them where a 64-bit base needs more.
    out.Line(L"Image Base: 0x%08llx  Image Size: 0x%08x\r\n", imageBase, static_cast<unsigned>(imageSize));
    out.Line(L"Checksum:   0x%08x  Time Stamp: 0x%08x\r\n", static_cast<unsigned>(checksum),
             static_cast<unsigned>(headers->FileHeader.TimeDateStamp));

    long long fileSize = 0;
    wchar_t fileTime[64] = L"";
    UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    FILETIME lastWrite{};
    SYSTEMTIME lastWriteUtc{};
    if (file && GetFileSizeEx(file.Get(), &size)) fileSize = size.QuadPart;
    if (file && GetFileTime(file.Get(), nullptr, nullptr, &lastWrite) && FileTimeToSystemTime(&lastWrite, &lastWriteUtc))
        FormatTime(lastWriteUtc, fileTime);
    out.Line(L"File Size:  %-10lld  File Time:  %ls\r\n", fileSize, fileTime);

    ModuleVersionInfo version(path);
    out.Line(L"Version Information:\r\n");
    out.Line(L"   Company:    %ls\r\n", version.companyName.c_str());
    out.Line(L"   Product:    %ls\r\n", version.productName.c_str());
    out.Line(L"   FileDesc:   %ls\r\n", version.fileDescription.c_str());
    const VersionParts& file4 = version.fileVersion;
    const VersionParts& product4 = version.productVersion;
    out.Line(L"   FileVer:    %d.%d.%d.%d\r\n", file4[0], file4[1], file4[2], file4[3]);
    out.Line(L"   ProdVer:    %d.%d.%d.%d\r\n", product4[0], product4[1], product4[2], product4[3]);
    out.Line(L"\r\n");
}

// Walks the whole user address space: every allocation that a module was loaded into is listed
// once, numbered from 1 in address order.
void WriteModules(ReportWriter& out)
{
    out.Line(L"\r\n\r\n");
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    auto position = reinterpret_cast<ULONG_PTR>(system.lpMinimumApplicationAddress);
    const auto end = reinterpret_cast<ULONG_PTR>(system.lpMaximumApplicationAddress);
    const BYTE* lastBase = nullptr;
    int number = 0;
    while (position < end) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<void*>(position), &region, sizeof(region)) || region.RegionSize == 0) {
            position += 0x10000;
            continue;
        }
        position = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
        const auto* base = static_cast<const BYTE*>(region.AllocationBase);
        if (region.State != MEM_COMMIT || base <= lastBase) continue;
        lastBase = base;
        wchar_t path[ModulePathChars];
        if (const IMAGE_NT_HEADERS* headers = ModuleHeaders(base, path)) WriteModule(out, ++number, path, headers);
    }
}

DWORD StoredSetting(const RegKey& key, const wchar_t* name) noexcept
{
    return key.QueryDword(name).value_or(0);
}

void WriteSettings(ReportWriter& out)
{
    out.Line(L"\r\nApp Settings:\r\n\r\n");
    out.Line(L"   CheckPoint: %f\r\n", LastActivityCode.load());

    RegKey key;
    key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath);
    for (const wchar_t* name : {L"DisableHWA", L"DisableSMP", L"EnableICC", L"MultiSampling"})
        out.Line(L"   %ls: %d\r\n", name, static_cast<int>(StoredSetting(key, name)));

    using namespace AppSettings;
    const std::pair<const wchar_t*, DWORD> current[] = {
        {L"RightClickMagnifier", RightClickMagnifier},
        {L"SmartMouseAcceleration", SmartMouseAcceleration},
        {L"EnableInvertedZoomScrolling", EnableInvertedZoomScrolling},
        {L"HideZoomMouseCursor", HideZoomMouseCursor},
        {L"SubFoldersBrowsing", SubFoldersBrowsing},
        {L"EnableRating", EnableRating},
        {L"EnableLabelling", EnableLabelling},
        {L"EnableUrgency", EnableUrgency},
        {L"LabellingConvention", LabellingConvention},
        {L"CreateSidecarFiles", CreateSidecarFiles},
        {L"AlwaysCreateSidecarFiles", AlwaysCreateSidecarFiles},
        {L"EmbedMetadata", EmbedMetadata},
        {L"PrefixFileNamesWithRating", PrefixFileNamesWithRating},
        {L"EnableFilePrefixes", EnableFilePrefixes},
        {L"EnableFileOwerwrite", EnableFileOwerwrite},
        {L"EnableExifAutoRotate", EnableExifAutoRotate},
        {L"EnableFileDeletion", EnableFileDeletion},
        {L"EnableMoveToRecycleBin", EnableMoveToRecycleBin},
        {L"EnableExitFromEscapeKey", EnableExitFromEscapeKey},
        {L"EnableFileNameInCaption", EnableFileNameInCaption},
        {L"EnableHistogramDataCompression", EnableHistogramDataCompression},
        {L"EnablePerChannelHistogramNormalization", EnablePerChannelHistogramNormalization},
        {L"EnableCopiedStampOverlay", EnableCopiedStampOverlay},
        {L"PreserveSourceFolderHierarchy", PreserveSourceFolderHierarchy},
        {L"ReuseLastPictureFolder", ReuseLastPictureFolder},
        {L"ReuseLastKeepCopyFolder", ReuseLastKeepCopyFolder},
        {L"WrapImageList", WrapImageList},
        {L"EnableMessageBeep", EnableMessageBeep},
        {L"TrackModeActive", static_cast<DWORD>(StartModes.trackMode)},
        {L"TetheredModeActive", static_cast<DWORD>(StartModes.deviceMode)},
        {L"AutoModeActive", static_cast<DWORD>(StartModes.autoStart)},
        {L"AutoModeIntervalMs", AutoModeInterval},
        {L"AutoHideTaskbar", AutoHideTaskbar},
        {L"AutoHideMouseCursor", AutoHideMouseCursor},
        {L"SortByDateTime", SortByDateTime},
        {L"ShowHistogram", ShowHistogram},
        {L"ShowShootingData", ShowShootingData},
    };
    for (const auto& [name, value] : current) out.Line(L"   %ls: %d\r\n", name, static_cast<int>(value));

    out.Line(L"   DownscaleLargeImages: %04x\r\n", static_cast<unsigned>(DownscaleLargeImages));
    out.Line(L"   WarnOnInvalidProfile: %04x\r\n", static_cast<unsigned>(WarnOnInvalidProfile));
    out.Line(L"   DefaultProfile: %ls\r\n", DefaultTargetProfileName.c_str());
    out.Line(L"   CustomTargetColorProfile: %ls\r\n", CustomTargetColorProfile.c_str());

    DISPLAY_DEVICEW device{};
    device.cb = sizeof(device);
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &device, 0); ++index) {
        if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP)
            out.Line(L"   Adapter%d: State=0x%08lx Name=%ls Device=%ls\r\n", static_cast<int>(index),
                     static_cast<unsigned long>(device.StateFlags), device.DeviceName, device.DeviceString);
        device = DISPLAY_DEVICEW{};
        device.cb = sizeof(device);
    }
}
}

void WriteCrashReport(HANDLE file) noexcept
{
    ReportWriter out(file);
    const BYTE byteOrderMark[] = {0xFF, 0xFE};
    out.Bytes(byteOrderMark, sizeof(byteOrderMark));
    try {
        WriteHeader(out);
        WriteModules(out);
        WriteSettings(out);
    } catch (...) {
        // Out of memory while the program is dying: what was written stays.
    }
}

const wchar_t* SystemName(const OSVERSIONINFOEXW& version) noexcept
{
    const DWORD major = version.dwMajorVersion, minor = version.dwMinorVersion;
    const DWORD build = LOWORD(version.dwBuildNumber);
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major == 4 && minor < 10) {
            if (build == 950) return L"Windows 95";
            if (build > 950 && build <= 1080) return L"Windows 95 SP1";
            if (build > 1080) return L"Windows 95 OSR2";
        } else if (major == 4 && minor == 10) {
            if (build == 1998) return L"Windows 98";
            if (build > 1998 && build <= 2182) return L"Windows 98 SP1";
            if (build > 2182) return L"Windows 98 SE";
        } else if (major == 4 && minor == 90) {
            return L"Windows ME";
        }
        break;
    case VER_PLATFORM_WIN32_NT: {
        const bool workstation = version.wProductType == VER_NT_WORKSTATION;
        const bool server = version.wProductType == VER_NT_SERVER;
        if (major == 3 && minor == 51) return L"Windows NT 3.51";
        if (major == 4 && minor == 0) return L"Windows NT 4";
        if (major == 5 && minor == 0) return L"Windows 2000";
        if (major == 5 && minor == 1) return L"Windows XP";
        if (major == 5 && minor == 2) return L"Windows 2003 Server";
        if (major == 6 && minor == 0 && workstation) return L"Windows Vista";
        if (major == 6 && minor == 0 && server) return L"Windows 2008 Server";
        if (major == 6 && minor == 1 && workstation) return L"Windows 7";
        if (major == 6 && minor == 1 && server) return L"Windows 7 Server";
        break;
    }
    case 3:  // VER_PLATFORM_WIN32_CE
        return L"Windows CE";
    }
    return L"Unknown Windows Version";
}
