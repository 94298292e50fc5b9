#include "Viewer/core/AppSettings.h"
#include <shlwapi.h>
#include "Viewer/core/LastActivity.h"
#include "Framework/UniqueModule.h"

namespace AppSettings {
namespace {

// How a stored DWORD becomes the option's value. Limits compare unsigned.
enum class Rule {
    Flag,           // any non-zero value is 1
    AsStored,
    AtMost,         // above the limit becomes the limit
    ZeroAbove,      // above the limit becomes 0
    AtLeast,        // below the limit becomes the limit
    AllOnesIsZero,  // 0xFFFFFFFF becomes 0
    NotLoaded,      // written on a first run, read elsewhere
    ProfileName,    // the REG_SZ "CustomTargetColorProfile"
    BookmarkFileName,  // the REG_SZ "ExternalBookmarkFileName"
};

struct Option {
    const wchar_t* name;
    DWORD* variable;      // null for the values without one
    DWORD defaultValue;   // the variable's static initial value
    Rule rule;
    DWORD limit;
    bool firstRun;
    double activity;      // stored before the option is loaded; 0 for none
};

// The value name is the variable's name, so the two can never drift apart.
#define LUMENFOLD_OPTION(name, rule, limit, firstRun, activity) \
    Option{L## #name, &name, name, rule, limit, firstRun, activity}
#define LUMENFOLD_VALUE(name, rule, firstRun, activity) \
    Option{L## #name, nullptr, 0, rule, 0, firstRun, activity}

// Load order, which is also the first-run write order.
const Option kOptions[] = {
    LUMENFOLD_OPTION(DisableHWA, Rule::Flag, 0, true, 42),
    LUMENFOLD_OPTION(DisableSMP, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableICC, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(MultiSampling, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(RightClickMagnifier, Rule::AsStored, 0, true, 0),
    LUMENFOLD_OPTION(SmartMouseAcceleration, Rule::AtMost, 300, true, 0),
    LUMENFOLD_OPTION(AutoModeInterval, Rule::AtLeast, 10, true, 0),
    LUMENFOLD_OPTION(EnableInvertedZoomScrolling, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(HideZoomMouseCursor, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(SubFoldersBrowsing, Rule::AsStored, 0, true, 0),
    LUMENFOLD_OPTION(EnableRating, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableLabelling, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableUrgency, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(LabellingConvention, Rule::ZeroAbove, 2, true, 0),
    LUMENFOLD_OPTION(CreateSidecarFiles, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(AlwaysCreateSidecarFiles, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EmbedMetadata, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(PrefixFileNamesWithRating, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableFilePrefixes, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableFileOwerwrite, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableExifAutoRotate, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableFileDeletion, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableMoveToRecycleBin, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableExitFromEscapeKey, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableFileNameInCaption, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableHistogramDataCompression, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnablePerChannelHistogramNormalization, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableCopiedStampOverlay, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(PreserveSourceFolderHierarchy, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(ReuseLastPictureFolder, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(ReuseLastKeepCopyFolder, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(WrapImageList, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(EnableMessageBeep, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(AutoHideTaskbar, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(AutoHideMouseCursor, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(SortByDateTime, Rule::ZeroAbove, 4, true, 43),
    LUMENFOLD_OPTION(ShowHistogram, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(ShowShootingData, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(ShowBookmarkList, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(ShowExternalEditors, Rule::Flag, 0, false, 0),
    LUMENFOLD_OPTION(ShowIptcEditor, Rule::Flag, 0, false, 0),
    LUMENFOLD_OPTION(DownscaleLargeImages, Rule::AllOnesIsZero, 0, true, 0),
    LUMENFOLD_OPTION(EnableMultiFrameSupport, Rule::Flag, 0, true, 44),
    LUMENFOLD_OPTION(SaveBookmarksAcrossSessions, Rule::Flag, 0, true, 45),
    LUMENFOLD_OPTION(MemoryUsageGuideNumber, Rule::AtMost, 96, true, 46),
    LUMENFOLD_OPTION(WarnOnInvalidProfile, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(OverrideTargetProfile, Rule::Flag, 0, true, 47),
    LUMENFOLD_VALUE(CustomTargetColorProfile, Rule::ProfileName, true, 0),
    LUMENFOLD_OPTION(EnableRatingAutoAdvance, Rule::Flag, 0, true, 48),
    LUMENFOLD_VALUE(UpdateLastWriteTimeWhenRating, Rule::NotLoaded, true, 0),
    LUMENFOLD_VALUE(ExternalBookmarkFileName, Rule::BookmarkFileName, false, 48.1),
    LUMENFOLD_OPTION(EnableAbortableImageLoading, Rule::Flag, 0, true, 48.2),
    LUMENFOLD_OPTION(SmoothPixelsInZoomModes, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(StretchSmallImages, Rule::Flag, 0, true, 0),
    LUMENFOLD_OPTION(CheckeredBackround, Rule::Flag, 0, true, 0),
};

#undef LUMENFOLD_OPTION
#undef LUMENFOLD_VALUE

constexpr size_t kMaxStringChars = 259;  // the 260-character buffers of the string values

// The stored value's raw bytes when it fits in 4 bytes, whatever its type; the current value when
// it is missing or longer.
void ReadDword(const RegKey& key, const wchar_t* name, DWORD& variable) noexcept
{
    DWORD value = 0, size = sizeof(value);
    if (RegQueryValueExW(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS)
        variable = value;
}

DWORD Apply(Rule rule, DWORD value, DWORD limit) noexcept
{
    switch (rule) {
    case Rule::Flag: return value != 0 ? 1 : 0;
    case Rule::AtMost: return value > limit ? limit : value;
    case Rule::ZeroAbove: return value > limit ? 0 : value;
    case Rule::AtLeast: return value < limit ? limit : value;
    case Rule::AllOnesIsZero: return value == 0xFFFFFFFF ? 0 : value;
    default: return value;
    }
}

// Rating, labels and urgency need somewhere to write to; without a writing method they are off
// for this run (the stored values stay as they are).
void ApplyWritingMethodRule() noexcept
{
    if (CreateSidecarFiles == 0 && EmbedMetadata == 0 && PrefixFileNamesWithRating == 0) {
        EnableRating = 0;
        EnableLabelling = 0;
        EnableUrgency = 0;
    }
}

void LoadTargetProfile(const RegKey& key)
{
    CustomTargetColorProfile.Free();
    if (OverrideTargetProfile != 1) return;
    std::wstring name = key.QueryString(L"CustomTargetColorProfile", kMaxStringChars).value_or(L"");
    if (name.empty()) return;
    if (CompareStringOrdinal(name.c_str(), -1, AutomaticProfile, -1, TRUE) == CSTR_EQUAL) {
        CustomTargetColorProfile = AutomaticProfile;
        return;
    }
    std::wstring path = FindColorProfileFile(name);
    if (!path.empty()) CustomTargetColorProfile = path;
}

void LoadBookmarkFileName(const RegKey& key)
{
    std::wstring name = key.QueryString(L"ExternalBookmarkFileName", kMaxStringChars).value_or(L"");
    if (!name.empty())
        ExternalBookmarkFileName = name;
    else if (ExternalBookmarkFileName.Empty())
        ExternalBookmarkFileName = DefaultBookmarkFileName;
}

void LoadOption(const RegKey& key, const Option& option)
{
    switch (option.rule) {
    case Rule::NotLoaded: return;
    case Rule::ProfileName: LoadTargetProfile(key); return;
    case Rule::BookmarkFileName: LoadBookmarkFileName(key); return;
    default:
        ReadDword(key, option.name, *option.variable);
        *option.variable = Apply(option.rule, *option.variable, option.limit);
        if (option.variable == &PrefixFileNamesWithRating) ApplyWritingMethodRule();
        return;
    }
}

// The colour system is loaded only when a profile name has to be resolved.
bool GetColorDirectory(wchar_t (&path)[MAX_PATH]) noexcept
{
    using GetColorDirectoryFunction = BOOL(WINAPI*)(PCWSTR machine, PWSTR buffer, PDWORD size);
    UniqueModule mscms(LoadLibraryW(L"mscms.dll"));
    if (!mscms) return false;
    auto getColorDirectory = reinterpret_cast<GetColorDirectoryFunction>(
        reinterpret_cast<void*>(GetProcAddress(mscms.get(), "GetColorDirectoryW")));
    DWORD size = sizeof(path);
    return getColorDirectory && getColorDirectory(nullptr, path, &size);
}

}  // namespace

bool SettingsPresenceTest(HKEY key) noexcept
{
    for (DWORD index = 0; index < 10; ++index) {
        wchar_t name[260];
        DWORD length = 260;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_NO_MORE_ITEMS)
            return false;
    }
    return true;
}

void LoadSettings(const RegKey& key)
{
    for (const Option& option : kOptions) {
        if (option.activity != 0) LastActivityCode = option.activity;
        LoadOption(key, option);
    }
    LastActivityCode = 49;
}

void WriteFirstRunSettings(RegKey& key) noexcept
{
    for (const Option& option : kOptions) {
        if (!option.firstRun) continue;
        if (option.rule == Rule::ProfileName)
            key.SetString(option.name, L"");
        else
            key.SetDword(option.name, option.defaultValue);
    }
}

RegKey OpenOrCreateSettings()
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, KeyPath, KEY_READ) == ERROR_SUCCESS && SettingsPresenceTest(key.Get())) {
        LoadSettings(key);
        return key;
    }
    LastActivityCode = 50;
    key.Close();
    key.Create(HKEY_CURRENT_USER, KeyPath, KEY_READ | KEY_WRITE);
    if (key) WriteFirstRunSettings(key);
    return key;
}

std::wstring FindColorProfileFile(std::wstring_view name)
{
    if (name.empty() || name.size() >= MAX_PATH) return {};
    wchar_t path[MAX_PATH]{};
    if (!GetColorDirectory(path)) return {};
    if (!PathAppendW(path, std::wstring(name).c_str())) return {};
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return path;
}

}  // namespace AppSettings
