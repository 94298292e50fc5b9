#pragma once
// The identities of the wallpaper plug-in as the registry and the viewer know them.
#include <windows.h>

inline constexpr CLSID kSetAsWallpaperClsid{
    0x2EFC8013, 0x587A, 0x492D, {0x9E, 0xFD, 0x30, 0x93, 0xB6, 0x87, 0x1E, 0xEA}};
inline constexpr GUID kWallpaperLibId{0x8B16C253, 0xA2E4, 0x4260, {0xB3, 0xB3, 0x3D, 0xBF, 0x8C, 0xAB, 0x6B, 0x48}};
inline constexpr wchar_t kWallpaperProgId[] = L"Lumenfold.PlugIn.SetAsWallpaper.1";
inline constexpr wchar_t kWallpaperAppId[] = L"{3A590F2B-A46D-48C5-899D-7AE111F7AF4E}";
