#include "Viewer/core/Hash64.h"
#include "Viewer/engine/ImageEntry.h"
#include <gtest/gtest.h>
#include <string>

namespace {
EntryRef Entry(const wchar_t* base, const wchar_t* extensions, uint16_t page = 0, uint16_t pages = 1)
{
    EntryRef entry = MakeEntry(nullptr, std::wstring(base), nullptr, page, pages, nullptr, false);
    std::wstring list(extensions);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        entry->AddCompanionExtension(list.substr(start, end - start).c_str());
        start = end + 1;
    }
    return entry;
}

struct CompanionCase {
    const wchar_t* list;
    const wchar_t* added;
    bool result;
    const wchar_t* after;
};

TEST(ImageEntryTest, CompanionExtensionsAreWholeExtensionsWithoutCase)
{
    const CompanionCase cases[] = {
        {L"cr2;jpg", L".JPG", false, L"cr2;jpg"},
        {L"cr2", L".JPG", true, L"cr2;JPG"},
        {L"", L"jpg", true, L"jpg"},
        // "tif" is not present because "tiff" is, nor "tiff" because "tif" is.
        {L"tiff", L".tif", true, L"tiff;tif"},
        {L"tif", L"tiff", true, L"tif;tiff"},
        {L"jpeg;xmp", L".PEG", true, L"jpeg;xmp;PEG"},
        {L"nef;xmp", L"XMP", false, L"nef;xmp"},
    };
    for (const CompanionCase& c : cases) {
        EntryRef entry = Entry(L"C:\\a\\IMG_1", c.list);
        EXPECT_EQ(c.result, entry->AddCompanionExtension(c.added)) << c.list << L" + " << c.added;
        EXPECT_EQ(std::wstring(c.after), entry->GetExtensions().c_str()) << c.list << L" + " << c.added;
    }
}

TEST(ImageEntryTest, KeysOfAFileAndOfAPage)
{
    EntryRef single = Entry(L"C:\\a\\b", L"jpg");
    EntryRef page = Entry(L"C:\\a\\b", L"tif", 2, 3);
    EXPECT_EQ(L"C:\\a\\b", single->GetBookmarkKey());
    EXPECT_EQ(L"C:\\a\\b<2>", page->GetBookmarkKey());
    EXPECT_EQ(Hash64String(L"C:\\a\\b", false), single->GetEntryKeyHash(false));
    EXPECT_EQ(Hash64String(L"C:\\a\\b", true), single->GetEntryKeyHash(true));
    EXPECT_EQ(Hash64String(L"C:\\a\\b.tif:2", false), page->GetEntryKeyHash(false));
    EXPECT_EQ(L"", Entry(L"", L"jpg")->GetBookmarkKey());
}

TEST(ImageEntryTest, ExtensionsTextStartsWithTheDecodedOne)
{
    EXPECT_EQ(L"???", Entry(L"C:\\a\\b", L"")->GetExtensionsText());
    EXPECT_EQ(L"nef+jpg+xmp", Entry(L"C:\\a\\b", L"NEF;JPG;xmp")->GetExtensionsText());
}

TEST(ImageEntryTest, BookmarkNameSwapHandsBackTheOldName)
{
    EntryRef entry = Entry(L"C:\\a\\b", L"jpg");
    EXPECT_TRUE(entry->SwapBookmarkName(L"first").Empty());
    EXPECT_EQ(L"first", std::wstring(entry->SwapBookmarkName(L"second").c_str()));
    Bstr same = entry->SwapBookmarkName(entry->GetBookmarkName().c_str());
    EXPECT_EQ(L"second", std::wstring(same.c_str()));
    EXPECT_EQ(L"second", std::wstring(entry->GetBookmarkName().c_str()));
    EXPECT_EQ(L"second", std::wstring(entry->SwapBookmarkName(nullptr).c_str()));
    EXPECT_TRUE(entry->GetBookmarkName().Empty());
}

TEST(ImageEntryTest, TheLockAdmitsOneThread)
{
    EntryRef entry = Entry(L"C:\\a\\b", L"jpg");
    EXPECT_EQ(S_OK, entry->EntryLockTryEnter());
    EXPECT_EQ(E_FAIL, entry->EntryLockTryEnter());
    EXPECT_EQ(S_OK, entry->EntryLockLeave());
    EXPECT_EQ(S_OK, entry->EntryLockEnter());
    EXPECT_EQ(S_OK, entry->EntryLockLeave());
}
}  // namespace
