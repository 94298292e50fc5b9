#pragma once
// The library's registration: the AppID, the AutoPlay handler with its class and ProgIDs, and the
// context-menu handler on folders and drives.
#include "Framework/Registrar.h"
#include <vector>

// The script's placeholders: %MODULE% (the library's full path) and %APPID%.
std::vector<RegistryEntry> ShellRegistryScript();

inline constexpr wchar_t kShellAppId[] = L"{10180562-7E73-4C55-A206-DA359CCEDFDF}";
