#include "Framework/ModalSeam.h"
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/BookmarkPrefix.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FileFixtures.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
// One engine with the pictures a..e of the folder's "trip" folder listed and its marks loaded; the
// prefix dialog, beeps and the Shift and Control keys are answered by the test.
class EngineBookmarksTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        frameHandle = frame.Handle();
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        engine->SetPrefixChooser([this](HWND owner, BookmarkPrefixRequest& request) {
            EXPECT_EQ(frameHandle, owner);
            dialogs.push_back(request);
            return dialogAnswer;
        });
        engine->PrepareList(L"*.jpg");
        engine->LoadFolderMarks(folder.Path().c_str());
        for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) {
            const std::wstring path = folder.File(std::wstring(L"trip\\") + name + L".jpg");
            CreateDirectoryW(folder.File(L"trip").c_str(), nullptr);
            WriteFileBytes(path, "");
            ASSERT_TRUE(engine->AddFileToList(path.c_str(), FILETIME{}, false));
        }
    }
    void TearDown() override
    {
        engine->ShutdownLoader();
        engine.reset();
        AppSettings::WrapImageList = 1;
        ReleaseWicFactory();
        CoUninitialize();
    }

    std::wstring NameAt(uint32_t position) const
    {
        return std::wstring(engine->GetEntryAtPosition(position)->GetBookmarkName().View());
    }
    static std::wstring Text(const Bstr& name) { return std::wstring(name.View()); }
    // The positions of the entries the frame was asked to show, in order.
    std::vector<uint32_t> GoToPositions()
    {
        frame.PumpFor(0);
        std::vector<uint32_t> positions;
        for (const FrameMessageRecord& record : frame.Of(WM_APP_GO_TO_ENTRY))
            for (uint32_t position = 1; position <= engine->GetEntryCount(); ++position)
                if (engine->GetEntryAtPosition(position) == reinterpret_cast<CImageEntry*>(record.wParam))
                    positions.push_back(position);
        frame.received.clear();
        return positions;
    }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox registry;
    RegKey settings;
    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;

    std::vector<UINT> beeps;
    bool shift = false;
    bool control = false;
    INT_PTR dialogAnswer = IDOK;
    std::vector<BookmarkPrefixRequest> dialogs;
    int boxAnswer = IDOK;
    std::vector<MessageBoxCall> boxes;
    ScopedModalSeam seam{{
        .messageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
            boxes.push_back({owner, text, caption, type});
            return boxAnswer;
        },
        .messageBeep = [this](UINT type) {
            beeps.push_back(type);
            return TRUE;
        },
        .keyState = [this](int key) -> SHORT { return (key == VK_SHIFT && shift) || (key == VK_CONTROL && control) ? -128 : 0; },
    }};
};

TEST_F(EngineBookmarksTest, QuickSlotsTakeTheCurrentPictureOnce)
{
    EXPECT_FALSE(engine->SetQuickSlot(10));
    EXPECT_FALSE(engine->SetQuickSlot(-1));
    engine->GoToPosition(2);
    ASSERT_TRUE(engine->SetQuickSlot(7));
    ASSERT_TRUE(engine->SetQuickSlot(3));
    CQuickSlots& slots = engine->QuickSlots();
    EXPECT_EQ(nullptr, slots.EntryAt(7));
    EXPECT_EQ(engine->GetEntryAtPosition(2), slots.EntryAt(3));
    EXPECT_EQ(3, engine->GetEntryAtPosition(2)->quickSlot);
    EXPECT_TRUE(slots.Changed());

    engine->PrepareList(L"*.jpg");
    EXPECT_FALSE(engine->SetQuickSlot(3));
}

TEST_F(EngineBookmarksTest, TheFirstBookmarkAsksForThePrefixThenNamesFollowTheStoredStyle)
{
    settings.SetDword(L"BookmarkPrefixesStyle", PrefixSecondFolder);
    engine->GoToPosition(1);
    dialogAnswer = IDCANCEL;
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    ASSERT_EQ(1u, dialogs.size());
    EXPECT_EQ(folder.Path(), dialogs[0].folder);
    EXPECT_EQ(folder.File(L"trip\\a"), dialogs[0].picturePath);
    EXPECT_EQ(L"", dialogs[0].prefix);
    EXPECT_EQ(L"", NameAt(1));
    frame.PumpFor(0);
    EXPECT_EQ(1u, frame.Of(WM_APP_SHOW_CURSOR).size());

    dialogAnswer = IDOK;
    EXPECT_EQ(L"trip_1", Text(engine->ToggleBookmark()));
    EXPECT_EQ(L"trip_1", NameAt(1));
    EXPECT_TRUE(engine->Bookmarks().Changed());
    engine->GoToPosition(2);
    EXPECT_EQ(L"trip_2", Text(engine->ToggleBookmark()));
    EXPECT_EQ(2u, dialogs.size()) << "a chosen prefix is not asked for again";

    // Shift asks again; a cancelled ask bookmarks nothing and keeps the prefix chosen before.
    engine->GoToPosition(3);
    shift = true;
    dialogAnswer = IDCANCEL;
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    EXPECT_EQ(3u, dialogs.size());
    EXPECT_EQ(L"", NameAt(3));
    shift = false;
    dialogAnswer = IDOK;
    EXPECT_EQ(L"trip_3", Text(engine->ToggleBookmark()));
    EXPECT_EQ(3u, dialogs.size()) << "the prefix chosen before still holds";

    // The file holds what the list shows.
    ASSERT_EQ(S_OK, engine->SaveBookmarkFile());
    BookmarkKeyTable saved;
    ASSERT_EQ(S_OK, ReadBookmarkFile(engine->Bookmarks().FilePath().c_str(), saved));
    EXPECT_EQ(L"trip_1", saved[folder.File(L"trip\\a")]);
    EXPECT_EQ(L"trip_2", saved[folder.File(L"trip\\b")]);
}

