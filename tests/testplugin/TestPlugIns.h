#pragma once
// The classes of the host's test plug-in, as the tests register them.
#include <windows.h>

// Records the host's calls: its version text is the list of calls before it, and its hot key is
// Ctrl+W only when GetCapabilities came before GetPreferredHotkey.
inline constexpr CLSID kRecordingPlugInClsid{0x6B1C0F0A, 0x3D1E, 0x4C7B, {0x9A, 0x01, 0x10, 0x18, 0x05, 0x62, 0x7E, 0x01}};
// Faults (reads address 0) in GetDescription.
inline constexpr CLSID kFaultingPlugInClsid{0x6B1C0F0A, 0x3D1E, 0x4C7B, {0x9A, 0x01, 0x10, 0x18, 0x05, 0x62, 0x7E, 0x02}};
// Fails every getter without writing its value.
inline constexpr CLSID kFailingPlugInClsid{0x6B1C0F0A, 0x3D1E, 0x4C7B, {0x9A, 0x01, 0x10, 0x18, 0x05, 0x62, 0x7E, 0x03}};
// Hands out an object of another library (the wallpaper plug-in beside it): code that does not lie
// in the file the host verified.
inline constexpr CLSID kForeignPlugInClsid{0x6B1C0F0A, 0x3D1E, 0x4C7B, {0x9A, 0x01, 0x10, 0x18, 0x05, 0x62, 0x7E, 0x04}};
