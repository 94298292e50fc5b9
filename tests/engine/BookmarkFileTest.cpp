#include <gmock/gmock.h>
#include <string>
#include <vector>
#include "Framework/ModalSeam.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/engine/BookmarkFile.h"
#include "tests/engine/FileFixtures.h"
#include "tests/support/TestPaths.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;
using testing::StartsWith;

const HRESULT Corrupt = HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);
const HRESULT Cancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);

std::string Utf16Bytes(std::wstring_view text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring Utf16Text(const std::string& bytes)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// Records every message box and answers from a list (Cancel once the list is used up).
class AnsweredBoxes {
public:
    explicit AnsweredBoxes(std::vector<int> answers, std::function<void()> beforeAnswer = {})
        : m_answers(std::move(answers)),
          m_beforeAnswer(std::move(beforeAnswer)),
          m_seam({.messageBox = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
              texts.emplace_back(text);
              EXPECT_STREQ(L"Lumenfold - Save Bookmarks", caption);
              EXPECT_EQ(UINT(MB_RETRYCANCEL | MB_ICONHAND), type);
              if (m_beforeAnswer) m_beforeAnswer();
              if (texts.size() > m_answers.size()) return IDCANCEL;
              return m_answers[texts.size() - 1];
          }})
    {
    }
    std::vector<std::wstring> texts;

private:
    std::vector<int> m_answers;
    std::function<void()> m_beforeAnswer;
    ScopedModalSeam m_seam;
};

std::vector<std::wstring> FilesIn(const TempFolder& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder.File(L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

class BookmarkFileTest : public testing::Test {
protected:
    TempFolder folder;
    std::wstring path = BookmarkFilePath(folder.Path().c_str(), L"");
};

TEST(BookmarkFile, HeaderLineCarriesTheUtcTimeOfSaving)
{
    const SYSTEMTIME t{2026, 3, 0, 7, 9, 5, 4, 21};
    EXPECT_EQ(L";Lumenfold Bookmark File 1.0 - Saved on 2026-03-07 09:05:04.21 UTC - Encoding: UTF-16",
              BookmarkHeaderLine(t));
}

TEST(BookmarkFile, PathIsTheConfiguredNameInTheFolder)
{
    EXPECT_EQ(L"C:\\Pictures\\Bookmarks.lmf", BookmarkFilePath(L"C:\\Pictures", L""));
    EXPECT_EQ(L"C:\\Pictures\\marks.txt", BookmarkFilePath(L"C:\\Pictures\\", L"marks.txt"));
}

TEST_F(BookmarkFileTest, WrittenFileStartsWithTheMarkAndHeaderAndListsNamesInNaturalOrder)
{
    ASSERT_EQ(S_OK, WriteBookmarkFile(nullptr, path.c_str(),
                                      {{L"C:\\p\\b", L"trip 10"}, {L"C:\\p\\a<2>", L"trip 9"}, {L"C:\\p\\c", L"Alpha"}}));
    const std::string bytes = ReadFileBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    const std::wstring text = Utf16Text(bytes.substr(2));
    EXPECT_THAT(text, StartsWith(L";Lumenfold Bookmark File 1.0 - Saved on "));
    const std::wstring body = text.substr(text.find(L"\r\n") + 2);
    EXPECT_EQ(L"C:\\p\\c;Alpha\r\nC:\\p\\a<2>;trip 9\r\nC:\\p\\b;trip 10\r\n", body);
    EXPECT_THAT(FilesIn(folder), ElementsAre(L"Bookmarks.lmf"));

    BookmarkKeyTable keys;
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, ElementsAre(Pair(L"C:\\p\\a<2>", L"trip 9"), Pair(L"C:\\p\\b", L"trip 10"),
                                  Pair(L"C:\\p\\c", L"Alpha")));
}

struct LoadCase {
    const char* name;
    std::string bytes;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class BookmarkLoadTest : public testing::TestWithParam<LoadCase> {};

// Comments, blank names, lines without a key and repeated keys in any letter case, in every encoding.
const std::string Lines =
    ";a comment\r\n"
    "C:\\p\\one;First; with; semicolons\r\n"
    "  ;x\r\n"
    "C:\\p\\two;\r\n"
    "no separator\r\n"
    "c:\\P\\ONE;Later duplicate\r\n"
    "\r\n"
    "C:\\p\\two;Second  \r\n";

std::string Utf16Of(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

TEST_P(BookmarkLoadTest, ReadsTheSameBookmarks)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"Bookmarks.lmf");
    WriteFileBytes(path, GetParam().bytes);
    BookmarkKeyTable keys{{L"stale", L"gone"}};
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, ElementsAre(Pair(L"C:\\p\\one", L"First; with; semicolons"), Pair(L"C:\\p\\two", L"Second")));
}

INSTANTIATE_TEST_SUITE_P(Encodings, BookmarkLoadTest,
                         testing::Values(LoadCase{"ansi", Lines}, LoadCase{"utf8", "\xEF\xBB\xBF" + Lines},
                                         LoadCase{"utf16_no_mark", Utf16Of(Lines)},
                                         LoadCase{"utf16_mark", "\xFF\xFE" + Utf16Of(Lines)}));

