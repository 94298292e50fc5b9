#include <gmock/gmock.h>
#include <string>
#include <vector>
#include "Viewer/core/CommandLine.h"

namespace {

using testing::ElementsAreArray;

// Case names for the test list: plain characters only, so that quotes and backslashes of the
// command lines never reach the test runner's name handling.
std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; *text; ++text) {
        wchar_t c = *text;
        result += c == L'"' ? '\'' : c == L'\\' ? '/' : c < 128 ? static_cast<char>(c) : '?';
    }
    return result;
}

std::vector<std::wstring> Arguments(const CommandLine& line)
{
    std::vector<std::wstring> arguments;
    for (int i = 0; i < line.ArgumentCount(); ++i) arguments.push_back(line.GetArgument(i));
    return arguments;
}

struct TokenizeCase {
    const wchar_t* text;
    std::vector<std::wstring> arguments;
};

void PrintTo(const TokenizeCase& c, std::ostream* os) { *os << Narrow(c.text); }

class TokenizeTest : public testing::TestWithParam<TokenizeCase> {};

TEST_P(TokenizeTest, SplitsAtBlanksAndGroupsByDoubleQuotes)
{
    CommandLine line(GetParam().text, false);
    EXPECT_THAT(Arguments(line), ElementsAreArray(GetParam().arguments));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizeTest,
    testing::Values(TokenizeCase{L"abc\"de f\" g", {L"abc", L"de f", L"g"}},
                    TokenizeCase{L"\"C:\\Program Files\\Lumenfold.Core.exe\" -i x",
                                 {L"C:\\Program Files\\Lumenfold.Core.exe", L"-i", L"x"}},
                    TokenizeCase{L"  a   b  ", {L"a", L"b"}},
                    TokenizeCase{L"a\tb c", {L"a\tb", L"c"}},
                    TokenizeCase{L"p \"open quote runs to the end", {L"p", L"open quote runs to the end"}},
                    TokenizeCase{L"p \"\" q", {L"p", L"", L"q"}},
                    TokenizeCase{L"p \"a\"b", {L"p", L"a", L"b"}},
                    TokenizeCase{L"", {}}));

TEST(CommandLineTest, APlaceholderStandsForTheMissingProgramPath)
{
    CommandLine line(L"-i \"C:\\My Pictures\"", true);
    EXPECT_THAT(Arguments(line), ElementsAreArray({L"exe", L"-i", L"C:\\My Pictures"}));
    EXPECT_EQ(L"C:\\My Pictures", line.GetOptionValue(L"i*mageFolder"));
}

TEST(CommandLineTest, AtMost256ArgumentsAreRecorded)
{
    std::wstring text = L"exe";
    for (int i = 1; i < 300; ++i) text += L" a" + std::to_wstring(i);
    text += L" -k";
    CommandLine line(text, false);
    EXPECT_EQ(256, line.ArgumentCount());
    EXPECT_EQ(L"a255", line.GetArgument(255));
    EXPECT_EQ(L"", line.GetArgument(256));
    EXPECT_EQ(L"", line.GetArgument(-1));
    EXPECT_EQ(0, line.FindOption(L"k*iosk")) << "switches past the capacity are invisible";
}

struct OptionCase {
    const wchar_t* line;
    const wchar_t* name;
    int index;  // FindOption
    const wchar_t* value;  // GetOptionValue with the default "<default>"
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << Narrow(c.line) << " ? " << Narrow(c.name); }

