#include "Viewer/core/AppSettings.h"
#include "Viewer/engine/BookmarkStore.h"
#include "Viewer/engine/QuickSlots.h"
#include <gtest/gtest.h>

namespace {
EntryRef Entry(const wchar_t* base, uint16_t page = 0, uint16_t pages = 1)
{
    return MakeEntry(nullptr, std::wstring(base), nullptr, page, pages, L"tif", false);
}

std::wstring NameOf(const EntryRef& entry)
{
    return entry->GetBookmarkName().c_str();
}

CBookmarkStore::KeyTable Keys(std::initializer_list<std::pair<const std::wstring, std::wstring>> lines)
{
    return CBookmarkStore::KeyTable(lines);
}

TEST(BookmarkStoreTest, ListedEntriesFindTheirBookmarksByKey)
{
    CBookmarkStore store;
    {
        CriticalSectionScope lock(store.Lock());
        EXPECT_EQ(3u, store.Load(L"C:\\f\\Bookmarks.lmf",
                                 Keys({{L"C:\\f\\a", L"sunset"}, {L"C:\\f\\b<1>", L"page two"}, {L"C:\\f\\c", L"gone"}})));
    }
    EXPECT_TRUE(store.TakeRefresh());
    EntryRef a = Entry(L"c:\\F\\A");  // keys are compared without case
    EntryRef page = Entry(L"C:\\f\\b", 1, 3);
    EntryRef other = Entry(L"C:\\f\\d");
    EXPECT_TRUE(store.IsEntryBookmarked(a.Get()));
    EXPECT_TRUE(store.IsEntryBookmarked(page.Get()));
    EXPECT_FALSE(store.IsEntryBookmarked(other.Get()));
    EXPECT_EQ(L"sunset", NameOf(a));
    EXPECT_EQ(L"page two", NameOf(page));
    EXPECT_TRUE(store.TakeRefresh());
    EXPECT_FALSE(store.Changed());

    // Saving keeps only names whose picture is listed, in natural order of the names.
    CriticalSectionScope lock(store.Lock());
    const auto lines = store.TakeLinesToSave();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"C:\\f\\b<1>", lines[0].first);
    EXPECT_EQ(L"page two", lines[0].second);
    EXPECT_EQ(L"c:\\F\\A", lines[1].first);
    EXPECT_EQ(L"sunset", lines[1].second);
}

TEST(BookmarkStoreTest, WithoutABookmarkFileNothingIsBookmarked)
{
    CBookmarkStore store;
    {
        CriticalSectionScope lock(store.Lock());
        store.Load(L"", Keys({{L"C:\\f\\a", L"x"}}));
    }
    EntryRef a = Entry(L"C:\\f\\a");
    EXPECT_FALSE(store.IsEntryBookmarked(a.Get()));
    EXPECT_FALSE(store.IsEntryBookmarked(nullptr));
}

TEST(BookmarkStoreTest, NewBookmarksTakeTheFirstFreeNumberedName)
{
    CBookmarkStore store;
    EntryRef a = Entry(L"C:\\f\\a");
    EntryRef b = Entry(L"C:\\f\\b");
    EntryRef c = Entry(L"C:\\f\\c");
    EXPECT_EQ(L"trip_1", std::wstring(store.AddBookmark(L"trip", a.Get()).c_str()));
    EXPECT_EQ(L"trip_2", std::wstring(store.AddBookmark(L"trip", b.Get()).c_str()));
    EXPECT_TRUE(store.Changed());
    store.RemoveEntryBookmark(a.Get());
    EXPECT_TRUE(a->GetBookmarkName().Empty());
    EXPECT_EQ(L"trip_1", std::wstring(store.AddBookmark(L"trip", c.Get()).c_str()));
    EXPECT_TRUE(store.AddBookmark(L"trip", nullptr).Empty());
    // A name too long for its number is cut, so that every number still makes another name.
    const std::wstring longName(400, L'x');
    EXPECT_NE(store.AddBookmark(longName.c_str(), a.Get()).View(), store.AddBookmark(longName.c_str(), a.Get()).View());
}

TEST(BookmarkStoreTest, ASecondEntryWithTheSameNameGetsAVariant)
{
    CBookmarkStore store;
    {
        CriticalSectionScope lock(store.Lock());
        store.Load(L"C:\\f\\Bookmarks.lmf", Keys({{L"C:\\f\\a", L"pick"}, {L"C:\\f\\b", L"pick"}}));
    }
    EntryRef a = Entry(L"C:\\f\\a");
    EntryRef b = Entry(L"C:\\f\\b");
    EXPECT_TRUE(store.IsEntryBookmarked(a.Get()));
    EXPECT_TRUE(store.IsEntryBookmarked(b.Get()));
    EXPECT_EQ(L"pick", NameOf(a));
    EXPECT_EQ(L"pick_1", NameOf(b));
}

