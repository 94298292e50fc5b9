#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/FileFixtures.h"
#include <string>
#include <vector>

namespace {
class EngineNavigationTest : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetMemoryProbe([] { return MemoryReading{uint64_t(1) << 30, 10}; });
        // Workers run so that each current picture's decode (of an empty file) ends at once.
        engine->FlushCache(false);
        engine->SetCacheQuotas({2, 1});
        engine->PrepareList(L"*.jpg");
    }
    void TearDown() override
    {
        EngineFixture::TearDown();
        AppSettings::WrapImageList = 1;
        AppSettings::SortByDateTime = 0;
    }

    // Lists empty files of the given names, in that order of the list.
    void List(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names) {
            const std::wstring path = folder.File(name);
            CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
            WriteFileBytes(path, "");
            ASSERT_TRUE(engine->AddFileToList(path.c_str(), FILETIME{}, false));
        }
    }
    void ListTen()
    {
        std::vector<std::wstring> names;
        for (int i = 1; i <= 10; ++i) names.push_back(L"p" + std::to_wstring(i) + L".jpg");
        List(names);
    }
    std::wstring NameOf(const CImageEntry* entry) const
    {
        return entry ? entry->GetBasePath().substr(folder.Path().size() + 1) : L"(none)";
    }

    std::vector<UINT> beeps;
    ScopedModalSeam seam{{.messageBeep = [this](UINT type) {
        beeps.push_back(type);
        return TRUE;
    }}};
};

TEST_F(EngineNavigationTest, StepsStopAtTheEndAndWrapWithABeep)
{
    ListTen();
    EXPECT_EQ(nullptr, engine->GetCurrentEntry(true));
    EXPECT_EQ(0u, engine->GetCurrentPosition());
    EXPECT_EQ(L"p1", NameOf(engine->GoFirst()));
    EXPECT_EQ(L"p8", NameOf(engine->GoToPosition(8)));
    EXPECT_EQ(L"p10", NameOf(engine->GoNext(5)));
    EXPECT_TRUE(beeps.empty());
    EXPECT_EQ(L"p1", NameOf(engine->GoNext(1)));
    EXPECT_EQ(std::vector<UINT>{MB_ICONASTERISK}, beeps);
    EXPECT_EQ(L"p10", NameOf(engine->GoPrevious(1)));
    EXPECT_EQ(10u, engine->GetCurrentPosition());
    EXPECT_EQ(L"p7", NameOf(engine->GoPrevious(3)));
    // Quiet steps never beep.
    engine->GoLast();
    beeps.clear();
    EXPECT_EQ(L"p1", NameOf(engine->GoNext(1, true)));
    EXPECT_TRUE(beeps.empty());

    AppSettings::WrapImageList = 0;
    EXPECT_EQ(nullptr, engine->GoPrevious(1));
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps);
    EXPECT_EQ(1u, engine->GetCurrentPosition());
    AppSettings::WrapImageList = 1;
    engine->SetWatchModes(false, true);
    engine->GoLast();
    EXPECT_EQ(nullptr, engine->GoNext(1));
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), beeps);
    EXPECT_EQ(L"p10", NameOf(engine->GetCurrentEntry(true)));
}

TEST_F(EngineNavigationTest, PositionsOutsideTheListDoNotMove)
{
    ListTen();
    EXPECT_EQ(nullptr, engine->GoToPosition(0));
    EXPECT_EQ(nullptr, engine->GoToPosition(11));
    EXPECT_EQ(L"p4", NameOf(engine->GoToPosition(4)));
    EXPECT_EQ(nullptr, engine->GoToPosition(11));
    EXPECT_EQ(4u, engine->GetCurrentPosition());
    EXPECT_EQ(L"p4", NameOf(engine->GoToPosition(4)));
    EXPECT_EQ(L"p2", NameOf(engine->GoToPosition(2)));
    EXPECT_EQ(L"p9", NameOf(engine->GetEntryAtPosition(9)));
    EXPECT_EQ(nullptr, engine->GetEntryAtPosition(0));
    EXPECT_EQ(2u, engine->GetCurrentPosition());
}

