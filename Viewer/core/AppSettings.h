#pragma once
// The viewer's persistent options. Each registry value of the settings key has one process-wide
// variable named exactly like the value; its static initial value is the default. Every thread
// reads them without a lock; only the user-interface thread writes them (each is one aligned
// 32-bit value).
#include <windows.h>
#include <string>
#include <string_view>
#include "Framework/Bstr.h"
#include "Framework/RegKey.h"
#include <atomic>

namespace AppSettings {

// Below HKEY_CURRENT_USER; every reader and writer of the settings uses this one path.
inline const wchar_t* const KeyPath = L"SOFTWARE\\Brenholt\\Lumenfold";

// Read once by the start-up, then handed to their users.
inline DWORD DisableHWA = 1;
inline DWORD DisableSMP = 0;
inline DWORD EnableICC = 0;
inline DWORD MultiSampling = 0;

inline DWORD RightClickMagnifier = 300;
inline DWORD SmartMouseAcceleration = 100;
inline DWORD AutoModeInterval = 1000;
inline DWORD EnableInvertedZoomScrolling = 0;
inline DWORD HideZoomMouseCursor = 1;
inline DWORD SubFoldersBrowsing = 1;
inline DWORD EnableRating = 0;
inline DWORD EnableLabelling = 0;
inline DWORD EnableUrgency = 0;
inline DWORD LabellingConvention = 0;
inline DWORD CreateSidecarFiles = 0;
inline DWORD AlwaysCreateSidecarFiles = 0;
inline DWORD EmbedMetadata = 0;
inline DWORD PrefixFileNamesWithRating = 0;
inline DWORD EnableFilePrefixes = 0;
inline DWORD EnableFileOwerwrite = 0;
inline DWORD EnableExifAutoRotate = 1;
inline DWORD EnableFileDeletion = 0;
inline DWORD EnableMoveToRecycleBin = 1;
inline DWORD EnableExitFromEscapeKey = 1;
inline DWORD EnableFileNameInCaption = 1;
inline DWORD EnableHistogramDataCompression = 0;
inline DWORD EnablePerChannelHistogramNormalization = 0;
inline DWORD EnableCopiedStampOverlay = 1;
inline DWORD PreserveSourceFolderHierarchy = 0;
inline DWORD ReuseLastPictureFolder = 0;
inline DWORD ReuseLastKeepCopyFolder = 0;
inline DWORD WrapImageList = 1;
inline DWORD EnableMessageBeep = 1;
inline DWORD AutoHideTaskbar = 0;
inline DWORD AutoHideMouseCursor = 1;
inline DWORD SortByDateTime = 0;
inline DWORD ShowHistogram = 1;
inline DWORD ShowShootingData = 1;
inline DWORD ShowBookmarkList = 0;
inline DWORD ShowExternalEditors = 1;
inline DWORD ShowIptcEditor = 0;
inline DWORD DownscaleLargeImages = 112;
inline DWORD EnableMultiFrameSupport = 0;
inline DWORD SaveBookmarksAcrossSessions = 1;
inline DWORD MemoryUsageGuideNumber = 32;
inline DWORD WarnOnInvalidProfile = 0;
// Start-up only: whether "CustomTargetColorProfile" is read at all.
inline DWORD OverrideTargetProfile = 0;
inline DWORD EnableRatingAutoAdvance = 0;
inline DWORD EnableAbortableImageLoading = 0;
inline DWORD SmoothPixelsInZoomModes = 0;
inline DWORD StretchSmallImages = 0;
inline DWORD CheckeredBackround = 1;
// "UpdateLastWriteTimeWhenRating" has no variable: the metadata writer reads it from the key at
// every write. It is only written here, on a first run.

// "<Automatic>" (the display's profile), the full path of an ICC profile file, or empty.
inline Bstr CustomTargetColorProfile;
// Set when the colour-profile switch of the command line chose the target profile for this run.
inline bool CommandLineColorProfile = false;
// The target profile when none is chosen.
inline const Bstr DefaultTargetProfileName{L"sRGB IEC61966-2.1"};
// Empty on a first run until the next start; "Bookmarks.lmf" unless the key names another file.
inline Bstr ExternalBookmarkFileName;
// Full path of the last picture shown, kept for the start path and the image engine.
inline Bstr LastImageViewed;
// A newer release found by the start-up's update check: the start-up thread writes the description
// first and then raises the flag; the frame reads them only after it sees the flag.
inline Bstr NewVersionDescription;
inline std::atomic<bool> NewVersionAvailable{false};

inline constexpr wchar_t AutomaticProfile[] = L"<Automatic>";
inline constexpr wchar_t DefaultBookmarkFileName[] = L"Bookmarks.lmf";

// True when the key holds at least 10 values: anything less is a first run.
bool SettingsPresenceTest(HKEY key) noexcept;

// Loads every option from the key with its clamp and the rule that switches the rating kinds off
// when no writing method is on.
void LoadSettings(const RegKey& key);

// Writes the first-run defaults (in load order) into the key; write failures are ignored.
void WriteFirstRunSettings(RegKey& key) noexcept;

// The start-up step: opens the settings key and loads it, or (missing, or fewer than 10 values)
// creates it and writes the first-run defaults. Returns the key, open with read rights at least,
// for the rest of the start-up; an empty holder when it could not even be created.
RegKey OpenOrCreateSettings();

// The full path of a file of the system colour directory, or empty when the name is empty or does
// not name an existing file there (a folder does not count).
std::wstring FindColorProfileFile(std::wstring_view name);

}  // namespace AppSettings
