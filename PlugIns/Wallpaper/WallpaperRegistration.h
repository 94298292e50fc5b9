#pragma once
// The plug-in library's registration: its two registry scripts (the AppID; the class with its
// ProgIDs, type library and category), its type library, and the action plug-in category itself.
#include "Framework/Registrar.h"
#include <vector>

// The scripts' placeholders: %MODULE% (the library's full path) and %APPID%.
std::vector<RegistryEntry> WallpaperRegistryScript();

// Script, type library (the current user's when perUser) and category. The category's own
// registration may fail without failing the whole; it stays registered on removal, because other
// plug-ins share it.
HRESULT RegisterWallpaperServer(const RegistryRoots& roots, bool perUser) noexcept;
HRESULT UnregisterWallpaperServer(const RegistryRoots& roots, bool perUser) noexcept;