TEST(BookmarkStoreTest, ClearingTakesTheNamesOffTheEntries)
{
    CBookmarkStore store;
    EntryRef a = Entry(L"C:\\f\\a");
    store.AddBookmark(L"x", a.Get());
    store.ClearBookmarks();
    EXPECT_TRUE(a->GetBookmarkName().Empty());
    EXPECT_TRUE(store.Names().empty());
}

class QuickSlotsTest : public testing::Test {
protected:
    void TearDown() override { AppSettings::SaveBookmarksAcrossSessions = 1; }
    CQuickSlots slots;
};

TEST_F(QuickSlotsTest, SettingASlotTakesTheEntryOutOfItsOtherSlot)
{
    EntryRef a = Entry(L"C:\\f\\a");
    EXPECT_TRUE(slots.SetQuickSlot(7, a.Get()));
    EXPECT_TRUE(slots.SetQuickSlot(3, a.Get()));
    EXPECT_EQ(nullptr, slots.EntryAt(7));
    EXPECT_EQ(0u, slots.HashAt(7));
    EXPECT_EQ(a.Get(), slots.EntryAt(3));
    EXPECT_EQ(3, a->quickSlot);
    EXPECT_EQ(a->GetEntryKeyHash(false), slots.HashAt(3));
    EXPECT_FALSE(slots.SetQuickSlot(10, a.Get()));
    EXPECT_TRUE(slots.Changed());
}

TEST_F(QuickSlotsTest, SavedSlotsMatchTheirEntriesAsTheyAreListed)
{
    EntryRef a = Entry(L"C:\\f\\a");
    EntryRef b = Entry(L"C:\\f\\b");
    CQuickSlots::Hashes hashes = {};
    hashes[2] = b->GetEntryKeyHash(false);
    EXPECT_EQ(1, slots.Load(hashes, 0));
    EXPECT_FALSE(slots.MatchQuickSlots(a.Get()));
    EXPECT_TRUE(slots.MatchQuickSlots(b.Get()));
    EXPECT_EQ(b.Get(), slots.EntryAt(2));
    EXPECT_EQ(2, b->quickSlot);
    EXPECT_FALSE(slots.Changed());

    AppSettings::SaveBookmarksAcrossSessions = 0;
    EntryRef again = Entry(L"C:\\f\\b");
    EXPECT_FALSE(slots.MatchQuickSlots(again.Get()));
}

// Slots of the old registry form are converted as they match, and the conversion must be saved:
// before the fix they were deleted from the registry and never written in the new form.
TEST_F(QuickSlotsTest, OldFormSlotsAreConvertedAndMarkedForSaving)
{
    EntryRef a = Entry(L"C:\\f\\a");
    EntryRef b = Entry(L"C:\\f\\b");
    CQuickSlots::Hashes hashes = {};
    hashes[0] = a->GetEntryKeyHash(true);
    hashes[5] = b->GetEntryKeyHash(true);
    EXPECT_EQ(2, slots.Load(hashes, 0x3FF));
    EXPECT_NE(0u, slots.PendingMask());
    EXPECT_TRUE(slots.MatchQuickSlots(b.Get()));
    EXPECT_EQ(b->GetEntryKeyHash(false), slots.HashAt(5));
    EXPECT_TRUE(slots.Changed());

    CQuickSlots::Hashes saved = {};
    EXPECT_TRUE(slots.TakeHashesToSave(saved));
    EXPECT_FALSE(slots.Changed());
    // Only slots with a listed entry are saved; slot 0's picture was not listed.
    EXPECT_EQ(0u, saved[0]);
    EXPECT_EQ(b->GetEntryKeyHash(false), saved[5]);
}

TEST_F(QuickSlotsTest, ClearingSlotsEmptiesThemAndTheEntriesIndex)
{
    EntryRef a = Entry(L"C:\\f\\a");
    EntryRef b = Entry(L"C:\\f\\b");
    slots.SetQuickSlot(1, a.Get());
    slots.SetQuickSlot(4, b.Get());
    slots.ClearSlotsOfEntry(a.Get());
    EXPECT_EQ(nullptr, slots.EntryAt(1));
    EXPECT_EQ(-1, a->quickSlot);
    slots.ClearQuickSlot(4);
    EXPECT_EQ(-1, b->quickSlot);
    CQuickSlots::Hashes saved = {};
    EXPECT_FALSE(slots.TakeHashesToSave(saved));

    slots.SetQuickSlot(9, b.Get());
    slots.ClearQuickSlots();
    EXPECT_EQ(nullptr, slots.EntryAt(9));
    EXPECT_EQ(-1, b->quickSlot);
    EXPECT_EQ(0u, slots.PendingMask());
}
}  // namespace
