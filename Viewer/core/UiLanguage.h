#pragma once
// Chooses the user interface's language at start-up: the "lang" switch, then the user's and the
// system's locale, then English, then any library of the program that is present.
#include <windows.h>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#include "Viewer/core/CommandLine.h"
#include "Viewer/core/LanguageLibrary.h"

// Where the choice looks: the program path the library names are made from, and the three-letter
// abbreviations of the user's and the system's default locale.
struct LanguageSources {
    std::wstring programPath;
    std::function<std::wstring()> userLocale;
    std::function<std::wstring()> systemLocale;
};

// The running program and the locales of the system.
LanguageSources SystemLanguageSources();

// The language codes to try, in order, for a "lang" value (empty when none was given).
std::vector<std::wstring> UiLanguageCandidates(std::wstring_view language, const LanguageSources& sources);

// Loads the first library found in the candidate order and sets the language identifier and the
// codes of LanguageResources. Returns 0 when a library is loaded; a negative value, after telling
// the user that the program cannot start, when none could be.
int SelectUiLanguage(CommandLine& commandLine, const LanguageSources& sources = SystemLanguageSources());

// A three-letter locale abbreviation of the system's list (any letter case).
bool IsWindowsLanguageCode(std::wstring_view code);
// A code whose first two letters name a language the program has texts for; strict takes three
// letters only, otherwise two will do.
bool IsSupportedLanguageCode(std::wstring_view code, bool strict);
// The language identifier of a library's language code (exact, case-sensitive); 1033 when unknown.
DWORD LanguageIdForCode(std::wstring_view code);
