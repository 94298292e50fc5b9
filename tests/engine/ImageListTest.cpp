#include "Viewer/core/AppSettings.h"
#include "Viewer/core/Hash64.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/DecodePipeline.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/RecordingWicFactory.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr wchar_t Supported[] = L"*.jpg;*.jpeg;*.cr2;*.tif;*.tiff;*.png";

FILETIME Time(WORD year, WORD month, WORD day)
{
    SYSTEMTIME parts = {};
    parts.wYear = year;
    parts.wMonth = month;
    parts.wDay = day;
    FILETIME time;
    SystemTimeToFileTime(&parts, &time);
    return time;
}

class ImageListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        DecodeRetryPause = 1;
        frameHandle = frame.Handle();
    }
    void TearDown() override
    {
        engine.reset();
        AppSettings::SortByDateTime = 0;
        AppSettings::EnableMultiFrameSupport = 0;
        DecodeRetryPause = 100;
        ReleaseWicFactory();
        CoUninitialize();
    }

    // A new engine that lists only by the calls of the test.
    CImageEngine& Engine()
    {
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        engine->PrepareList(Supported);
        return *engine;
    }
    // A new engine listing the test's folder, waited for until it holds count entries.
    CImageEngine& ListedEngine(size_t count, bool recursive = false)
    {
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        EXPECT_EQ(S_OK, engine->ListFolderMatching(Supported, folder.Path().c_str(), recursive));
        WaitForEntries(count);
        return *engine;
    }
    void WaitForEntries(size_t count)
    {
        for (int i = 0; i < 500 && engine->GetEntryCount() < count; ++i) frame.PumpFor(20);
        frame.PumpFor(100);
        ASSERT_EQ(count, engine->GetEntryCount());
    }
    void Touch(const std::wstring& name, const FILETIME* time = nullptr)
    {
        UniqueHandle file(CreateFileW(folder.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        if (time) SetFileTime(file.Get(), time, nullptr, time);
    }
    // The file names of the entries in list order, with their extension lists and pages.
    std::vector<std::wstring> Listed()
    {
        std::vector<std::wstring> names;
        for (const EntryRef& entry : engine->GetEntries()) {
            std::wstring name = entry->GetBasePath().substr(folder.Path().size() + 1) + L"." +
                                entry->GetExtensions().c_str();
            if (entry->IsMultiPage()) name += L"#" + std::to_wstring(entry->GetPageIndex());
            names.push_back(name);
        }
        return names;
    }
    bool Add(const std::wstring& name, FILETIME time = {}, bool newArrival = false)
    {
        return engine->AddFileToList(folder.File(name).c_str(), time, newArrival);
    }

    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
};

TEST_F(ImageListTest, AFolderIsListedInNaturalOrderWithCompanionsGrouped)
{
    for (const wchar_t* name : {L"a10.jpg", L"a2.jpg", L"IMG_1.CR2", L"IMG_1.JPG", L"b1.png", L"notes.txt", L"noext"})
        Touch(name);
    ListedEngine(4);
    const std::vector<std::wstring> expected = {L"a2.jpg", L"a10.jpg", L"b1.png", L"IMG_1.CR2;JPG"};
    std::vector<std::wstring> listed = Listed();
    // The two files of IMG_1 arrive in either order; the first one listed names the entry.
    if (listed[3] == L"IMG_1.JPG;CR2") listed[3] = L"IMG_1.CR2;JPG";
    EXPECT_EQ(expected, listed);
}

TEST_F(ImageListTest, CompanionsJoinTheFirstFileListed)
{
    Engine();
    EXPECT_TRUE(Add(L"IMG_1.CR2"));
    EXPECT_TRUE(Add(L"IMG_1.JPG"));
    EXPECT_FALSE(Add(L"IMG_1.txt"));
    EXPECT_FALSE(Add(L"IMG_1"));
    // ".c" is not supported because ".cr2" is, nor ".jp".
    EXPECT_FALSE(Add(L"IMG_2.c"));
    EXPECT_FALSE(Add(L"IMG_2.jp"));
    EXPECT_EQ((std::vector<std::wstring>{L"IMG_1.CR2;JPG"}), Listed());
}

// The platform's natural comparison may call "img2" and "img02" equal (it does here); the list keeps
// both as separate pictures and orders them by their characters.
TEST_F(ImageListTest, NamesThatCompareEquallyNaturallyStaySeparate)
{
    Engine();
    Add(L"img2.jpg");
    Add(L"img02.jpg");
    Add(L"img02.cr2");
    EXPECT_EQ((std::vector<std::wstring>{L"img02.jpg;cr2", L"img2.jpg"}), Listed());
}

TEST_F(ImageListTest, DateOrdersSortByTheChosenFileTimeThenByName)
{
    AppSettings::SortByDateTime = 1;
    const FILETIME same = Time(2020, 1, 1), early = Time(2019, 6, 1), late = Time(2021, 1, 1);
    Touch(L"img10.jpg", &same);
    Touch(L"img2.jpg", &same);
    Touch(L"early.jpg", &early);
    Touch(L"late.jpg", &late);
    ListedEngine(4);
    EXPECT_EQ((std::vector<std::wstring>{L"early.jpg", L"img2.jpg", L"img10.jpg", L"late.jpg"}), Listed());
}

TEST_F(ImageListTest, AnyOtherSortSettingSortsByNamesOnly)
{
    AppSettings::SortByDateTime = 9;
    Engine();
    Add(L"b.jpg", Time(2019, 1, 1));
    Add(L"a.jpg", Time(2020, 1, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"a.jpg", L"b.jpg"}), Listed());
}

