#include "Viewer/core/UiLanguage.h"
#include <algorithm>
#include <cwctype>
#include <vector>
#include "Framework/ModalSeam.h"
#include "Viewer/core/LastActivity.h"

namespace {

struct LanguageRow {
    const wchar_t* code;
    WORD languageId;
};

// Two-letter library codes first, then the system's three-letter locale abbreviations with the
// identifier the system gives each one. Searched in order, exact and case-sensitive.
constexpr LanguageRow kLanguageIds[] = {
    {L"AR", 0x1401}, {L"ZH", 0x1004}, {L"CH", 0x0804}, {L"NL", 0x0813}, {L"EN", 0x0409}, {L"FR", 0x040C},
    {L"DE", 0x0407}, {L"IT", 0x0410}, {L"MS", 0x043E}, {L"NO", 0x0414}, {L"PT", 0x0816}, {L"SR", 0x081A},
    {L"ES", 0x040A}, {L"SV", 0x041D}, {L"CS", 0x0405}, {L"AFK", 0x0436}, {L"ARA", 0x0401}, {L"ARB", 0x3001},
    {L"ARE", 0x0C01}, {L"ARG", 0x1401}, {L"ARH", 0x3C01}, {L"ARI", 0x0801}, {L"ARJ", 0x2C01}, {L"ARK", 0x3401},
    {L"ARL", 0x1001}, {L"ARM", 0x1801}, {L"ARO", 0x2001}, {L"ARQ", 0x4001}, {L"ARS", 0x2801}, {L"ART", 0x1C01},
    {L"ARU", 0x3801}, {L"ARY", 0x2401}, {L"AZE", 0x042C}, {L"BEL", 0x0423}, {L"BGR", 0x0402}, {L"CAT", 0x0403},
    {L"CHS", 0x0804}, {L"CHT", 0x0404}, {L"CSY", 0x0405}, {L"DAN", 0x0406}, {L"DEA", 0x0C07}, {L"DEC", 0x1407},
    {L"DEL", 0x1007}, {L"DES", 0x0807}, {L"DEU", 0x0407}, {L"DIV", 0x0465}, {L"ELL", 0x0408}, {L"ENA", 0x0C09},
    {L"ENB", 0x2409}, {L"ENC", 0x1009}, {L"ENG", 0x0809}, {L"ENI", 0x1809}, {L"ENJ", 0x2009}, {L"ENL", 0x2809},
    {L"ENP", 0x3409}, {L"ENS", 0x1C09}, {L"ENT", 0x2C09}, {L"ENU", 0x0409}, {L"ENW", 0x3009}, {L"ENZ", 0x1409},
    {L"ESA", 0x180A}, {L"ESB", 0x400A}, {L"ESC", 0x140A}, {L"ESD", 0x1C0A}, {L"ESE", 0x440A}, {L"ESF", 0x300A},
    {L"ESG", 0x100A}, {L"ESH", 0x480A}, {L"ESI", 0x4C0A}, {L"ESL", 0x340A}, {L"ESM", 0x080A}, {L"ESN", 0x0C0A},
    {L"ESO", 0x240A}, {L"ESP", 0x040A}, {L"ESR", 0x280A}, {L"ESS", 0x2C0A}, {L"ESU", 0x500A}, {L"ESV", 0x200A},
    {L"ESY", 0x380A}, {L"ESZ", 0x3C0A}, {L"ETI", 0x0425}, {L"EUQ", 0x042D}, {L"FAR", 0x0429}, {L"FIN", 0x040B},
    {L"FOS", 0x0438}, {L"FRA", 0x040C}, {L"FRB", 0x080C}, {L"FRC", 0x0C0C}, {L"FRL", 0x140C}, {L"FRM", 0x180C},
    {L"FRS", 0x100C}, {L"GLC", 0x0456}, {L"GUJ", 0x0447}, {L"HEB", 0x040D}, {L"HIN", 0x0439}, {L"HRV", 0x041A},
    {L"HUN", 0x040E}, {L"HYE", 0x042B}, {L"IND", 0x0421}, {L"ISL", 0x040F}, {L"ITA", 0x0410}, {L"ITS", 0x0810},
    {L"JPN", 0x0411}, {L"KAN", 0x044B}, {L"KAT", 0x0437}, {L"KKZ", 0x043F}, {L"KNK", 0x0457}, {L"KOR", 0x0412},
    {L"KYR", 0x0440}, {L"LTH", 0x0427}, {L"LVI", 0x0426}, {L"MAR", 0x044E}, {L"MKI", 0x042F}, {L"MON", 0x0450},
    {L"MSB", 0x083E}, {L"MSL", 0x043E}, {L"NLB", 0x0813}, {L"NLD", 0x0413}, {L"NON", 0x0814}, {L"NOR", 0x0414},
    {L"PAN", 0x0446}, {L"PLK", 0x0415}, {L"PTB", 0x0416}, {L"PTG", 0x0816}, {L"ROM", 0x0418}, {L"RUS", 0x0419},
    {L"SAN", 0x044F}, {L"SKY", 0x041B}, {L"SLV", 0x0424}, {L"SQI", 0x041C}, {L"SRB", 0x0C1A}, {L"SRL", 0x081A},
    {L"SVE", 0x041D}, {L"SVF", 0x081D}, {L"SWK", 0x0441}, {L"SYR", 0x045A}, {L"TAM", 0x0449}, {L"TEL", 0x044A},
    {L"THA", 0x041E}, {L"TRK", 0x041F}, {L"TTT", 0x0444}, {L"UKR", 0x0422}, {L"URD", 0x0420}, {L"UZB", 0x0443},
    {L"VIT", 0x042A}, {L"ZHH", 0x0C04}, {L"ZHI", 0x1004}, {L"ZHM", 0x1404},
};

// The languages the program has texts for, by the first two letters of a code.
constexpr const wchar_t* kSupportedCodes[] = {L"AR", L"CH", L"DE", L"EN", L"ES", L"FR", L"IT", L"MS", L"NL", L"NO",
                                              L"PT", L"SR", L"SV", L"ZH", L"JA", L"PL", L"RU", L"CS", L"KO"};

constexpr UINT kTitleStringId = 100;
constexpr UINT kInvalidCodeStringId = 103;
constexpr UINT kCannotStartStringId = 104;
constexpr DWORD kDefaultLanguageId = 1033;
constexpr size_t kAbbreviationChars = 3;

std::wstring Upper(std::wstring_view text)
{
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](wchar_t c) { return std::towupper(c); });
    return result;
}

