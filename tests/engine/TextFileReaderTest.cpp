#include <gmock/gmock.h>
#include <string>
#include <vector>
#include "Viewer/engine/TextFileReader.h"
#include "tests/engine/FileFixtures.h"
#include "tests/support/TestPaths.h"

namespace {

using Encoding = CTextFileReader::Encoding;
constexpr DWORD AllOptions =
    CTextFileReader::SkipEmptyLines | CTextFileReader::DropLeadingBlanks | CTextFileReader::DropTrailingBlanks;

// UTF-16 bytes of ASCII text, little- or big-endian.
std::string Utf16(std::string_view ascii, bool bigEndian)
{
    std::string bytes;
    for (char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

struct EncodingCase {
    const char* name;
    std::string bytes;
    Encoding encoding;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class TextFileEncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextFileEncodingTest, ReadsTheSameLinesInEveryEncoding)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"text.txt");
    WriteFileBytes(path, GetParam().bytes);
    CTextFileReader reader(AllOptions, 1252);
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(GetParam().encoding, reader.FileEncoding());
    std::vector<std::wstring> lines;
    while (reader.ReadLine()) lines.push_back(reader.Line());
    EXPECT_FALSE(reader.Failed());
    EXPECT_THAT(lines, testing::ElementsAre(L"first line", L"x;y", L"last"));
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_EQ(L"", reader.Line());
}

const std::string Text = "first line\r\n\r\n  \tx;y \t\r\nlast";

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileEncodingTest,
    testing::Values(EncodingCase{"ansi", Text, Encoding::Ansi},
                    EncodingCase{"utf8", "\xEF\xBB\xBF" + Text, Encoding::Utf8},
                    EncodingCase{"utf16le_mark", "\xFF\xFE" + Utf16(Text, false), Encoding::Utf16LittleEndian},
                    EncodingCase{"utf16le_no_mark", Utf16(Text, false), Encoding::Utf16LittleEndian},
                    EncodingCase{"utf16be_mark", "\xFE\xFF" + Utf16(Text, true), Encoding::Utf16BigEndian},
                    EncodingCase{"utf16be_no_mark", Utf16(Text, true), Encoding::Utf16BigEndian},
                    // Two files pasted together: the second mark is no text.
                    EncodingCase{"utf8_mark_inside",
                                 "\xEF\xBB\xBF" "first line\n\xEF\xBB\xBFx;y\nlast\n", Encoding::Utf8}));

TEST(TextFileReader, OptionsDecideWhatIsKeptOfBlanksAndEmptyLines)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"text.txt");
    WriteFileBytes(path, " a \t\r\r\n\n b\n");
    CTextFileReader reader(0, 1252);
    ASSERT_TRUE(reader.Open(path.c_str()));
    std::vector<std::wstring> lines;
    while (reader.ReadLine()) lines.push_back(reader.Line());
    // Without options only the trailing CRs go.
    EXPECT_THAT(lines, testing::ElementsAre(L" a \t", L"", L" b"));
}

TEST(TextFileReader, ConvertsAnsiWithItsCodePageAndUtf8Exactly)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"text.txt");
    WriteFileBytes(path, "caf\xE9");
    CTextFileReader reader(AllOptions, 1252);
    ASSERT_TRUE(reader.Open(path.c_str()));
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(L"caf\u00e9", reader.Line());

    reader.Close();
    WriteFileBytes(path, "\xEF\xBB\xBF" "caf\xC3\xA9\nbroken \xC3(\n");
    ASSERT_TRUE(reader.Open(path.c_str()));
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(L"caf\u00e9", reader.Line());
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(L"", reader.Line());
}

TEST(TextFileReader, OpensEmptyFilesAndReportsMissingOnes)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"empty.txt");
    WriteFileBytes(path, "");
    CTextFileReader reader(AllOptions, 1252);
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_FALSE(reader.Failed());

    EXPECT_FALSE(reader.Open(folder.File(L"missing.txt").c_str()));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(Encoding::None, reader.FileEncoding());
    reader.Close();
    reader.Close();
}

TEST(TextFileReader, ClosingReleasesTheFile)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"text.txt");
    WriteFileBytes(path, "line\n");
    CTextFileReader reader(AllOptions, 1252);
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    reader.Close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

}  // namespace
