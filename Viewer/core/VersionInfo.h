#pragma once
// Version resources: any module's (for the crash report) and the program's own version numbers
// and version text.
#include <windows.h>
#include <array>
#include <memory>
#include <string>

// Four 16-bit parts, most significant first: major, minor, build, revision.
using VersionParts = std::array<WORD, 4>;

// What a module's version resource says; all numbers 0 and all texts empty when it has none.
struct ModuleVersionInfo {
    // A null or empty path leaves the record empty.
    explicit ModuleVersionInfo(const wchar_t* modulePath);

    std::wstring path;                       // at most 518 characters
    std::unique_ptr<BYTE[]> block;           // the raw resource; null when there is none
    VersionParts fileVersion{};
    VersionParts productVersion{};
    DWORD fileFlags = 0;
    DWORD fileOS = 0;
    DWORD fileType = 0;
    DWORD fileSubtype = 0;
    std::wstring companyName;                // at most 259 characters each
    std::wstring productName;
    std::wstring fileDescription;
};

// A value of the string table of the resource's first translation, cut to 259 characters, into
// output (260 characters, emptied first). True when found.
bool QueryVersionString(const ModuleVersionInfo& info, const wchar_t* name, wchar_t* output);

// The program's own file version. Each non-null out-value gets its part; with a text buffer of
// capacity above 0 the version text (cut to fit): with a label "4.02 (Build: 017.3) 64-bit",
// without "4.02.17.3"; the revision is left out when it is 0.
HRESULT GetAppVersion(WORD* major, WORD* minor, WORD* build, WORD* revision, wchar_t* text, size_t capacity,
                      const wchar_t* label) noexcept;

// The version text of GetAppVersion for given parts.
void FormatAppVersion(const VersionParts& version, const wchar_t* label, wchar_t* text, size_t capacity) noexcept;