bool SameCode(std::wstring_view a, std::wstring_view b)
{
    return Upper(a) == Upper(b);
}

// The script, not the country, picks the Chinese library: traditional is CH, simplified ZH.
std::wstring TwoLetterCode(const std::wstring& abbreviation)
{
    if (abbreviation == L"ZHM" || abbreviation == L"CHT" || abbreviation == L"ZHH") return L"CH";
    if (abbreviation == L"ZHI" || abbreviation == L"CHS") return L"ZH";
    if (abbreviation == L"CSY") return L"CS";
    return abbreviation.substr(0, 2);
}

// A three-letter code, then (when its language is supported) its two-letter library code and that
// code with one more character at most.
void AddWithFallbacks(std::vector<std::wstring>& candidates, const std::wstring& code)
{
    candidates.push_back(code);
    if (code.size() == kAbbreviationChars && IsSupportedLanguageCode(code, true)) {
        std::wstring twoLetters = TwoLetterCode(code);
        candidates.push_back(twoLetters);
        candidates.push_back(twoLetters + L"?");
    }
}

std::wstring LocaleAbbreviation(LCID locale)
{
    wchar_t abbreviation[16]{};
    GetLocaleInfoW(locale, LOCALE_SABBREVLANGNAME, abbreviation, 16);
    return abbreviation;
}

void ShowStartupMessage(UINT textId)
{
    ShowMessageBox(nullptr, LoadUiString(textId).c_str(), LoadUiString(kTitleStringId).c_str(),
                   MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

LanguageSources SystemLanguageSources()
{
    return {ProgramPath(), [] { return LocaleAbbreviation(GetUserDefaultLCID()); },
            [] { return LocaleAbbreviation(GetSystemDefaultLCID()); }};
}

bool IsWindowsLanguageCode(std::wstring_view code)
{
    if (code.size() != kAbbreviationChars) return false;
    std::wstring upper = Upper(code);
    return std::any_of(std::begin(kLanguageIds), std::end(kLanguageIds),
                       [&](const LanguageRow& row) { return row.code == upper; });
}

bool IsSupportedLanguageCode(std::wstring_view code, bool strict)
{
    if (code.size() != kAbbreviationChars && (strict || code.size() != 2)) return false;
    std::wstring firstTwo = Upper(code.substr(0, 2));
    return std::any_of(std::begin(kSupportedCodes), std::end(kSupportedCodes),
                       [&](const wchar_t* supported) { return firstTwo == supported; });
}

DWORD LanguageIdForCode(std::wstring_view code)
{
    auto row = std::find_if(std::begin(kLanguageIds), std::end(kLanguageIds),
                            [&](const LanguageRow& r) { return code == r.code; });
    return row == std::end(kLanguageIds) ? kDefaultLanguageId : row->languageId;
}

std::vector<std::wstring> UiLanguageCandidates(std::wstring_view language, const LanguageSources& sources)
{
    std::vector<std::wstring> candidates;
    bool fromSwitch = !language.empty();
    std::wstring first = Upper(fromSwitch ? language.substr(0, kAbbreviationChars) : sources.userLocale());
    AddWithFallbacks(candidates, first);
    std::wstring user;
    if (fromSwitch) {
        user = Upper(sources.userLocale());
        if (!SameCode(user, first)) AddWithFallbacks(candidates, user);
    }
    std::wstring system = Upper(sources.systemLocale());
    if (!SameCode(system, first) && !(fromSwitch && SameCode(system, user))) AddWithFallbacks(candidates, system);
    for (const wchar_t* fallback : {L"ENU", L"EN", L"EN?", L"*"}) candidates.push_back(fallback);
    return candidates;
}

int SelectUiLanguage(CommandLine& commandLine, const LanguageSources& sources)
{
    LastActivityCode = 31;
    std::wstring edition = commandLine.GetOptionValue(L"oem");
    std::wstring language = commandLine.GetOptionValue(L"lang");
    LastActivityCode = 32;
    if (!language.empty() && !IsWindowsLanguageCode(language) && !IsSupportedLanguageCode(language, false)) {
        ShowStartupMessage(kInvalidCodeStringId);
        language.clear();
    }
    LastActivityCode = 33;
    std::wstring editionOut, languageOut;
    bool loaded = false;
    for (const std::wstring& candidate : UiLanguageCandidates(language, sources)) {
        if (candidate.empty()) continue;
        loaded = LoadLanguageLibrary(candidate, edition, editionOut, languageOut, sources.programPath);
        if (loaded) break;
    }
    LastActivityCode = 34;
    if (!loaded) {
        ShowStartupMessage(kCannotStartStringId);
        return -1;
    }
    LastActivityCode = 35;
    if (!editionOut.empty()) LanguageResources::EditionCode = editionOut;
    if (!languageOut.empty()) LanguageResources::LanguageCode = languageOut;
    LanguageResources::UiLangId = LanguageIdForCode(languageOut);
    LastActivityCode = 36;
    return 0;
}
