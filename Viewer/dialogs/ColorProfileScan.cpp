#include "Viewer/dialogs/ColorProfileScan.h"
#include "Framework/UniqueHandle.h"
#include "Framework/UniqueModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/IccProfile.h"
#include <icm.h>
#include <shlwapi.h>
#include <memory>

namespace {
constexpr DWORD kPauseBeforeScan = 200;  // lets the dialog show before the disk is read
constexpr DWORD kEnumerationVersion = 0x300;

bool IsProfileName(const std::wstring& name) noexcept
{
    const wchar_t* extension = PathFindExtensionW(name.c_str());
    return lstrcmpiW(extension, L".icc") == 0 || lstrcmpiW(extension, L".icm") == 0;
}

// The whole file, or nothing when it cannot be opened or read.
std::vector<BYTE> ReadWholeFile(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 64 * 1024 * 1024) return {};
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return {};
    return bytes;
}
}

std::vector<std::wstring> EnumerateMonitorProfiles(HANDLE)
{
    using EnumColorProfilesFunction = BOOL(WINAPI*)(PCWSTR, PENUMTYPEW, PBYTE, PDWORD, PDWORD);
    UniqueModule mscms(LoadLibraryW(L"mscms.dll"));
    if (!mscms) return {};
    auto enumColorProfiles = reinterpret_cast<EnumColorProfilesFunction>(
        reinterpret_cast<void*>(GetProcAddress(mscms.get(), "EnumColorProfilesW")));
    if (!enumColorProfiles) return {};
    ENUMTYPEW filter{};
    filter.dwSize = sizeof(filter);
    filter.dwVersion = kEnumerationVersion;
    filter.dwFields = ET_CLASS | ET_DEVICECLASS;
    filter.dwClass = CLASS_MONITOR;
    filter.dwDeviceClass = CLASS_MONITOR;
    DWORD size = 0;
    DWORD count = 0;
    enumColorProfiles(nullptr, &filter, nullptr, &size, &count);
    if (size == 0 || count == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!enumColorProfiles(nullptr, &filter, buffer.data(), &size, &count)) return {};
    std::vector<std::wstring> names;
    const auto* name = reinterpret_cast<const wchar_t*>(buffer.data());
    const auto* end = reinterpret_cast<const wchar_t*>(buffer.data() + buffer.size());
    while (name < end && *name) {
        const std::wstring one(name, wcsnlen(name, static_cast<size_t>(end - name)));
        names.push_back(one);
        name += one.size() + 1;
    }
    return names;
}

HRESULT ColorProfileScan::Start(HWND dialog, UINT message, ProfileEnumerator enumerate)
{
    return m_thread.Start(L"profiles", [dialog, message, enumerate = std::move(enumerate)](WorkerThread& self) {
        if (WaitForSingleObject(self.StopEvent(), kPauseBeforeScan) != WAIT_TIMEOUT) return S_FALSE;
        std::vector<FoundProfile> found;
        for (const std::wstring& name : enumerate(self.StopEvent())) {
            if (self.StopRequested()) return S_FALSE;
            if (!IsProfileName(name)) continue;
            const std::wstring path = AppSettings::FindColorProfileFile(name);
            if (path.empty()) continue;
            const std::vector<BYTE> bytes = ReadWholeFile(path);
            if (bytes.empty()) continue;
            const Bstr description = ReadIccProfileDescription(bytes.data(), bytes.size());
            found.push_back({description.Empty() ? name : std::wstring(description.View()), name});
        }
        if (self.StopRequested() || !IsWindow(dialog)) return S_FALSE;
        SendMessageW(dialog, message, 0, reinterpret_cast<LPARAM>(&found));
        return S_OK;
    });
}
