#include "Viewer/core/CommandLine.h"
#include <cwctype>
#include <cstdlib>

namespace {

constexpr wchar_t kPlaceholder[] = L"exe";
constexpr size_t kMaxOptionName = 255;

bool IsBlank(wchar_t c) noexcept { return c == L' '; }

bool SameText(std::wstring_view a, std::wstring_view b, bool caseSensitive) noexcept
{
    if (a.size() != b.size()) return false;
    if (caseSensitive) return a == b;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

CommandLine::CommandLine(std::wstring_view switchCharacters) : m_switchCharacters(switchCharacters)
{
    Tokenize(GetCommandLineW(), false);
}

CommandLine::CommandLine(std::wstring_view text, bool placeholder, std::wstring_view switchCharacters)
    : m_switchCharacters(switchCharacters)
{
    Tokenize(text, placeholder);
}

void CommandLine::Tokenize(std::wstring_view text, bool placeholder)
{
    m_text = std::make_unique<wchar_t[]>(text.size() + 1);
    text.copy(m_text.get(), text.size());
    m_text[text.size()] = L'\0';
    m_count = TokenizeCommandLine(m_text.get(), m_arguments.data(), Capacity, placeholder);
}

int CommandLine::TokenizeCommandLine(wchar_t* text, wchar_t** arguments, int capacity, bool placeholder)
{
    int count = 0;
    if (placeholder && capacity > 0) arguments[count++] = const_cast<wchar_t*>(kPlaceholder);
    bool quoted = false;  // a plain argument that ended at a double quote opens a quoted one
    while (*text && count < capacity) {
        if (!quoted) {
            while (IsBlank(*text)) ++text;
            if (!*text) break;
            if (*text == L'"') {
                quoted = true;
                ++text;
            }
        }
        arguments[count++] = text;
        if (quoted) {
            while (*text && *text != L'"') ++text;
            quoted = false;
            if (*text) *text++ = L'\0';
        } else {
            while (*text && !IsBlank(*text) && *text != L'"') ++text;
            if (*text == L'"') quoted = true;
            if (*text) *text++ = L'\0';
        }
    }
    return count;
}

std::wstring CommandLine::GetArgument(int index) const
{
    if (index < 0 || index >= m_count) return {};
    return m_arguments[index];
}

bool CommandLine::IsSwitch(int index) const noexcept
{
    wchar_t first = m_arguments[index][0];
    return first != L'\0' && m_switchCharacters.find(first) != std::wstring::npos;
}

int CommandLine::FindOption(std::wstring_view name, bool caseSensitive) const
{
    if (name.empty()) return 0;
    std::wstring fullName(name.substr(0, kMaxOptionName));
    if (m_switchCharacters.find(fullName[0]) != std::wstring::npos) fullName.erase(0, 1);
    std::wstring abbreviation;
    if (size_t star = fullName.find(L'*'); star != std::wstring::npos) {
        abbreviation = fullName.substr(0, star);
        fullName.erase(star, 1);
    }
    for (int index = 1; index < m_count; ++index) {
        if (!IsSwitch(index)) continue;
        std::wstring_view option(m_arguments[index] + 1);
        option = option.substr(0, option.find(L':'));
        if (SameText(option, fullName, caseSensitive) ||
            (!abbreviation.empty() && SameText(option, abbreviation, caseSensitive)))
            return index;
    }
    return 0;
}

std::wstring CommandLine::GetOptionValue(std::wstring_view name, std::wstring_view defaultValue, bool caseSensitive)
{
    int index = FindOption(name, caseSensitive);
    if (index == 0) return std::wstring(defaultValue);
    std::wstring_view argument(m_arguments[index]);
    if (size_t colon = argument.find(L':'); colon != std::wstring_view::npos)
        return std::wstring(argument.substr(colon + 1));
    if (index + 1 < m_count && !IsSwitch(index + 1)) {
        m_consumed[index + 1] = true;
        return m_arguments[index + 1];
    }
    return std::wstring(defaultValue);
}

int CommandLine::GetOptionInt(std::wstring_view name, int defaultValue, bool caseSensitive)
{
    return _wtoi(GetOptionValue(name, std::to_wstring(defaultValue), caseSensitive).c_str());
}

std::wstring CommandLine::GetPositionalArgument(bool stopAtFirstSwitch, bool firstOnly,
                                                std::wstring_view separator) const
{
    std::wstring result;
    for (int index = 1; index < m_count; ++index) {
        if (IsSwitch(index)) {
            if (stopAtFirstSwitch) break;
            continue;
        }
        if (m_consumed[index]) continue;
        result += m_arguments[index];
        if (firstOnly) break;
        result += separator;
    }
    while (!result.empty() && std::iswspace(result.back())) result.pop_back();
    return result;
}
