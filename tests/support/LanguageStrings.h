#pragma once
// Makes the English language library the resource module for a test's scope, so that messages
// carry their real texts.
#include <windows.h>

class ScopedLanguageStrings {
public:
    ScopedLanguageStrings();
    ScopedLanguageStrings(const ScopedLanguageStrings&) = delete;
    ScopedLanguageStrings& operator=(const ScopedLanguageStrings&) = delete;
    ~ScopedLanguageStrings();

    bool Loaded() const noexcept { return m_library != nullptr; }

private:
    HMODULE m_library = nullptr;
    HINSTANCE m_previous = nullptr;
};