TEST_F(EngineNavigationTest, GoingToAnEntryFindsItOnlyWhenListed)
{
    ListTen();
    engine->GoFirst();
    EXPECT_TRUE(engine->GoToEntry(engine->GetEntryAtPosition(7)));
    EXPECT_EQ(7u, engine->GetCurrentPosition());
    EntryRef stranger = MakeEntry(engine.get(), folder.File(L"p7"), nullptr, 0, 1, L"jpg", false);
    EXPECT_FALSE(engine->GoToEntry(stranger.Get()));
    EXPECT_EQ(7u, engine->GetCurrentPosition());
    // An insertion before the current entry moves its position.
    List({L"p0.jpg"});
    EXPECT_EQ(8u, engine->GetCurrentPosition());
}

TEST_F(EngineNavigationTest, APendingNameIsShownOnceListed)
{
    ListTen();
    engine->GoFirst();
    engine->SetCurrentName(folder.File(L"p5").c_str());
    EXPECT_EQ(L"p6", NameOf(engine->GoNext(1)));
    EXPECT_EQ(L"p7", NameOf(engine->GoNext(1)));
    engine->SetCurrentName(folder.File(L"zz").c_str());
    EXPECT_EQ(nullptr, engine->GoNext(1));
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps);
    EXPECT_EQ(L"p1", NameOf(engine->GoFirst()));
}

TEST_F(EngineNavigationTest, FolderMovesCompareFoldersWithAndWithoutCase)
{
    List({L"d1\\p1.jpg", L"d1\\p2.jpg", L"D1\\p3.jpg", L"d2\\p4.jpg", L"d2\\p5.jpg"});
    engine->GoToPosition(2);
    EXPECT_EQ(L"d1\\p1", NameOf(engine->GoToFolderStart()));
    EXPECT_EQ(L"D1\\p3", NameOf(engine->GoToFolderEnd()));
    engine->GoFirst();
    // "d1" and "D1" are two folders to the folder steps.
    EXPECT_EQ(L"D1\\p3", NameOf(engine->GoNextFolder()));
    EXPECT_EQ(L"d2\\p4", NameOf(engine->GoNextFolder()));
    EXPECT_EQ(nullptr, engine->GoNextFolder());
    engine->GoLast();
    EXPECT_EQ(L"d1\\p1", NameOf(engine->GoPreviousFolder()));
    EXPECT_EQ(nullptr, engine->GoPreviousFolder());

    AppSettings::SortByDateTime = 1;
    engine->GoToPosition(2);
    EXPECT_EQ(nullptr, engine->GoToFolderStart());
    EXPECT_EQ(nullptr, engine->GoToFolderEnd());
    EXPECT_EQ(nullptr, engine->GoNextFolder());
    EXPECT_EQ(nullptr, engine->GoPreviousFolder());
    EXPECT_EQ(2u, engine->GetCurrentPosition());
}

TEST_F(EngineNavigationTest, RemovingTheCurrentEntryMovesToTheNextOrTheNewLast)
{
    List({L"p1.jpg", L"p2.jpg", L"p3.jpg"});
    CImageEntry* second = engine->GoToPosition(2);
    engine->RemoveCurrentEntry();
    EXPECT_EQ(2u, engine->GetEntryCount());
    EXPECT_EQ(L"p3", NameOf(engine->GetCurrentEntry(true)));
    EXPECT_EQ(2u, engine->GetCurrentPosition());
    const auto released = frame.Of(WM_APP_ENTRY_RELEASED);
    ASSERT_FALSE(released.empty());
    EXPECT_EQ(reinterpret_cast<WPARAM>(second), released.back().wParam);
    for (const EntryRef& cached : engine->GetCachedEntries()) EXPECT_NE(second, cached.Get());

    engine->RemoveCurrentEntry();
    EXPECT_EQ(L"p1", NameOf(engine->GetCurrentEntry(true)));
    EXPECT_EQ(1u, engine->GetCurrentPosition());
    engine->RemoveCurrentEntry();
    EXPECT_EQ(0u, engine->GetEntryCount());
    EXPECT_EQ(nullptr, engine->GetCurrentEntry());
    EXPECT_EQ(0u, engine->GetCurrentPosition());
    engine->RemoveCurrentEntry();
    EXPECT_FALSE(engine->IsRemovingEntry());
}
}