// Capture dates come from the pictures' metadata, which the platform here does not read from a
// JPEG: a fake decoder answers for each file.
TEST_F(ImageListTest, CaptureDatesSortThroughTheMetadataReader)
{
    ComPtr<RecordingWicFactory> factory = RecordingWicFactory::InstallAroundProcessFactory();
    auto decoderDated = [](const wchar_t* query, const wchar_t* text) {
        ComPtr<FakeQueryReader> reader = ComPtr<FakeQueryReader>::Attach(new FakeQueryReader);
        if (query) reader->SetText(query, text);
        FakeDecoder* decoder = new FakeDecoder(GUID_ContainerFormatJpeg);
        decoder->AddFrame(new FakeFrame(MakeNumberedBitmap(2, 2).Get(), reader.Get()));
        return ComPtr<IWICBitmapDecoder>::Attach(decoder);
    };
    AppSettings::SortByDateTime = 4;
    Engine();
    factory->decoder = decoderDated(L"/app1/ifd/exif/{ushort=36868}", L"2021:05:01 10:00:00");
    Add(L"a.jpg", Time(2000, 1, 1));
    factory->decoder = decoderDated(L"/xmp/exif:DateTimeOriginal", L"2019-05-01T10:00:00+02:00");
    Add(L"b.jpg", Time(2000, 1, 1));
    factory->decoder = decoderDated(nullptr, nullptr);
    Add(L"c.jpg", Time(2020, 1, 1));  // no date in the picture: its file time
    // With the GPS date first, it wins over the date taken.
    factory->decoder = decoderDated(L"/xmp/exif:GPSTimeStamp", L"2018-01-01T00:00:00Z");
    Add(L"d.jpg", Time(2000, 1, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"d.jpg", L"b.jpg", L"c.jpg", L"a.jpg"}), Listed());
    EXPECT_EQ(4, factory->decoderRequests);
}

TEST_F(ImageListTest, ARealTiffWithoutADateSortsByItsFileTime)
{
    WriteTestPicture(folder.File(L"z.tif"), GUID_ContainerFormatTiff, {PlainFrame(4, 4, {1, 2, 3, 255})});
    AppSettings::SortByDateTime = 3;
    Engine();
    Add(L"z.tif", Time(2001, 1, 1));
    Touch(L"a.jpg");
    Add(L"a.jpg", Time(2002, 1, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"z.tif", L"a.jpg"}), Listed());
}

