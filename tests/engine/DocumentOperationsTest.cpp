#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr wchar_t Supported[] = L"*.jpg;*.cr2;*.png;*.tif";

// A list of a.jpg with its companion a.cr2, b.jpg and the three pages of scan.tif, named in order.
class DocumentOperationsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        AppSettings::EnableMultiFrameSupport = 1;
        frameHandle = frame.Handle();
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        engine->PrepareList(Supported);
        WriteTestPicture(folder.File(L"scan.tif"), GUID_ContainerFormatTiff,
                         {PlainFrame(4, 4, {1, 2, 3, 255}), PlainFrame(4, 4, {4, 5, 6, 255}),
                          PlainFrame(4, 4, {7, 8, 9, 255})});
        for (const wchar_t* name : {L"a.jpg", L"a.cr2", L"scan.tif", L"b.jpg"}) ASSERT_TRUE(Add(name));
        entries = engine->GetEntries();
        ASSERT_EQ(5u, entries.size());
    }
    void TearDown() override
    {
        entries.clear();
        engine.reset();
        AppSettings::EnableMultiFrameSupport = 0;
        ReleaseWicFactory();
        CoUninitialize();
    }
    bool Add(const std::wstring& name) { return engine->AddFileToList(folder.File(name).c_str(), FILETIME{}, false); }
    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const EntryRef& entry : engine->GetEntries()) names.push_back(entry->GetBasePath().substr(folder.Path().size() + 1));
        return names;
    }
    CImageEntry* A() const { return entries[0].Get(); }
    CImageEntry* B() const { return entries[1].Get(); }
    CImageEntry* Page(int index) const { return entries[2 + index].Get(); }

    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
    std::vector<EntryRef> entries;
};

struct GroupSetterCase {
    const char* name;
    std::function<void(CImageEngine&, CImageEntry*)> set;
    std::function<bool(CImageEntry&)> isSet;
};

const GroupSetterCase GroupSetterCases[] = {
    {"copied", [](CImageEngine& e, CImageEntry* x) { e.SetCopiedForGroup(x, true); },
     [](CImageEntry& x) { return *x.GetCopiedFlag() == 1; }},
    {"marked", [](CImageEngine& e, CImageEntry* x) { e.SetMarkedForGroup(x, true); },
     [](CImageEntry& x) { return *x.GetMarkedFlag() == 1; }},
    {"rating", [](CImageEngine& e, CImageEntry* x) { e.SetRatingForGroup(x, 4); },
     [](CImageEntry& x) { return x.rating == 4; }},
    {"label", [](CImageEngine& e, CImageEntry* x) { e.SetLabelForGroup(x, 2, 1); },
     [](CImageEntry& x) { return x.label == 2 && x.labellingConvention == 1; }},
    {"urgency", [](CImageEngine& e, CImageEntry* x) { e.SetUrgencyForGroup(x, 3); },
     [](CImageEntry& x) { return x.urgency == 3; }},
};

TEST_F(DocumentOperationsTest, GroupSettersReachEveryPageOfTheFileAndNothingElse)
{
    for (const GroupSetterCase& setter : GroupSetterCases) {
        SCOPED_TRACE(setter.name);
        engine->ClearMarks();
        for (const EntryRef& entry : entries) {
            *entry->GetCopiedFlag() = 0;
            entry->rating = entry->label = entry->labellingConvention = entry->urgency = -1;
        }
        // The middle page: the walk goes back to the first page and forward past the last.
        setter.set(*engine, Page(1));
        EXPECT_FALSE(setter.isSet(*A()));
        for (int page = 0; page < 3; ++page) EXPECT_TRUE(setter.isSet(*Page(page))) << page;
        EXPECT_FALSE(setter.isSet(*B()));

        // A single-page file with a companion is one entry: nothing else changes.
        setter.set(*engine, B());
        EXPECT_TRUE(setter.isSet(*B()));
        EXPECT_FALSE(setter.isSet(*A()));
    }
}

