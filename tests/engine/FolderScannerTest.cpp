#include <gmock/gmock.h>
#include <string>
#include <vector>
#include "Framework/Bstr.h"
#include "Viewer/engine/FolderScanner.h"
#include "tests/engine/FileFixtures.h"
#include "tests/support/TestPaths.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
using Mode = CFolderScanner::StartMode;

// Long enough for a watcher under a busy Wine to report a change, short enough to fail quickly.
constexpr DWORD ChangeWait = 5000;

class FolderScannerTest : public testing::Test {
protected:
    std::wstring Make(const std::wstring& relative, std::string_view bytes = "x")
    {
        const std::wstring path = folder.File(relative);
        WriteFileBytes(path, bytes);
        return path;
    }
    std::wstring MakeFolder(const std::wstring& relative)
    {
        const std::wstring path = folder.File(relative);
        EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        return path;
    }

    // Configures the scanner as the engine does.
    HRESULT Configure(const wchar_t* spec, BOOL recursive, DWORD options = 0)
    {
        HRESULT hr = spec ? scanner.SetFilterSpec(spec) : S_OK;
        if (SUCCEEDED(hr)) hr = scanner.SetFolder(folder.Path().c_str(), FALSE);
        if (SUCCEEDED(hr)) hr = scanner.SetRecursive(recursive);
        if (SUCCEEDED(hr)) hr = scanner.SetOptions(options);
        return hr;
    }

    // The queued paths relative to the folder, in the order they come out.
    std::vector<std::wstring> Drain(DWORD timeout = 0)
    {
        std::vector<std::wstring> names;
        Bstr path;
        while (scanner.GetNext(&path, timeout) == S_OK) names.emplace_back(path.View().substr(folder.Path().size() + 1));
        return names;
    }

    std::vector<std::wstring> Scan(const wchar_t* spec, BOOL recursive, DWORD options = 0)
    {
        EXPECT_EQ(S_OK, Configure(spec, recursive, options));
        EXPECT_EQ(S_OK, scanner.Start(Mode::ScanOnCaller));
        std::vector<std::wstring> names = Drain();
        EXPECT_EQ(S_OK, scanner.Stop(TRUE));
        return names;
    }

    TempFolder folder;
    CFolderScanner scanner;
};

TEST_F(FolderScannerTest, EnumeratesTheFolderAloneOrWithItsSubfolders)
{
    Make(L"a.jpg");
    Make(L"b.png");
    MakeFolder(L"sub");
    Make(L"sub\\c.jpg");
    MakeFolder(L"sub\\deeper");
    Make(L"sub\\deeper\\d.tif");

    EXPECT_THAT(Scan(nullptr, FALSE), UnorderedElementsAre(L"a.jpg", L"b.png"));
    EXPECT_THAT(Scan(nullptr, TRUE),
                UnorderedElementsAre(L"a.jpg", L"b.png", L"sub\\c.jpg", L"sub\\deeper\\d.tif"));
}

TEST_F(FolderScannerTest, FilterSpecSelectsFilesAloneAndInSubfolders)
{
    Make(L"a.jpg");
    Make(L"b.png");
    Make(L"c.txt");
    MakeFolder(L"d.jpg");  // a folder never comes out of the scan, whatever its name
    Make(L"d.jpg\\e.jpg");
    Make(L"d.jpg\\f.txt");

    EXPECT_THAT(Scan(L"*.jpg", FALSE), ElementsAre(L"a.jpg"));
    EXPECT_THAT(Scan(L"*.jpg; *.png", FALSE), UnorderedElementsAre(L"a.jpg", L"b.png"));
    // With recursion the search takes every name, so subfolders are entered whatever the pattern.
    EXPECT_THAT(Scan(L"*.jpg", TRUE), UnorderedElementsAre(L"a.jpg", L"d.jpg\\e.jpg"));
}

struct SpecCase {
    const wchar_t* spec;
    HRESULT result;
    const wchar_t* stored;  // what GetFilterSpec gives back; null for an empty list
};

void PrintTo(const SpecCase& c, std::ostream* os)
{
    for (const wchar_t* p = c.spec; *p; ++p) *os << (*p < 128 && *p >= 32 ? char(*p) : '?');
}