TEST_F(ImageListTest, AMultiPageTiffGivesOneEntryPerPageAfterItsSinglePageTwin)
{
    AppSettings::EnableMultiFrameSupport = 1;
    WriteTestPicture(folder.File(L"scan.tif"), GUID_ContainerFormatTiff,
                     {PlainFrame(4, 4, {1, 2, 3, 255}), PlainFrame(4, 4, {4, 5, 6, 255}), PlainFrame(4, 4, {7, 8, 9, 255})});
    Touch(L"scan.jpg");
    ListedEngine(4);
    EXPECT_EQ((std::vector<std::wstring>{L"scan.jpg", L"scan.tif#0", L"scan.tif#1", L"scan.tif#2"}), Listed());
    const std::vector<EntryRef> entries = engine->GetEntries();
    EXPECT_EQ(3, entries[1]->GetPageCount());
    // Reported again (it changed): the pages are not listed twice.
    EXPECT_TRUE(Add(L"scan.tif"));
    EXPECT_EQ(4u, engine->GetEntryCount());
}

TEST_F(ImageListTest, TheFrameIsToldOfEveryNewEntry)
{
    Engine();
    Add(L"b.tif");
    Add(L"a.jpg");
    Add(L"a.cr2");  // a companion: nothing new to tell
    frame.PumpFor(200, 2);
    const std::vector<FrameMessageRecord> added = frame.Of(WM_APP_FILE_ADDED);
    ASSERT_EQ(2u, added.size());
    // The first picture is not of a native format: the frame waits longer before showing it.
    EXPECT_EQ(0u, added[0].wParam);
    EXPECT_EQ(75, added[0].lParam);
    EXPECT_EQ(2u, added[1].wParam);
    EXPECT_EQ(25, added[1].lParam);

    engine->ClearList();
    Add(L"c.jpg");
    frame.PumpFor(200, 3);
    ASSERT_EQ(3u, frame.Of(WM_APP_FILE_ADDED).size());
    EXPECT_EQ(0u, frame.Of(WM_APP_FILE_ADDED)[2].wParam);
    EXPECT_EQ(25, frame.Of(WM_APP_FILE_ADDED)[2].lParam);
}

TEST_F(ImageListTest, InWatchModesNewFilesAreOfferedToTheFrame)
{
    Engine();
    engine->SetWatchModes(true, false);
    Add(L"shot.jpg");
    frame.PumpFor(200, 1);
    ASSERT_EQ(1u, frame.Of(WM_APP_OPEN_FILE_DEFERRED).size());
    EXPECT_EQ(1u, frame.Of(WM_APP_OPEN_FILE_DEFERRED)[0].wParam);
    EXPECT_EQ((std::vector<std::wstring>{folder.File(L"shot")}), frame.deferredPaths);
    EXPECT_TRUE(frame.Of(WM_APP_FILE_ADDED).empty());
}

TEST_F(ImageListTest, AChangedFileIsReleasedAndRefreshedUnlessAMarkSaysOtherwise)
{
    Engine();
    Add(L"new.jpg", {}, true);
    Add(L"pending.jpg");
    Add(L"plain.jpg");
    engine->SetPendingOpenPath(folder.File(L"PENDING.jpg").c_str());
    frame.PumpFor(200, 3);
    frame.received.clear();

    Add(L"new.jpg");      // its new-arrival mark takes the report
    Add(L"pending.jpg");  // the frame is about to open it anyway
    Add(L"plain.jpg");
    Add(L"plain.jpg");
    frame.PumpFor(300, 2);
    const std::vector<FrameMessageRecord> refreshed = frame.Of(WM_APP_REFRESH_IF_CURRENT);
    ASSERT_EQ(2u, refreshed.size());
    const std::vector<EntryRef> entries = engine->GetEntries();
    EXPECT_EQ(reinterpret_cast<WPARAM>(entries[2].Get()), refreshed[0].wParam);
    EXPECT_EQ(3u, engine->GetEntryCount());
    EXPECT_TRUE(frame.Of(WM_APP_FILE_ADDED).empty());
}