TEST_F(EngineBookmarksTest, ShiftRenamesAndControlRemovesAfterAsking)
{
    settings.SetDword(L"BookmarkPrefixesStyle", PrefixNone);
    engine->GoToPosition(3);
    // Control on a picture without a bookmark takes the prefix as it stands, without asking.
    control = true;
    EXPECT_EQ(L"1", Text(engine->ToggleBookmark()));
    EXPECT_TRUE(dialogs.empty());
    control = false;

    // Without a key a bookmarked picture stays as it is.
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps);

    shift = true;
    settings.SetDword(L"BookmarkPrefixesStyle", PrefixCustom);
    settings.SetString(L"CustomBookmarkPrefix", L"best");
    EXPECT_EQ(L"best_1", Text(engine->ToggleBookmark()));
    EXPECT_EQ(1u, dialogs.size()) << "Shift asks again";
    EXPECT_EQ(L"best_1", NameAt(3));
    EXPECT_EQ(1u, engine->Bookmarks().Names().size());
    shift = false;

    control = true;
    boxAnswer = IDCANCEL;
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Remove this bookmark permanently?", boxes[0].text);
    EXPECT_EQ(L"Lumenfold - Remove Bookmark", boxes[0].caption);
    EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONQUESTION), boxes[0].type);
    EXPECT_EQ(frameHandle, boxes[0].owner);
    EXPECT_EQ(L"best_1", NameAt(3));
    boxAnswer = IDOK;
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    EXPECT_EQ(2u, boxes.size());
    EXPECT_EQ(L"", NameAt(3));
    EXPECT_TRUE(engine->Bookmarks().Names().empty());
}

TEST_F(EngineBookmarksTest, WithoutACurrentPictureOrADialogNothingIsBookmarked)
{
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps);
    engine->GoToPosition(1);
    engine->SetPrefixChooser(nullptr);
    EXPECT_TRUE(engine->ToggleBookmark().Empty());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(engine->Bookmarks().Names().empty());
}

TEST_F(EngineBookmarksTest, NextAndPreviousBookmarkWalkTheListAndWrap)
{
    EXPECT_TRUE(engine->GoToNextBookmark().Empty());
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps);
    beeps.clear();
    control = true;  // no prefix dialog
    for (uint32_t position : {2u, 4u}) {
        engine->GoToPosition(position);
        engine->ToggleBookmark();
    }
    control = false;
    frame.PumpFor(0);
    frame.received.clear();

    engine->GoToPosition(1);
    EXPECT_EQ(NameAt(2), Text(engine->GoToNextBookmark()));
    EXPECT_EQ(std::vector<uint32_t>{2}, GoToPositions());
    engine->GoToPosition(3);
    EXPECT_EQ(NameAt(4), Text(engine->GoToNextBookmark()));
    EXPECT_EQ(NameAt(2), Text(engine->GoToPreviousBookmark()));
    EXPECT_EQ((std::vector<uint32_t>{4, 2}), GoToPositions());

    engine->GoToPosition(5);
    EXPECT_EQ(NameAt(2), Text(engine->GoToNextBookmark()));
    engine->GoToPosition(1);
    EXPECT_EQ(NameAt(4), Text(engine->GoToPreviousBookmark()));
    EXPECT_EQ((std::vector<uint32_t>{2, 4}), GoToPositions());
    EXPECT_TRUE(beeps.empty());

    // The current picture's own bookmark is not a next one; without wrapping the end is the end.
    AppSettings::WrapImageList = 0;
    engine->GoToPosition(4);
    EXPECT_TRUE(engine->GoToNextBookmark().Empty());
    engine->GoToPosition(1);
    EXPECT_TRUE(engine->GoToPreviousBookmark().Empty());
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), beeps);
    EXPECT_TRUE(GoToPositions().empty());
}
}  // namespace
