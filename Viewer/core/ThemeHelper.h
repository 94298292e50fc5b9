#pragma once
// The visual-styles library, loaded by name once for the whole process (before the entry runs) and
// freed at exit; null where the system has none. Its functions are looked up at each use.
#include <windows.h>

class CThemeHelper {
public:
    static HMODULE Module() noexcept;
    // The library's function of that name, or null.
    static FARPROC Function(const char* name) noexcept;
};