TEST_F(BookmarkFileTest, NoFileMeansNoBookmarks)
{
    BookmarkKeyTable keys{{L"stale", L"gone"}};
    EXPECT_EQ(S_FALSE, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, IsEmpty());
    WriteFileBytes(path, "");
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, IsEmpty());
}

TEST_F(BookmarkFileTest, AMalformedFileIsReportedAndNeverOverwritten)
{
    const std::string malformed[] = {
        std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR;x\n", 19),  // not text at all
        "\xEF\xBB\xBF" "C:\\p\\a;caf\xC3(\r\n",                // a broken UTF-8 sequence
        Utf16Bytes(std::wstring(L"\uFEFFC:\\p\\a;x") + L'\0' + L"y\r\n"),
    };
    AnsweredBoxes boxes({});
    for (const std::string& bytes : malformed) {
        WriteFileBytes(path, bytes);
        BookmarkKeyTable keys;
        EXPECT_EQ(Corrupt, ReadBookmarkFile(path.c_str(), keys));
        EXPECT_THAT(keys, IsEmpty());
        EXPECT_EQ(Corrupt, WriteBookmarkFile(nullptr, path.c_str(), {{L"C:\\p\\a", L"new"}}));
        EXPECT_EQ(bytes, ReadFileBytes(path));
    }
    EXPECT_THAT(boxes.texts, IsEmpty());
    EXPECT_THAT(FilesIn(folder), ElementsAre(L"Bookmarks.lmf"));
}

// The tests run as a user whom a read-only attribute does not stop, so the file is held open by
// "another user" instead.
TEST_F(BookmarkFileTest, AFileInUseIsAskedAboutAndCancelLeavesItWhole)
{
    const std::string old = "\xEF\xBB\xBF" "C:\\p\\a;old\r\n";
    WriteFileBytes(path, old);
    UniqueHandle inUse(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    {
        AnsweredBoxes boxes({IDRETRY, IDCANCEL});
        EXPECT_EQ(Cancelled, WriteBookmarkFile(nullptr, path.c_str(), {{L"C:\\p\\a", L"new"}}));
        EXPECT_THAT(boxes.texts, ElementsAre(StartsWith(L"Cannot write to bookmark file or media."),
                                             StartsWith(L"Cannot write to bookmark file or media.")));
    }
    EXPECT_THAT(FilesIn(folder), ElementsAre(L"Bookmarks.lmf"));
    inUse.Close();
    EXPECT_EQ(old, ReadFileBytes(path));

    // Let go of while the question is up: Retry then saves.
    inUse = UniqueHandle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    AnsweredBoxes boxes({IDRETRY}, [&] { inUse.Close(); });
    EXPECT_EQ(S_OK, WriteBookmarkFile(nullptr, path.c_str(), {{L"C:\\p\\a", L"new"}}));
    BookmarkKeyTable keys;
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, ElementsAre(Pair(L"C:\\p\\a", L"new")));
}

TEST_F(BookmarkFileTest, ASaveThatCannotWriteItsNewFileLeavesTheOldOneWhole)
{
    const std::string old = "C:\\p\\a;old\r\n";
    WriteFileBytes(path, old);
    // A folder where the new file would go stands in for media that takes no more data.
    const std::wstring inTheWay = path + L".inTheWay";
    ASSERT_TRUE(CreateDirectoryW(inTheWay.c_str(), nullptr));
    AnsweredBoxes boxes({IDRETRY, IDCANCEL});
    EXPECT_EQ(Cancelled, WriteBookmarkFile(nullptr, path.c_str(), {{L"C:\\p\\a", L"new"}}, inTheWay));
    EXPECT_THAT(boxes.texts, ElementsAre(StartsWith(L"Cannot write to media. Make sure the media is writable"),
                                         StartsWith(L"Cannot write to media. Make sure the media is writable")));
    EXPECT_EQ(old, ReadFileBytes(path));
    EXPECT_THAT(FilesIn(folder), ElementsAre(L"Bookmarks.lmf"));
}

TEST_F(BookmarkFileTest, SavingReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    WriteFileBytes(path, "C:\\p\\a;old\r\nC:\\p\\b;other\r\n");
    ASSERT_EQ(S_OK, WriteBookmarkFile(nullptr, path.c_str(), {{L"C:\\p\\c", L"only"}}));
    BookmarkKeyTable keys;
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, ElementsAre(Pair(L"C:\\p\\c", L"only")));
    EXPECT_THAT(FilesIn(folder), ElementsAre(L"Bookmarks.lmf"));
    // No bookmark left: the file stays, with its header alone.
    ASSERT_EQ(S_OK, WriteBookmarkFile(nullptr, path.c_str(), {}));
    EXPECT_EQ(S_OK, ReadBookmarkFile(path.c_str(), keys));
    EXPECT_THAT(keys, IsEmpty());
}

}  // namespace