TEST_F(ImageListTest, IgnoredPathsAreNotListed)
{
    Engine();
    engine->SetPathIgnored(folder.File(L"moving.jpg").c_str(), true);
    EXPECT_FALSE(Add(L"MOVING.JPG"));
    engine->SetPathIgnored(folder.File(L"moving.jpg").c_str(), false);
    EXPECT_TRUE(Add(L"moving.jpg"));
    EXPECT_FALSE(engine->AddFileToList(L"", {}, false));
}

TEST_F(ImageListTest, AFileCreatedWhileWatchingJoinsTheList)
{
    Touch(L"first.jpg");
    ListedEngine(1);
    frame.received.clear();
    Touch(L"second.jpg");
    WaitForEntries(2);
    EXPECT_EQ((std::vector<std::wstring>{L"first.jpg", L"second.jpg"}), Listed());
    ASSERT_EQ(1u, frame.Of(WM_APP_FILE_ADDED).size());
    EXPECT_EQ(2u, frame.Of(WM_APP_FILE_ADDED)[0].wParam);
}

TEST_F(ImageListTest, SubfoldersAreListedWhenRecursive)
{
    CreateDirectoryW(folder.File(L"sub").c_str(), nullptr);
    Touch(L"top.jpg");
    Touch(L"sub\\inner.jpg");
    ListedEngine(2, true);
    EXPECT_EQ((std::vector<std::wstring>{L"sub\\inner.jpg", L"top.jpg"}), Listed());
}

TEST_F(ImageListTest, TheSupportedListComesFromTheInstalledCodecs)
{
    Engine();
    ResetEvent(engine->CodecsReadyEvent());
    Touch(L"a.jpg");
    ASSERT_EQ(S_OK, engine->ListFolder(folder.Path().c_str(), false));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(engine->CodecsReadyEvent(), 0));
    const std::wstring supported = engine->GetSupportedExtensions();
    for (const wchar_t* extension : {L".jpg", L".jpeg", L".png", L".bmp", L".gif", L".tif", L".tiff", L".ico", L".cur"})
        EXPECT_TRUE(IsSupportedExtension(supported, extension)) << extension << L" in " << supported;
    EXPECT_FALSE(IsSupportedExtension(supported, L".c"));
    WaitForEntries(1);
}

TEST(SupportedListTest, CodecListsMergeAsWholeLowerCaseExtensions)
{
    std::wstring supported;
    MergeCodecExtensions(supported, L".JPG,.jpeg;.jpe", GUID_ContainerFormatJpeg);
    EXPECT_EQ(L"*.jpg;*.jpeg;*.jpe", supported);
    MergeCodecExtensions(supported, L".ico", GUID_ContainerFormatIco);
    EXPECT_EQ(L"*.jpg;*.jpeg;*.jpe;*.ico;*.cur", supported);
    MergeCodecExtensions(supported, L".wdp,.jxr", GUID_ContainerFormatWmp);
    EXPECT_EQ(L"*.jpg;*.jpeg;*.jpe;*.ico;*.cur;*.wdp;*.jxr;*.hdp", supported);
    // ".jp" is not present because ".jpg" is.
    MergeCodecExtensions(supported, L".jp;.JPG", GUID_ContainerFormatPng);
    EXPECT_EQ(L"*.jpg;*.jpeg;*.jpe;*.ico;*.cur;*.wdp;*.jxr;*.hdp;*.jp", supported);
}
}  // namespace

namespace {
class FolderMarksTest : public ImageListTest {
protected:
    std::wstring Identity() { return GetFolderIdentityText(GetVolumeIdentity(folder.Path().c_str()), folder.Path().c_str()); }
    std::wstring ReadValue(const std::wstring& name)
    {
        wchar_t data[512] = {};
        DWORD size = sizeof(data);
        if (RegGetValueW(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data,
                         &size) != ERROR_SUCCESS)
            return L"<none>";
        return data;
    }
    void WriteValue(const std::wstring& name, const std::wstring& data)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, QuickSlotsKeyPath.c_str(), 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    static std::wstring Hex(uint64_t value)
    {
        wchar_t text[20];
        swprintf(text, 20, L"%llx", static_cast<unsigned long long>(value));
        return text;
    }