class OptionTest : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionTest, FindsTheSwitchAndItsValue)
{
    const OptionCase& c = GetParam();
    CommandLine line(c.line, false);
    EXPECT_EQ(c.index, line.FindOption(c.name));
    EXPECT_EQ(c.value, line.GetOptionValue(c.name, L"<default>"));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, OptionTest,
    testing::Values(
        OptionCase{L"exe -c D:\\Keep", L"c*opyFolder", 1, L"D:\\Keep"},
        OptionCase{L"exe -c D:\\Keep", L"c*olorProfile", 1, L"D:\\Keep"},
        OptionCase{L"exe /copyFolder D:\\Keep", L"c*olorProfile", 0, L"<default>"},
        OptionCase{L"exe /copyFolder D:\\Keep", L"c*opyFolder", 1, L"D:\\Keep"},
        OptionCase{L"exe -co x", L"c*opyFolder", 0, L"<default>"},
        OptionCase{L"exe -copyF x", L"c*opyFolder", 0, L"<default>"},
        OptionCase{L"exe -i: -k", L"i*mageFolder", 1, L""},
        OptionCase{L"exe -i -k", L"i*mageFolder", 1, L"<default>"},
        OptionCase{L"exe -i", L"i*mageFolder", 1, L"<default>"},
        OptionCase{L"exe -I D:\\Pics", L"i*mageFolder", 1, L"D:\\Pics"},
        OptionCase{L"exe -image D:\\Pics", L"i*mageFolder", 0, L"<default>"},
        OptionCase{L"exe -imageFolder:D:\\Pics", L"i*mageFolder", 1, L"D:\\Pics"},
        OptionCase{L"exe -IMAGEFOLDER:D:\\a:b", L"i*mageFolder", 1, L"D:\\a:b"},
        OptionCase{L"\"C:\\x -i\\Lumenfold.Core.exe\" D:\\Pics", L"i*mageFolder", 0, L"<default>"},
        OptionCase{L"exe -lang DEU -oem X", L"lang", 1, L"DEU"},
        OptionCase{L"exe -lang DEU -oem X", L"oem", 3, L"X"},
        OptionCase{L"exe -lang DEU -oem X", L"-oem", 3, L"X"},
        OptionCase{L"exe -k -k:1", L"k*iosk", 1, L"<default>"},
        OptionCase{L"exe -a 5 -t", L"a*utoMode", 1, L"5"},
        OptionCase{L"exe x", L"", 0, L"<default>"}));

TEST(CommandLineTest, MatchingIgnoresCaseUnlessAsked)
{
    CommandLine line(L"exe -Lang EN", false);
    EXPECT_EQ(1, line.FindOption(L"lang"));
    EXPECT_EQ(0, line.FindOption(L"lang", true));
    EXPECT_EQ(1, line.FindOption(L"Lang", true));
}

struct IntCase {
    const wchar_t* line;
    int value;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << Narrow(c.line); }

class OptionIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(OptionIntTest, ReadsTheLeadingNumber)
{
    CommandLine line(GetParam().line, false);
    EXPECT_EQ(GetParam().value, line.GetOptionInt(L"m*onitor", 1));
}

INSTANTIATE_TEST_SUITE_P(Values, OptionIntTest,
                         testing::Values(IntCase{L"exe -m 2x", 2}, IntCase{L"exe -m x", 0}, IntCase{L"exe -m:3", 3},
                                         IntCase{L"exe -m -k", 1}, IntCase{L"exe", 1}, IntCase{L"exe -m -7", 1},
                                         IntCase{L"exe -m:-7", -7}));

TEST(CommandLineTest, FreeArgumentsAreJoinedWithTheSeparator)
{
    CommandLine line(L"exe \"D:\\My Pics\\a.jpg\" -k D:\\b.jpg   ", false);
    EXPECT_EQ(L"D:\\My Pics\\a.jpg|D:\\b.jpg|", line.GetPositionalArgument(false, false, L"|"));
    EXPECT_EQ(L"D:\\My Pics\\a.jpg|", line.GetPositionalArgument(true, false, L"|"));
    EXPECT_EQ(L"D:\\My Pics\\a.jpg", line.GetPositionalArgument(false, true, L"|"));
    EXPECT_EQ(L"D:\\My Pics\\a.jpg D:\\b.jpg", line.GetPositionalArgument(false, false, L" "))
        << "the last separator is trailing white space";
}

TEST(CommandLineTest, AValueTakenByASwitchIsNoFreeArgument)
{
    CommandLine line(L"exe -I D:\\Pics D:\\other", false);
    EXPECT_EQ(L"D:\\Pics|D:\\other|", line.GetPositionalArgument(false, false, L"|"));
    EXPECT_EQ(L"D:\\Pics", line.GetOptionValue(L"i*mageFolder"));
    EXPECT_EQ(L"D:\\other|", line.GetPositionalArgument(false, false, L"|"));
    EXPECT_EQ(L"D:\\Pics", line.GetOptionValue(L"i*mageFolder")) << "a consumed value is still the switch's value";
}

TEST(CommandLineTest, TheProcessCommandLineStartsWithTheProgram)
{
    CommandLine line;
    ASSERT_GE(line.ArgumentCount(), 1);
    EXPECT_THAT(line.GetArgument(0), testing::HasSubstr(L"core_tests"));
}

}  // namespace
