#pragma once
// The language resource library: a resource-only file beside the program that holds every menu,
// accelerator table, dialog template and string of the user interface. It is loaded as a data
// file once its signature has been checked, and becomes the framework's resource module.
#include <windows.h>
#include <set>
#include <string>
#include <string_view>
#include "Framework/Bstr.h"

namespace LanguageResources {

// File names compare without letter case, as the file system does.
struct FileNameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
};

// The loaded library, null until one is loaded; freed by FreeLanguageLibrary at the very end.
inline HMODULE LibraryHandle = nullptr;
// File names (without folder) whose signature was checked in this process, and the ones of them
// that failed: a refused file is never loaded, however often it comes up as a candidate.
inline std::set<std::wstring, FileNameLess> TriedNames;
inline std::set<std::wstring, FileNameLess> RefusedNames;
// The user interface's language identifier, derived from the loaded library's language code.
inline DWORD UiLangId = 1033;
// The parts of the loaded library's file name; null when the name has none. The update check
// sends both.
inline Bstr LanguageCode;
inline Bstr EditionCode;

}  // namespace LanguageResources

// The program's own path (GetModuleFileNameW); the libraries are named after it.
std::wstring ProgramPath();

// Finds the library for a language code (at most 3 characters; "?" and "*" make it a pattern) and
// an optional edition code beside programPath, checks its signature, loads it and installs it as
// the resource module. The edition and language parts of the loaded file's name come back in the
// out values. An untrusted file is reported once per process and refused.
bool LoadLanguageLibrary(std::wstring_view code, std::wstring_view edition, std::wstring& editionOut,
                         std::wstring& languageOut, const std::wstring& programPath = ProgramPath());

// Puts the program's own module back as the resource module and frees the library.
void FreeLanguageLibrary() noexcept;

// A string by number: from the language library, else from the program's own strings, else "?".
std::wstring LoadUiString(UINT id);