    RegistrySandbox registry;
};

TEST_F(FolderMarksTest, BookmarksOfTheFolderFileAttachAsEntriesAreListed)
{
    Touch(L"a.jpg");
    Touch(L"b.jpg");
    const std::wstring key = folder.File(L"b");
    const std::string text = ";comment\r\n" + std::string(key.begin(), key.end()) + ";best; really\r\n";
    WriteBytes(folder.File(L"Bookmarks.lmf"), std::vector<uint8_t>(text.begin(), text.end()));
    ListedEngine(2);
    const std::vector<EntryRef> entries = engine->GetEntries();
    EXPECT_TRUE(entries[0]->GetBookmarkName().Empty());
    EXPECT_EQ(L"best; really", std::wstring(entries[1]->GetBookmarkName().c_str()));
    EXPECT_EQ(0u, engine->Bookmarks().unresolvedBookmarks);

    EXPECT_EQ(S_FALSE, engine->SaveBookmarkFile());  // nothing changed
    EXPECT_EQ(L"pick_1", std::wstring(engine->Bookmarks().AddBookmark(L"pick", entries[0].Get()).c_str()));
    EXPECT_EQ(S_OK, engine->SaveBookmarkFile());
    BookmarkKeyTable keys;
    ASSERT_EQ(S_OK, ReadBookmarkFile(folder.File(L"Bookmarks.lmf").c_str(), keys));
    EXPECT_EQ(2u, keys.size());
    EXPECT_EQ(L"pick_1", keys[folder.File(L"a")]);
    EXPECT_EQ(L"best; really", keys[folder.File(L"b")]);
}

// Before the fix, slots of the old registry form were deleted when read and only saved again when
// the user happened to change a slot.
TEST_F(FolderMarksTest, OldFormQuickSlotsAreSavedInTheNewFormOnceMatched)
{
    Touch(L"a.jpg");
    Touch(L"b.jpg");
    const std::wstring identity = Identity();
    const uint64_t ownA = Hash64String(folder.File(L"a").c_str(), true);
    WriteValue(OldQuickSlotValueName(identity), L"0;0;" + Hex(ownA) + L";0;0;0;0;0;0;0");
    ListedEngine(2);
    const std::vector<EntryRef> entries = engine->GetEntries();
    EXPECT_EQ(entries[0].Get(), engine->QuickSlots().EntryAt(2));
    EXPECT_EQ(2, entries[0]->quickSlot);
    EXPECT_EQ(L"<none>", ReadValue(OldQuickSlotValueName(identity)));

    EXPECT_EQ(ERROR_SUCCESS, engine->SaveQuickSlots());
    EXPECT_EQ(L"0;0;" + Hex(Hash64String(folder.File(L"a").c_str(), false)) + L";0;0;0;0;0;0;0",
              ReadValue(QuickSlotValueName(identity)));
}

TEST_F(FolderMarksTest, SavingWithEverySlotEmptyDeletesTheFoldersValue)
{
    Touch(L"a.jpg");
    const std::wstring identity = Identity();
    WriteValue(QuickSlotValueName(identity), L"0;" + Hex(Hash64String(folder.File(L"a").c_str(), false)) +
                                                 L";0;0;0;0;0;0;0;0");
    ListedEngine(1);
    const std::vector<EntryRef> entries = engine->GetEntries();
    ASSERT_EQ(entries[0].Get(), engine->QuickSlots().EntryAt(1));
    EXPECT_FALSE(engine->QuickSlots().Changed());
    engine->QuickSlots().ClearQuickSlot(1);
    EXPECT_EQ(ERROR_SUCCESS, engine->SaveQuickSlots());
    EXPECT_EQ(L"<none>", ReadValue(QuickSlotValueName(identity)));
}
}  // namespace