class FilterSpecTest : public testing::TestWithParam<SpecCase> {};

TEST_P(FilterSpecTest, IsSplitTrimmedAndChecked)
{
    CFolderScanner scanner;
    EXPECT_EQ(S_OK, scanner.SetFilterSpec(L"*.old"));
    EXPECT_EQ(GetParam().result, scanner.SetFilterSpec(GetParam().spec));
    Bstr stored;
    EXPECT_EQ(S_OK, scanner.GetFilterSpec(&stored));
    if (GetParam().stored)
        EXPECT_EQ(GetParam().stored, stored.View());
    else
        EXPECT_EQ(nullptr, stored.Get());
}

INSTANTIATE_TEST_SUITE_P(
    Specs, FilterSpecTest,
    testing::Values(SpecCase{L"*.jpg; *.png", S_OK, L"*.jpg;*.png"},
                    SpecCase{L" \t*.jpg\r\n", S_OK, L"*.jpg"},
                    SpecCase{L"*.jpg,*.png|*.tif:*.gif", S_OK, L"*.jpg;*.png;*.tif;*.gif"},
                    SpecCase{L"*.jpg;;;*.png", S_OK, L"*.jpg;*.png"},
                    SpecCase{L";,:|", S_OK, nullptr},
                    // The colon separates, so a drive letter becomes a pattern of its own.
                    SpecCase{L"c:*.jpg", S_OK, L"c;*.jpg"},
                    SpecCase{L"*.jpg;sub\\*.png", E_INVALIDARG, nullptr},
                    SpecCase{L"*.jpg; ;*.png", E_INVALIDARG, nullptr},
                    SpecCase{L"", E_INVALIDARG, L"*.old"}));

