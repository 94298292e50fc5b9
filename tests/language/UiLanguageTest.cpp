#include <gmock/gmock.h>
#include <windows.h>
#include <string>
#include <vector>
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/UiLanguage.h"
#include "tests/language/LanguageFiles.h"
#include "tests/support/MessageBoxRecorder.h"

namespace {

using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::StartsWith;

constexpr UINT kStartupBoxType = MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

LanguageSources FakeSources(std::wstring programPath, std::wstring user, std::wstring system)
{
    return {std::move(programPath), [user] { return user; }, [system] { return system; }};
}

struct CandidateCase {
    const wchar_t* language;  // the "lang" value, empty when absent
    const wchar_t* user;
    const wchar_t* system;
    std::vector<std::wstring> candidates;
};

void PrintTo(const CandidateCase& c, std::ostream* os)
{
    *os << "lang " << Narrow(c.language) << " user " << Narrow(c.user) << " system " << Narrow(c.system);
}

class CandidateOrderTest : public testing::TestWithParam<CandidateCase> {};

TEST_P(CandidateOrderTest, TriesSwitchUserSystemEnglishThenAny)
{
    const CandidateCase& c = GetParam();
    EXPECT_THAT(UiLanguageCandidates(c.language, FakeSources(L"", c.user, c.system)),
                ElementsAreArray(c.candidates));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CandidateOrderTest,
    testing::Values(
        CandidateCase{L"", L"DEU", L"FRA", {L"DEU", L"DE", L"DE?", L"FRA", L"FR", L"FR?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"", L"CHT", L"CHT", {L"CHT", L"CH", L"CH?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"", L"ZHI", L"CSY", {L"ZHI", L"ZH", L"ZH?", L"CSY", L"CS", L"CS?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"", L"JPN", L"jpn", {L"JPN", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"EN", L"DEU", L"FRA",
                      {L"EN", L"DEU", L"DE", L"DE?", L"FRA", L"FR", L"FR?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"deu", L"DEU", L"ENU", {L"DEU", L"DE", L"DE?", L"ENU", L"EN", L"EN?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"ENU", L"NLD", L"NLD", {L"ENU", L"EN", L"EN?", L"NLD", L"NL", L"NL?", L"ENU", L"EN", L"EN?", L"*"}},
        CandidateCase{L"ZHH", L"ZHH", L"KOR", {L"ZHH", L"CH", L"CH?", L"KOR", L"KO", L"KO?", L"ENU", L"EN", L"EN?", L"*"}}));

TEST(LanguageCodeTest, WindowsAbbreviationsHaveThreeLettersOfTheSystemList)
{
    for (const wchar_t* code : {L"DEU", L"deu", L"ENU", L"ZHM", L"AFK", L"VIT"}) EXPECT_TRUE(IsWindowsLanguageCode(code));
    for (const wchar_t* code : {L"DE", L"XXX", L"DEUT", L"", L"U,A", L"K,A"}) EXPECT_FALSE(IsWindowsLanguageCode(code));
}

TEST(LanguageCodeTest, SupportedCodesAreJudgedByTheirFirstTwoLetters)
{
    EXPECT_TRUE(IsSupportedLanguageCode(L"DE", false));
    EXPECT_FALSE(IsSupportedLanguageCode(L"DE", true));
    EXPECT_TRUE(IsSupportedLanguageCode(L"DEX", true));
    EXPECT_TRUE(IsSupportedLanguageCode(L"jaX", true));
    EXPECT_FALSE(IsSupportedLanguageCode(L"JPN", true));
    EXPECT_FALSE(IsSupportedLanguageCode(L"XX", false));
    EXPECT_FALSE(IsSupportedLanguageCode(L"D", false));
    EXPECT_FALSE(IsSupportedLanguageCode(L"DEUT", false));
    EXPECT_FALSE(IsSupportedLanguageCode(L"R,", false)) << "only whole entries of the list count";
}

TEST(LanguageCodeTest, LanguageIdsComeFromTheTableOr1033)
{
    EXPECT_EQ(0x0409u, LanguageIdForCode(L"EN"));
    EXPECT_EQ(0x0407u, LanguageIdForCode(L"DE"));
    EXPECT_EQ(0x0804u, LanguageIdForCode(L"CH"));
    EXPECT_EQ(0x1004u, LanguageIdForCode(L"ZH"));
    EXPECT_EQ(0x0809u, LanguageIdForCode(L"ENG"));
    EXPECT_EQ(0x0404u, LanguageIdForCode(L"CHT"));
    EXPECT_EQ(0x0C04u, LanguageIdForCode(L"ZHH"));
    EXPECT_EQ(0x081Au, LanguageIdForCode(L"SRL"));
    EXPECT_EQ(1033u, LanguageIdForCode(L"JA"));
    EXPECT_EQ(1033u, LanguageIdForCode(L"en")) << "the comparison is case-sensitive";
    EXPECT_EQ(1033u, LanguageIdForCode(L""));
}

// The three-letter rows must agree with what the system itself says about its locales.
TEST(LanguageCodeTest, ThreeLetterRowsMatchTheSystemLocales)
{
    for (LANGID id : {0x0407, 0x0409, 0x0809, 0x0C0A, 0x040C, 0x0411, 0x0416, 0x0816, 0x0419, 0x041D, 0x0404, 0x0804}) {
        wchar_t abbreviation[16]{};
        ASSERT_GT(GetLocaleInfoW(MAKELCID(id, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbreviation, 16), 0);
        EXPECT_EQ(id, LanguageIdForCode(abbreviation)) << Narrow(abbreviation);
    }
}

class SelectUiLanguageTest : public testing::Test {
protected:
    void SetUp() override
    {
        FreeLanguageLibrary();
        LanguageResources::UiLangId = 1033;
        LanguageResources::LanguageCode.Free();
        LanguageResources::EditionCode.Free();
    }
    void TearDown() override { FreeLanguageLibrary(); }

    int Select(const wchar_t* commandLine, const wchar_t* user, const wchar_t* system)
    {
        CommandLine line(commandLine, false);
        return SelectUiLanguage(line, FakeSources(m_files.ProgramPath(), user, system));
    }

    LanguageFiles m_files;
    MessageBoxRecorder m_boxes;
};

struct ChoiceCase {
    const char* name;
    std::vector<std::wstring> libraries;  // the codes of the signed libraries beside the program
    const wchar_t* commandLine;
    const wchar_t* user;
    const wchar_t* system;
    const wchar_t* language;  // the loaded library's codes and the identifier that follows
    const wchar_t* edition;
    DWORD languageId;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class LibraryChoiceTest : public SelectUiLanguageTest, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(LibraryChoiceTest, LoadsTheFirstLibraryOfTheCandidateOrder)
{
    const ChoiceCase& c = GetParam();
    for (const std::wstring& codes : c.libraries) m_files.AddSigned(codes);
    ASSERT_EQ(0, Select(c.commandLine, c.user, c.system));
    EXPECT_EQ(c.language, LanguageResources::LanguageCode.View());
    EXPECT_EQ(c.edition, LanguageResources::EditionCode.View());
    EXPECT_EQ(c.languageId, LanguageResources::UiLangId);
    EXPECT_THAT(m_boxes.calls, IsEmpty());
    EXPECT_EQ(LanguageResources::LibraryHandle, GetResourceInstance());
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, LibraryChoiceTest,
    testing::Values(
        ChoiceCase{"TheSwitchedLanguageLoadsDirectly", {L"EN", L"DE"}, L"exe -lang EN", L"DEU", L"DEU", L"EN", L"",
                   0x0409},
        ChoiceCase{"AThreeLetterCodeFallsBackToItsTwoLetterLibrary", {L"DE"}, L"exe -lang DEU", L"ENU",
                   L"ENU", L"DE", L"", 0x0407},
        ChoiceCase{"ALibraryOfALanguageWithoutIdentifierRunsAsEnglishUs", {L"JA"}, L"exe", L"JPN", L"JPN", L"JA", L"",
                   1033},
        ChoiceCase{"TheEditionIsPartOfTheFileNameAndRemembered", {L"EN", L"X.EN"}, L"exe -oem X", L"ENU",
                   L"ENU", L"EN", L"X", 0x0409},
        ChoiceCase{"AnyLibraryOfTheProgramIsTheLastResort", {L"QQ"}, L"exe -lang DEU", L"DEU", L"FRA", L"QQ",
                   L"", 1033},
        ChoiceCase{"TheTwoLetterPatternTakesOneMoreLetter", {L"ENA"}, L"exe", L"XYZ", L"XYZ", L"ENA", L"",
                   0x0C09}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST_F(SelectUiLanguageTest, AnInvalidCodeIsReportedAndTheUserLocaleDecides)
{
    m_files.AddSigned(L"EN");
    m_files.AddSigned(L"FR");
    ASSERT_EQ(0, Select(L"exe -lang XX", L"FRA", L"ENU"));
    ASSERT_EQ(1u, m_boxes.calls.size());
    EXPECT_EQ(nullptr, m_boxes.calls[0].owner);
    EXPECT_EQ(L"Invalid language code! Reverting to default language.", m_boxes.calls[0].text);
    EXPECT_EQ(L"Lumenfold", m_boxes.calls[0].caption);
    EXPECT_EQ(kStartupBoxType, m_boxes.calls[0].type);
    EXPECT_EQ(0x040Cu, LanguageResources::UiLangId);
}

TEST_F(SelectUiLanguageTest, WithoutAnyLibraryTheProgramCannotStart)
{
    EXPECT_LT(Select(L"exe", L"ENU", L"ENU"), 0);
    ASSERT_EQ(1u, m_boxes.calls.size());
    EXPECT_EQ(nullptr, m_boxes.calls[0].owner);
    EXPECT_THAT(m_boxes.calls[0].text, StartsWith(L"Lumenfold cannot start!\n\nAt least one language resource DLL"));
    EXPECT_THAT(m_boxes.calls[0].text, testing::EndsWith(L", thank you."));
    EXPECT_EQ(L"Lumenfold", m_boxes.calls[0].caption);
    EXPECT_EQ(kStartupBoxType, m_boxes.calls[0].type);
    EXPECT_EQ(nullptr, LanguageResources::LibraryHandle);
    EXPECT_EQ(GetModuleInstance(), GetResourceInstance());
}

TEST_F(SelectUiLanguageTest, AnUnsignedLibraryIsReportedOnceAndTheNextCandidateTried)
{
    m_files.AddUnsigned(L"ENU");
    m_files.AddSigned(L"EN");
    ASSERT_EQ(0, Select(L"exe", L"ENU", L"ENU"));

    ASSERT_EQ(1u, m_boxes.calls.size());
    EXPECT_EQ(L"An invalid or untrusted resource DLL was ignored.\n\n" + m_files.LibraryPath(L"ENU") +
                  L"\n\n(0x800b0100)",
              m_boxes.calls[0].text);
    EXPECT_EQ(L"Lumenfold", m_boxes.calls[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST), m_boxes.calls[0].type);
    EXPECT_EQ(L"EN", LanguageResources::LanguageCode.View());

    std::wstring edition, language;
    EXPECT_FALSE(LoadLanguageLibrary(L"ENU", L"", edition, language, m_files.ProgramPath()))
        << "a refused file stays refused";
    EXPECT_EQ(1u, m_boxes.calls.size()) << "and is reported only once";
}

TEST_F(SelectUiLanguageTest, AnAcceptedFileIsNotCheckedAgain)
{
    m_files.AddSigned(L"EN");
    std::wstring edition, language;
    ASSERT_TRUE(LoadLanguageLibrary(L"EN", L"", edition, language, m_files.ProgramPath()));
    EXPECT_TRUE(LanguageResources::TriedNames.count(m_files.LibraryPath(L"EN").substr(
        m_files.LibraryPath(L"EN").find_last_of(L'\\') + 1)));
    ASSERT_TRUE(LoadLanguageLibrary(L"EN", L"", edition, language, m_files.ProgramPath()));
    EXPECT_EQ(L"EN", language);
    EXPECT_THAT(m_boxes.calls, IsEmpty());
}

TEST_F(SelectUiLanguageTest, AnEmptyCodeLoadsNothing)
{
    m_files.AddSigned(L"EN");
    std::wstring edition, language;
    EXPECT_FALSE(LoadLanguageLibrary(L"", L"", edition, language, m_files.ProgramPath()));
}

TEST_F(SelectUiLanguageTest, StringsComeFromTheLibraryThenTheProgramElseQuestionMark)
{
    EXPECT_EQ(L"?", LoadUiString(10128)) << "the program itself holds no such text";
    EXPECT_EQ(L"Invalid language code! Reverting to default language.", LoadUiString(103));

    m_files.AddSigned(L"EN");
    ASSERT_EQ(0, Select(L"exe", L"ENU", L"ENU"));
    EXPECT_NE(L"?", LoadUiString(10128));
    EXPECT_EQ(L"Invalid language code! Reverting to default language.", LoadUiString(103))
        << "texts the library lacks come from the program";
    EXPECT_EQ(L"?", LoadUiString(10999));
}

}  // namespace