TEST_F(DocumentOperationsTest, TheMarkedCountCountsMarkedGroups)
{
    engine->SetMarkedForGroup(Page(2), true);
    EXPECT_EQ(1u, engine->GetMarkedCount());
    // Marking a marked group again, or clearing a clear one, leaves the count as it is.
    engine->SetMarkedForGroup(Page(0), true);
    engine->SetMarkedForGroup(A(), false);
    EXPECT_EQ(1u, engine->GetMarkedCount());

    // Unmarking one page unmarks the three and lowers the count by one.
    engine->SetMarkedForGroup(Page(1), false);
    for (int page = 0; page < 3; ++page) EXPECT_EQ(0, *Page(page)->GetMarkedFlag());
    EXPECT_EQ(0u, engine->GetMarkedCount());

    for (const EntryRef& entry : entries) engine->SetMarkedForGroup(entry.Get(), true);
    EXPECT_EQ(3u, engine->GetMarkedCount());
    engine->ClearMarks();
    EXPECT_EQ(0u, engine->GetMarkedCount());
    for (const EntryRef& entry : entries) EXPECT_EQ(0, *entry->GetMarkedFlag());
}

TEST_F(DocumentOperationsTest, AnEntryOfNoEngineIsSetAloneAndNotCounted)
{
    EntryRef loose = MakeEntry(nullptr, folder.File(L"scan"), nullptr, 1, 3, L"tif", false);
    engine->SetRatingForGroup(loose.Get(), 5);
    engine->SetMarkedForGroup(loose.Get(), true);
    EXPECT_EQ(5, loose->rating);
    EXPECT_EQ(1, *loose->GetMarkedFlag());
    for (int page = 0; page < 3; ++page) EXPECT_EQ(-1, Page(page)->rating);
    EXPECT_EQ(0u, engine->GetMarkedCount());
}

TEST_F(DocumentOperationsTest, AKeepCopyFolderMustExistAndClearsTheCopiedMarks)
{
    engine->SetCopiedForGroup(A(), true);
    engine->SetCopiedForGroup(Page(0), true);
    for (const std::wstring& notFolder : {folder.File(L"missing"), folder.File(L"a.jpg"), std::wstring()}) {
        EXPECT_FALSE(engine->SetKeepCopyFolder(notFolder.c_str()));
        EXPECT_EQ(1, *A()->GetCopiedFlag());
    }
    EXPECT_FALSE(engine->SetKeepCopyFolder(nullptr));
    EXPECT_EQ(L"", engine->GetKeepCopyFolder());

    EXPECT_TRUE(engine->SetKeepCopyFolder(folder.Path().c_str()));
    EXPECT_EQ(folder.Path(), engine->GetKeepCopyFolder());
    for (const EntryRef& entry : entries) EXPECT_EQ(0, *entry->GetCopiedFlag());

    engine->SetCopiedForGroup(Page(2), true);
    engine->ClearCopiedAll();
    for (const EntryRef& entry : entries) EXPECT_EQ(0, *entry->GetCopiedFlag());
}

