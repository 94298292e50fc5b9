#pragma once
// The plug-in's texts in its two languages: French when the viewer's language is French, English
// for every other language.
#include <windows.h>

struct PlugInTexts {
    const wchar_t* displayName;
    const wchar_t* description;
    const wchar_t* confirmationTitle;  // the version text follows it
    const wchar_t* confirmation;
    const wchar_t* unsupportedFile;
};

const PlugInTexts& TextsFor(LANGID language) noexcept;

inline constexpr wchar_t kWallpaperVersion[] = L"1.0";
inline constexpr wchar_t kWallpaperAuthor[] = L"Brenholt Software";