TEST_F(FolderScannerTest, SkipsFilesAndFoldersWithMaskedAttributes)
{
    Make(L"shown.jpg");
    SetFileAttributesW(Make(L"hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Make(L"system.jpg").c_str(), FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(L"secret");
    Make(L"secret\\inside.jpg");
    SetFileAttributesW(folder.File(L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);

    EXPECT_THAT(Scan(nullptr, TRUE, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), ElementsAre(L"shown.jpg"));
    EXPECT_THAT(Scan(nullptr, TRUE, 0),
                UnorderedElementsAre(L"shown.jpg", L"hidden.jpg", L"system.jpg", L"secret\\inside.jpg"));
    EXPECT_EQ(E_INVALIDARG, scanner.SetOptions(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(FolderScannerTest, RecordsComeOutOldestCreatedFirstWithTheirFileData)
{
    // Made in this order, with time between them: a Linux file system keeps no creation time that
    // could be set afterwards, so the order of making is the order of creation times.
    Make(L"old.jpg", "1");
    Sleep(30);
    Make(L"mid.jpg", "12");
    Sleep(30);
    Make(L"new.jpg", "12345");
    ASSERT_EQ(S_OK, Configure(nullptr, FALSE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::ScanOnCaller));
    DWORD count = 0;
    EXPECT_EQ(S_OK, scanner.GetRecordCount(&count));
    EXPECT_EQ(3u, count);

    Bstr path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_EQ(S_OK, scanner.GetNextRecord(&path, &data, 0));
    EXPECT_EQ(folder.File(L"old.jpg"), path.View());
    EXPECT_EQ(1u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_THAT(Drain(), ElementsAre(L"mid.jpg", L"new.jpg"));
}

TEST_F(FolderScannerTest, QueryFileQueuesOnceAndAVanishedFileComesOutLast)
{
    ASSERT_EQ(S_OK, Configure(nullptr, FALSE, FILE_ATTRIBUTE_HIDDEN));
    const std::wstring shown = Make(L"shown.jpg", "first");
    EXPECT_EQ(S_OK, scanner.QueryFile(shown.c_str()));
    EXPECT_EQ(S_OK, scanner.QueryFile(folder.File(L"never-there.jpg").c_str()));
    WriteFileBytes(shown, "second, longer");
    EXPECT_EQ(S_OK, scanner.QueryFile(shown.c_str()));
    SetFileAttributesW(Make(L"hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(S_FALSE, scanner.QueryFile(folder.File(L"hidden.jpg").c_str()));

    Bstr path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_EQ(S_OK, scanner.GetNextRecord(&path, &data, 0));
    EXPECT_EQ(shown, path.View());
    EXPECT_EQ(5u, data.nFileSizeLow);  // the first record of the path stayed
    ASSERT_EQ(S_OK, scanner.GetNextRecord(&path, &data, 0));
    EXPECT_EQ(folder.File(L"never-there.jpg"), path.View());
    EXPECT_EQ(0u, data.dwFileAttributes);
    EXPECT_EQ(0xffffffffu, data.ftCreationTime.dwHighDateTime);
    EXPECT_EQ(0xffffffffu, data.ftCreationTime.dwLowDateTime);
    EXPECT_EQ(0u, data.nFileSizeLow);

    EXPECT_EQ(S_FALSE, scanner.GetNextRecord(&path, &data, 20));
    EXPECT_EQ(nullptr, path.Get());
    EXPECT_EQ(E_INVALIDARG, scanner.GetNextRecord(nullptr, nullptr, 0));
}

TEST_F(FolderScannerTest, WatcherDeliversCreatedAndRenamedFilesOnce)
{
    ASSERT_EQ(S_OK, Configure(L"*.jpg", FALSE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::WatchOnly));
    BOOL scanning = TRUE;
    EXPECT_EQ(S_OK, scanner.IsScanning(&scanning));
    EXPECT_FALSE(scanning);

    Make(L"created.jpg");
    Make(L"ignored.txt");
    EXPECT_THAT(Drain(ChangeWait), ElementsAre(L"created.jpg"));
    Make(L"renamed.tmp");
    ASSERT_TRUE(MoveFileW(folder.File(L"renamed.tmp").c_str(), folder.File(L"renamed.jpg").c_str()));
    EXPECT_TRUE(DeleteFileW(folder.File(L"created.jpg").c_str()));
    EXPECT_THAT(Drain(ChangeWait), ElementsAre(L"renamed.jpg"));
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
}

// Wine reports no change below the watched folder itself (a file made in a subfolder is never
// reported), so only the folder's own changes are checked with the subtree watch on.
TEST_F(FolderScannerTest, WatchesWithSubfoldersWhenRecursive)
{
    MakeFolder(L"sub");
    ASSERT_EQ(S_OK, Configure(nullptr, TRUE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::WatchOnly));
    Make(L"top.jpg");
    EXPECT_THAT(Drain(ChangeWait), ElementsAre(L"top.jpg"));
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
    EXPECT_EQ(S_OK, scanner.WatchResult());
}

TEST_F(FolderScannerTest, StopsAndStartsAgainOnlyFromTheRightState)
{
    EXPECT_EQ(E_FAIL, scanner.Stop(TRUE));
    EXPECT_EQ(E_FAIL, scanner.Start(Mode::ScanOnThread));  // no folder yet
    Make(L"before.jpg");
    ASSERT_EQ(S_OK, Configure(nullptr, FALSE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::ScanOnThread));
    BOOL started = FALSE;
    EXPECT_EQ(S_OK, scanner.IsStarted(&started));
    EXPECT_TRUE(started);
    EXPECT_EQ(E_FAIL, scanner.Start(Mode::ScanOnThread));
    EXPECT_EQ(E_FAIL, scanner.SetRecursive(TRUE));
    EXPECT_EQ(E_FAIL, scanner.SetFilterSpec(L"*.png"));
    EXPECT_EQ(E_FAIL, scanner.SetFolder(folder.Path().c_str(), FALSE));
    EXPECT_EQ(S_OK, scanner.SetOptions(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_THAT(Drain(ChangeWait), ElementsAre(L"before.jpg"));
    EXPECT_EQ(S_OK, scanner.Stop(FALSE));

    // Stopped: nothing is watched; records still queued stay until a clearing stop.
    Make(L"while-stopped.jpg");
    Sleep(300);
    EXPECT_THAT(Drain(), IsEmpty());
    EXPECT_EQ(S_OK, scanner.QueryFile(folder.File(L"while-stopped.jpg").c_str()));

    // Scanned before anything is taken, so the file queued by hand is not queued a second time.
    ASSERT_EQ(S_OK, scanner.Start(Mode::ScanOnCaller));
    EXPECT_THAT(Drain(), UnorderedElementsAre(L"while-stopped.jpg", L"before.jpg"));
    Make(L"after.jpg");
    EXPECT_THAT(Drain(ChangeWait), ElementsAre(L"after.jpg"));
    EXPECT_EQ(S_OK, scanner.QueryFile(folder.File(L"after.jpg").c_str()));
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
    DWORD count = 1;
    EXPECT_EQ(S_OK, scanner.GetRecordCount(&count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(S_OK, scanner.IsStarted(&started));
    EXPECT_FALSE(started);
}

TEST_F(FolderScannerTest, AFolderDeletedWhileWatchedEndsTheWatchWithAnError)
{
    TempFolder outer;
    const std::wstring watched = outer.File(L"watched");
    ASSERT_TRUE(CreateDirectoryW(watched.c_str(), nullptr));
    ASSERT_EQ(S_OK, scanner.SetFolder(watched.c_str(), FALSE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::WatchOnly));
    ASSERT_TRUE(RemoveDirectoryW(watched.c_str())) << GetLastError();
    for (int i = 0; i < 100 && scanner.WatchResult() == E_PENDING; ++i) Sleep(50);
    EXPECT_TRUE(FAILED(scanner.WatchResult())) << std::hex << scanner.WatchResult();
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
}

TEST_F(FolderScannerTest, ChecksTheFolderItIsGiven)
{
    const std::wstring file = Make(L"a.jpg");
    EXPECT_EQ(E_INVALIDARG, scanner.SetFolder(nullptr, FALSE));
    EXPECT_EQ(E_INVALIDARG, scanner.SetFolder(L"", FALSE));
    EXPECT_EQ(E_INVALIDARG, scanner.SetFolder(file.c_str(), FALSE));
    EXPECT_EQ(E_INVALIDARG, scanner.SetFolder(folder.File(L"missing").c_str(), FALSE));

    MakeFolder(L"sub");
    EXPECT_EQ(S_OK, scanner.SetFolder((folder.Path() + L"\\sub\\..\\.\\").c_str(), TRUE));
    Bstr stored;
    EXPECT_EQ(S_OK, scanner.GetFolder(&stored));
    EXPECT_EQ(folder.Path() + L"\\", stored.View());
    // A scanner that may not watch has nothing to do without a scan.
    EXPECT_EQ(E_FAIL, scanner.Start(Mode::WatchOnly));
    EXPECT_EQ(S_OK, scanner.Start(Mode::ScanOnCaller));
    EXPECT_THAT(Drain(), ElementsAre(L"a.jpg"));
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
}

TEST_F(FolderScannerTest, ScanningLeavesTheProcessCurrentDirectoryAlone)
{
    for (int f = 0; f < 20; ++f) {
        const std::wstring sub = MakeFolder(L"f" + std::to_wstring(f));
        for (int i = 0; i < 20; ++i) Make(L"f" + std::to_wstring(f) + L"\\" + std::to_wstring(i) + L".jpg");
    }
    TempFolder elsewhere;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.Path().c_str()));
    wchar_t expected[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, expected);

    ASSERT_EQ(S_OK, Configure(nullptr, TRUE));
    ASSERT_EQ(S_OK, scanner.Start(Mode::ScanOnThread));
    bool unchanged = true;
    for (BOOL scanning = TRUE; scanning && SUCCEEDED(scanner.IsScanning(&scanning));) {
        wchar_t now[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, now);
        unchanged = unchanged && !wcscmp(now, expected);
    }
    SetCurrentDirectoryW(before);
    EXPECT_TRUE(unchanged);
    EXPECT_EQ(400u, Drain().size());
    EXPECT_EQ(S_OK, scanner.Stop(TRUE));
}

TEST_F(FolderScannerTest, DestroyingARunningScannerStopsIt)
{
    Make(L"a.jpg");
    auto running = std::make_unique<CFolderScanner>();
    ASSERT_EQ(S_OK, running->SetFolder(folder.Path().c_str(), FALSE));
    ASSERT_EQ(S_OK, running->Start(Mode::ScanOnThread));
    running.reset();
}

}  // namespace
