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

// A file in a temporary folder and a reader of it.
class TextFileReaderTest : public testing::Test {
protected:
    // Writes the file (the reader lets go of it first) and opens it.
    bool OpenWith(std::string_view bytes)
    {
        reader.Close();
        WriteFileBytes(path, bytes);
        return reader.Open(path.c_str());
    }
    std::vector<std::wstring> ReadAll()
    {
        std::vector<std::wstring> lines;
        while (reader.ReadLine()) lines.push_back(reader.Line());
        return lines;
    }

    TempFolder folder;
    std::wstring path = folder.File(L"text.txt");
    CTextFileReader reader{AllOptions, 1252};
};

struct EncodingCase {
    const char* name;
    std::string bytes;
    Encoding encoding;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }

class TextFileEncodingTest : public TextFileReaderTest, public testing::WithParamInterface<EncodingCase> {};

TEST_P(TextFileEncodingTest, ReadsTheSameLinesInEveryEncoding)
{
    ASSERT_TRUE(OpenWith(GetParam().bytes));
    EXPECT_EQ(GetParam().encoding, reader.FileEncoding());
    EXPECT_THAT(ReadAll(), testing::ElementsAre(L"first line", L"x;y", L"last"));
    EXPECT_FALSE(reader.Failed());
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_EQ(L"", reader.Line());
}

const std::string Text = "first line\r\n\r\n  \tx;y \t\r\nlast";

INSTANTIATE_TEST_SUITE_P(
    Files, TextFileEncodingTest,
    testing::Values(EncodingCase{"ansi", Text, Encoding::Ansi},
                    EncodingCase{"utf8", "\xEF\xBB\xBF" + Text, Encoding::Utf8},
                    EncodingCase{"utf16le_mark", "\xFF\xFE" + AsciiAsUtf16(Text, false), Encoding::Utf16LittleEndian},
                    EncodingCase{"utf16le_no_mark", AsciiAsUtf16(Text, false), Encoding::Utf16LittleEndian},
                    EncodingCase{"utf16be_mark", "\xFE\xFF" + AsciiAsUtf16(Text, true), Encoding::Utf16BigEndian},
                    EncodingCase{"utf16be_no_mark", AsciiAsUtf16(Text, true), Encoding::Utf16BigEndian},
                    // Two files pasted together: the second mark is no text.
                    EncodingCase{"utf8_mark_inside",
                                 "\xEF\xBB\xBF" "first line\n\xEF\xBB\xBFx;y\nlast\n", Encoding::Utf8}));

TEST_F(TextFileReaderTest, OptionsDecideWhatIsKeptOfBlanksAndEmptyLines)
{
    CTextFileReader plain(0, 1252);
    WriteFileBytes(path, " a \t\r\r\n\n b\n");
    ASSERT_TRUE(plain.Open(path.c_str()));
    std::vector<std::wstring> lines;
    while (plain.ReadLine()) lines.push_back(plain.Line());
    // Without options only the trailing CRs go.
    EXPECT_THAT(lines, testing::ElementsAre(L" a \t", L"", L" b"));
}

TEST_F(TextFileReaderTest, ConvertsAnsiWithItsCodePageAndUtf8Exactly)
{
    ASSERT_TRUE(OpenWith("caf\xE9"));
    EXPECT_THAT(ReadAll(), testing::ElementsAre(L"caf\u00e9"));

    ASSERT_TRUE(OpenWith("\xEF\xBB\xBF" "caf\xC3\xA9\nbroken \xC3(\n"));
    EXPECT_THAT(ReadAll(), testing::ElementsAre(L"caf\u00e9"));
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(L"", reader.Line());
}

TEST_F(TextFileReaderTest, OpensEmptyFilesAndReportsMissingOnes)
{
    ASSERT_TRUE(OpenWith(""));
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_FALSE(reader.Failed());

    EXPECT_FALSE(reader.Open(folder.File(L"missing.txt").c_str()));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(Encoding::None, reader.FileEncoding());
    reader.Close();
    reader.Close();
}

TEST_F(TextFileReaderTest, ClosingReleasesTheFile)
{
    ASSERT_TRUE(OpenWith("line\n"));
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    reader.Close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

}  // namespace