TEST_F(DocumentOperationsTest, ARenamedEntryTakesItsNewPlaceAndTheFrameIsTold)
{
    CImageEntry* renamed = A();
    engine->RenameEntry(renamed, folder.File(L"c"));
    EXPECT_EQ(folder.File(L"c"), renamed->GetBasePath());
    // Listed by name: the entry moved to the place of its new name.
    EXPECT_EQ((std::vector<std::wstring>{L"b", L"c", L"scan", L"scan", L"scan"}), Names());
    const std::vector<FrameMessageRecord> told = frame.Of(WM_APP_ENTRY_INSERTED);
    ASSERT_EQ(1u, told.size());
    EXPECT_EQ(0u, told[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(renamed), told[0].lParam);

    // Found under the new name: a companion joins it; the old name is a new picture.
    EXPECT_TRUE(Add(L"c.png"));
    EXPECT_TRUE(renamed->HasExtension(L"png"));
    EXPECT_EQ(5u, engine->GetEntryCount());
    EXPECT_TRUE(Add(L"a.jpg"));
    EXPECT_EQ(6u, engine->GetEntryCount());
    // The group setters still find it.
    engine->SetRatingForGroup(Page(0), 2);
    EXPECT_EQ(2, Page(2)->rating);
}

TEST_F(DocumentOperationsTest, AFlushedEntryIsRenamedWithoutTheList)
{
    EntryRef held = entries[0];
    entries.clear();
    engine->ClearList();
    engine->RenameEntry(held.Get(), folder.File(L"c"));
    EXPECT_EQ(folder.File(L"c"), held->GetBasePath());
    EXPECT_EQ(0u, engine->GetEntryCount());
    // The name map holds no pointer to it: a file of the same name is a new entry.
    engine->PrepareList(Supported);
    EXPECT_TRUE(Add(L"c.jpg"));
    EXPECT_EQ(1u, engine->GetEntryCount());
    EXPECT_NE(held.Get(), engine->GetEntries()[0].Get());
}

TEST_F(DocumentOperationsTest, TheFolderIdentityUsesTheVolumeOfTheLoadedFolder)
{
    RegistrySandbox registry;
    EXPECT_EQ(L"", engine->GetFolderIdentityText(nullptr));
    EXPECT_EQ(L"", engine->GetFolderIdentityText(L""));
    engine->LoadFolderMarks(folder.Path().c_str());
    const VolumeIdentity volume = GetVolumeIdentity(folder.Path().c_str());
    const std::wstring text = engine->GetFolderIdentityText(L"X:\\Other\\Folder");
    EXPECT_EQ(GetFolderIdentityText(volume, L"X:\\Other\\Folder"), text);
    EXPECT_NE(std::wstring::npos, text.find(L"|x:\\other\\folder"));
}
}  // namespace

namespace {
TEST_F(DocumentOperationsTest, TheListIsEmptyFromItsClearingUntilTheFirstFile)
{
    EXPECT_FALSE(engine->IsListEmpty());
    engine->PrepareList(Supported);
    EXPECT_TRUE(engine->IsListEmpty());
    ASSERT_TRUE(Add(L"b.jpg"));
    EXPECT_FALSE(engine->IsListEmpty());
}
}  // namespace

namespace {
TEST_F(DocumentOperationsTest, TheSliderPreviewNamesAnEntryWithoutMoving)
{
    ASSERT_NE(nullptr, engine->GoToPosition(3));
    const size_t cached = engine->GetCachedEntries().size();
    for (const uint32_t outside : {0u, 6u}) {
        CImageEntry* entry = A();
        FILETIME time{7, 7};
        EXPECT_EQ(nullptr, engine->GetEntryTextAt(outside, &time, &entry));
        EXPECT_EQ(A(), entry);
        EXPECT_EQ(7u, time.dwLowDateTime);
    }
    for (const uint32_t position : {1u, 2u, 5u}) {
        CImageEntry* entry = nullptr;
        FILETIME time{7, 7};
        Bstr text = Bstr::Attach(engine->GetEntryTextAt(position, &time, &entry));
        ASSERT_NE(nullptr, text.Get());
        EXPECT_EQ(entries[position - 1].Get(), entry);
        EXPECT_EQ(0u, time.dwLowDateTime);
        EXPECT_EQ(entry->GetBasePath() + L"." + entry->GetExtensionsText(), text.c_str());
    }
    // No sort time asked for: the text and the entry still come.
    CImageEntry* entry = nullptr;
    Bstr text = Bstr::Attach(engine->GetEntryTextAt(2, nullptr, &entry));
    EXPECT_EQ(B(), entry);
    EXPECT_EQ(folder.File(L"b.jpg"), text.c_str());
    EXPECT_EQ(3u, engine->GetCurrentPosition());
    EXPECT_EQ(cached, engine->GetCachedEntries().size());
}
}  // namespace
