#pragma once
// A command line split into arguments once, with the option queries of the viewer: whether a
// switch is present, its value, its value as a number, and the free (non-switch) arguments.
// Switch names may carry an abbreviation before a "*": "c*opyFolder" accepts c and copyFolder.
#include <windows.h>
#include <array>
#include <memory>
#include <string>
#include <string_view>

class CommandLine {
public:
    static constexpr int Capacity = 256;
    static constexpr const wchar_t* DefaultSwitchCharacters = L"-/";

    // The process's own command line (GetCommandLineW).
    explicit CommandLine(std::wstring_view switchCharacters = DefaultSwitchCharacters);
    // A given text; with the placeholder flag the text lacks the program path (a forwarded tail),
    // so argument 0 is "exe" and the text's first token is argument 1.
    CommandLine(std::wstring_view text, bool placeholder,
                std::wstring_view switchCharacters = DefaultSwitchCharacters);
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // Splits text in place (writing terminators into it) and returns the number of arguments
    // recorded, at most capacity. Blanks separate, double quotes group, nothing escapes.
    static int TokenizeCommandLine(wchar_t* text, wchar_t** arguments, int capacity, bool placeholder);

    int ArgumentCount() const noexcept { return m_count; }
    // Empty when the index is out of range.
    std::wstring GetArgument(int index) const;

    // Index (1 or more) of the first switch argument that matches the name, 0 when none does.
    int FindOption(std::wstring_view name, bool caseSensitive = false) const;
    // The text after the switch's first ":", else the next argument when it is no switch (which is
    // then consumed and no longer a free argument), else the default.
    std::wstring GetOptionValue(std::wstring_view name, std::wstring_view defaultValue = {},
                                bool caseSensitive = false);
    // The value read as a signed number ("2x" gives 2, "x" gives 0).
    int GetOptionInt(std::wstring_view name, int defaultValue, bool caseSensitive = false);
    // The unconsumed free arguments, each followed by the separator (unless firstOnly), with
    // trailing white space removed.
    std::wstring GetPositionalArgument(bool stopAtFirstSwitch, bool firstOnly, std::wstring_view separator) const;

private:
    void Tokenize(std::wstring_view text, bool placeholder);
    bool IsSwitch(int index) const noexcept;

    std::wstring m_switchCharacters;
    std::array<wchar_t*, Capacity> m_arguments{};
    std::array<bool, Capacity> m_consumed{};
    std::unique_ptr<wchar_t[]> m_text;
    int m_count = 0;
};
