#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/engine/ViewImageHandoff.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FileFixtures.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// An engine on the folder "pics" of a temporary folder, with the keep-copy folder "keep" beside it.
// Decode workers run, so that a picture leaves the list without waiting for its decode.
class FileOperationsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.Loaded());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        CreateDirectoryW(Pics().c_str(), nullptr);
        CreateDirectoryW(Keep().c_str(), nullptr);
        frameHandle = frame.Handle();
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        engine->SetMemoryProbe([] { return MemoryReading{uint64_t(1) << 30, 10}; });
        engine->FlushCache(false);
        engine->SetCacheQuotas({2, 1});
        ASSERT_EQ(S_OK, engine->ListFolderMatching(L"*.jpg;*.cr2;*.png", Pics().c_str(), false));
        engine->Scanner().Stop(TRUE);
        ASSERT_TRUE(engine->SetKeepCopyFolder(Keep().c_str()));
        KeepCopyPrefixCounter = 0;
    }
    void TearDown() override
    {
        engine->ShutdownLoader();
        engine.reset();
        AppSettings::EnableFilePrefixes = 0;
        AppSettings::PreserveSourceFolderHierarchy = 0;
        ReleaseWicFactory();
        CoUninitialize();
    }

    std::wstring Pics() const { return folder.File(L"pics"); }
    std::wstring Keep() const { return folder.File(L"keep"); }
    std::wstring Pic(const std::wstring& name) const { return Pics() + L"\\" + name; }
    std::wstring Kept(const std::wstring& name) const { return Keep() + L"\\" + name; }

    // Writes each file with its own name as content and lists it; the first one listed is current.
    void List(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names) {
            const std::wstring path = Pic(name);
            CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteFileBytes(path, Narrow(name));
            if (name.ends_with(L".xmp")) continue;
            ASSERT_TRUE(engine->AddFileToList(path.c_str(), FILETIME{}, false));
        }
        ASSERT_TRUE(engine->GoFirst());
    }
    EntryRef Current() { return EntryRef(engine->GetCurrentEntry(true)); }
    // Waits until the copy worker has ended every job of the entry, serving its messages.
    void WaitForCopies(const EntryRef& entry)
    {
        for (int i = 0; i < 1000 && entry->CopiesPending(); ++i) frame.PumpFor(10);
        ASSERT_FALSE(entry->CopiesPending());
        frame.PumpFor(10);
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
};

TEST_F(FileOperationsTest, ThePictureItsRawAndItsSidecarArriveWithOnePrefixPerAction)
{
    AppSettings::EnableFilePrefixes = 1;
    ProgramStartTime = SYSTEMTIME{2024, 3, 2, 5, 14, 7, 9, 0};
    List({L"a.cr2", L"a.jpg", L"a.xmp"});
    const EntryRef entry = Current();

    ASSERT_TRUE(engine->KeepCopy(false, false));
    WaitForCopies(entry);
    ASSERT_TRUE(engine->KeepCopy(true, false));
    WaitForCopies(entry);

    for (const wchar_t* name : {L"a.cr2", L"a.jpg", L"a.xmp"}) {
        for (const wchar_t* prefix : {L"20240305_140709_0000_", L"20240305_140709_0001_"})
            EXPECT_EQ(Narrow(name), ReadFileBytes(Kept(prefix + std::wstring(name)))) << Narrow(prefix) << Narrow(name);
        EXPECT_TRUE(Exists(Pic(name))) << "a copy leaves its source";
    }
    EXPECT_EQ(1, *entry->GetCopiedFlag());
    EXPECT_EQ(1u, engine->GetEntryCount());
}

TEST_F(FileOperationsTest, WithTheHierarchyAFileKeepsItsFolderBelowTheOpenFolder)
{
    const struct {
        const char* name;
        DWORD preserve;
        std::wstring source;
        std::wstring folder;
    } cases[] = {
        {"off", 0, Pic(L"Trip\\a.jpg"), Keep()},
        {"open folder", 1, Pic(L"a.jpg"), Keep()},
        {"subfolder", 1, Pic(L"Trip\\a.jpg"), Kept(L"Trip")},
        {"deeper", 1, Pic(L"Trip\\Day 2\\a.jpg"), Kept(L"Trip\\Day 2")},
        {"another drive", 1, L"Q:\\Shots\\Day1\\a.jpg", Kept(L"Shots\\Day1")},
        {"no file", 1, L"", Keep()},
    };
    for (const auto& c : cases) {
        AppSettings::PreserveSourceFolderHierarchy = c.preserve;
        EXPECT_EQ(c.folder, engine->GetKeepCopyFolderFor(c.source.empty() ? nullptr : c.source.c_str())) << c.name;
    }
}

TEST_F(FileOperationsTest, ARefusedSidecarStillKeepsThePictureButARefusedPictureKeepsItsEntry)
{
    List({L"a.jpg", L"a.cr2", L"a.xmp"});
    const EntryRef entry = Current();
    WriteFileBytes(Kept(L"a.xmp"), "old sidecar");
    MessageBoxRecorder boxes(IDNO);

    EXPECT_TRUE(engine->KeepCopy(false, false)) << "only the sidecar was left out";
    WaitForCopies(entry);
    EXPECT_EQ("old sidecar", ReadFileBytes(Kept(L"a.xmp")));
    EXPECT_EQ("a.jpg", ReadFileBytes(Kept(L"a.jpg")));
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONEXCLAMATION), boxes.calls[0].type);
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(Kept(L"a.xmp"))) << "the box names the file";

    // A move whose main file is refused: the raw and the sidecar are moved, the picture stays listed.
    WriteFileBytes(Kept(L"a.jpg"), "old picture");
    DeleteFileW(Kept(L"a.cr2").c_str());
    DeleteFileW(Kept(L"a.xmp").c_str());
    EXPECT_FALSE(engine->KeepCopy(false, true));
    WaitForCopies(entry);
    EXPECT_EQ("old picture", ReadFileBytes(Kept(L"a.jpg")));
    EXPECT_TRUE(Exists(Pic(L"a.jpg")));
    EXPECT_FALSE(Exists(Pic(L"a.cr2")));
    EXPECT_EQ("a.cr2", ReadFileBytes(Kept(L"a.cr2")));
    EXPECT_FALSE(Exists(Pic(L"a.xmp")));
    EXPECT_EQ("a.xmp", ReadFileBytes(Kept(L"a.xmp")));
    EXPECT_EQ(1u, engine->GetEntryCount());
}

TEST_F(FileOperationsTest, AMoveOfAFileInUseElsewhereChangesNothingAndSaysSoOnce)
{
    List({L"a.jpg", L"a.cr2", L"b.jpg"});
    UniqueHandle inUse(CreateFileW(Pic(L"a.cr2").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
    ASSERT_TRUE(inUse);
    MessageBoxRecorder boxes;

    EXPECT_FALSE(engine->KeepCopy(true, true));

    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(LoadResourceString(10138), boxes.calls[0].text);
    EXPECT_EQ(LoadResourceString(10137), boxes.calls[0].caption);
    EXPECT_FALSE(Exists(Kept(L"a.jpg")));
    EXPECT_TRUE(Exists(Pic(L"a.jpg")));
    EXPECT_EQ(0, *Current()->GetCopiedFlag());
    EXPECT_EQ(2u, engine->GetEntryCount());
}

TEST_F(FileOperationsTest, AFailedCopyClearsTheMarkSaysWhyAndTheNextJobRuns)
{
    List({L"a.jpg", L"b.jpg"});
    const EntryRef first = Current();
    // The keep-copy folder is replaced by a file: the copy cannot be made.
    RemoveDirectoryW(Keep().c_str());
    WriteFileBytes(Keep(), "not a folder");
    MessageBoxRecorder boxes;

    ASSERT_TRUE(engine->KeepCopy(true, false));
    WaitForCopies(first);
    ASSERT_EQ(1u, boxes.calls.size());
    const std::wstring format = LoadResourceString(10021);
    const std::wstring before = format.substr(0, format.find(L"0x"));
    EXPECT_EQ(before, boxes.calls[0].text.substr(0, before.size()));
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"0x8007")) << Narrow(boxes.calls[0].text);
    EXPECT_EQ(LoadResourceString(10020), boxes.calls[0].caption);
    EXPECT_EQ(UINT(MB_ICONHAND), boxes.calls[0].type);
    EXPECT_EQ(0, *first->GetCopiedFlag());
    EXPECT_FALSE(frame.Of(WM_APP_SHOW_CURSOR).empty()) << "the cursor comes back before the box";

    DeleteFileW(Keep().c_str());
    CreateDirectoryW(Keep().c_str(), nullptr);
    ASSERT_TRUE(engine->GoNext());
    const EntryRef second = Current();
    ASSERT_TRUE(engine->KeepCopy(true, false));
    WaitForCopies(second);
    EXPECT_EQ("b.jpg", ReadFileBytes(Kept(L"b.jpg")));
    EXPECT_EQ(1, *second->GetCopiedFlag());
}

TEST_F(FileOperationsTest, WithTheImageFolderAsKeepCopyFolderAPictureIsNeverItsOwnCopy)
{
    ASSERT_TRUE(engine->SetKeepCopyFolder((Pics() + L"\\.\\").c_str()));
    List({L"a.jpg", L"a.xmp"});
    const EntryRef entry = Current();
    // A decode still reading the picture would make the move say the file is in use.
    WaitForDecode(*entry, true, false, 60000, nullptr);
    MessageBoxRecorder boxes(IDYES);
    for (const bool overwrite : {true, false}) {
        EXPECT_TRUE(engine->KeepCopy(overwrite, false));
        WaitForCopies(entry);
        EXPECT_FALSE(engine->KeepCopy(overwrite, true)) << "the picture cannot move onto itself";
        WaitForCopies(entry);
        EXPECT_EQ("a.jpg", ReadFileBytes(Pic(L"a.jpg")));
        EXPECT_EQ("a.xmp", ReadFileBytes(Pic(L"a.xmp")));
        EXPECT_EQ(1u, engine->GetEntryCount());
    }
    EXPECT_TRUE(boxes.calls.empty()) << "nobody is asked to replace a file by itself; asked: "
                                     << (boxes.calls.empty() ? std::string() : testing::PrintToString(boxes.calls[0].text));
}

TEST_F(FileOperationsTest, MovedDecodedPicturesAreFreedOnceTheirLastJobEnds)
{
    for (const wchar_t* name : {L"p1.png", L"p2.png", L"p3.png"})
        WriteTestPicture(Pic(name), GUID_ContainerFormatPng, {PlainFrame(8, 8, Rgba{10, 20, 30, 255})});
    for (const wchar_t* name : {L"p1.png", L"p2.png", L"p3.png"})
        ASSERT_TRUE(engine->AddFileToList(Pic(name).c_str(), FILETIME{}, false));
    ASSERT_TRUE(engine->GoFirst());
    for (const wchar_t* name : {L"p1.png", L"p2.png", L"p3.png"}) {
        EntryRef entry = Current();
        ASSERT_EQ(S_OK, WaitForDecode(*entry, true, false, 60000, nullptr));
        ASSERT_TRUE(entry->GetBitmap()) << "decoded on the GDI+ path";
        {
            // Shown, as the view would: freeing the entry clears this slot.
            CriticalSectionScope lock(ViewLock);
            DisplayedBitmap = entry->GetBitmap();
        }
        ASSERT_TRUE(engine->KeepCopy(true, true));
        WaitForCopies(entry);
        EXPECT_TRUE(Exists(Kept(name)));
        EXPECT_FALSE(Exists(Pic(name)));
        {
            CriticalSectionScope lock(ViewLock);
            EXPECT_NE(nullptr, DisplayedBitmap) << "this test still holds the entry";
        }
        entry.Reset();
        CriticalSectionScope lock(ViewLock);
        EXPECT_EQ(nullptr, DisplayedBitmap) << "the entry went with its last holder";
        DisplayedBitmap = nullptr;
    }
    EXPECT_EQ(0u, engine->GetEntryCount());
}

// Points the Recycle Bin (under Wine the desktop's trash folder, $XDG_DATA_HOME/Trash) at a folder of
// the test for its scope: in the process's environment and in the C run-time's copy that the shell
// reads.
class ScopedTrash {
public:
    explicit ScopedTrash(const std::wstring& folder)
    {
        using UnixName = char*(CDECL*)(const wchar_t*);
        const auto unixName = reinterpret_cast<UnixName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        char* name = unixName ? unixName(folder.c_str()) : nullptr;
        if (!name) return;
        const std::string narrow(name);
        HeapFree(GetProcessHeap(), 0, name);
        wchar_t previous[MAX_PATH]{};
        m_hadPrevious = GetEnvironmentVariableW(L"XDG_DATA_HOME", previous, MAX_PATH) != 0;
        m_previous = previous;
        const std::wstring value(narrow.begin(), narrow.end());
        SetEnvironmentVariableW(L"XDG_DATA_HOME", value.c_str());
        _wputenv((L"XDG_DATA_HOME=" + value).c_str());
        for (const wchar_t* sub : {L"", L"\\Trash", L"\\Trash\\files", L"\\Trash\\info"})
            CreateDirectoryW((folder + sub).c_str(), nullptr);
        m_set = true;
    }
    ~ScopedTrash()
    {
        if (m_set) SetEnvironmentVariableW(L"XDG_DATA_HOME", m_hadPrevious ? m_previous.c_str() : nullptr);
    }
    bool Set() const noexcept { return m_set; }

private:
    bool m_set = false;
    bool m_hadPrevious = false;
    std::wstring m_previous;
};

struct ShellCall {
    UINT function;
    std::vector<std::wstring> paths;
    FILEOP_FLAGS flags;
    HWND owner;
};

// Records each shell file operation; a Yes runs it for real without the shell's own question.
class ShellOperationRecorder {
public:
    explicit ShellOperationRecorder(bool yes)
        : m_seam(ModalSeam{.shellFileOperation = [this, yes](SHFILEOPSTRUCTW* operation) {
              ShellCall call{operation->wFunc, {}, operation->fFlags, operation->hwnd};
              for (const wchar_t* path = operation->pFrom; *path; path += wcslen(path) + 1) call.paths.push_back(path);
              calls.push_back(call);
              if (!yes) {
                  operation->fAnyOperationsAborted = TRUE;
                  return int(ERROR_CANCELLED);
              }
              // The user's Yes, also to the warning that a file goes for good (which the shell gives
              // even without confirmations).
              SHFILEOPSTRUCTW confirmed = *operation;
              confirmed.fFlags = (confirmed.fFlags | FOF_NOCONFIRMATION) & ~FOF_WANTNUKEWARNING;
              const int result = SHFileOperationW(&confirmed);
              operation->fAnyOperationsAborted = confirmed.fAnyOperationsAborted;
              return result;
          }})
    {
    }

    std::vector<ShellCall> calls;

private:
    ScopedModalSeam m_seam;
};

TEST_F(FileOperationsTest, DeleteSendsThePictureItsRawAndThenItsSidecarInOneOperation)
{
    const ScopedTrash trash(folder.File(L"data"));
    ASSERT_TRUE(trash.Set());
    for (const bool recycle : {true, false}) {
        const std::wstring name = recycle ? L"r" : L"n";
        List({name + L".jpg", name + L".cr2", name + L".xmp"});
        const uint32_t count = engine->GetEntryCount();
        ShellOperationRecorder shell(true);

        ASSERT_TRUE(engine->DeleteOrMoveCurrent(recycle));

        ASSERT_EQ(1u, shell.calls.size());
        EXPECT_EQ(UINT(FO_DELETE), shell.calls[0].function);
        EXPECT_EQ((std::vector<std::wstring>{Pic(name + L".jpg"), Pic(name + L".cr2"), Pic(name + L".xmp")}),
                  shell.calls[0].paths);
        EXPECT_EQ(recycle ? 0x4040 : 0x4000, shell.calls[0].flags);
        EXPECT_EQ(frameHandle, shell.calls[0].owner);
        for (const wchar_t* extension : {L".jpg", L".cr2", L".xmp"}) EXPECT_FALSE(Exists(Pic(name + extension)));
        EXPECT_EQ(count - 1, engine->GetEntryCount());
        EXPECT_EQ(recycle, Exists(folder.File(L"data\\Trash\\files\\" + name + L".jpg")))
            << "only a recycled picture is in the bin";
    }
}

TEST_F(FileOperationsTest, ADeclinedDeleteKeepsTheEntryAndItsFiles)
{
    List({L"a.jpg", L"a.xmp", L"b.jpg"});
    ShellOperationRecorder shell(false);

    EXPECT_FALSE(engine->DeleteOrMoveCurrent(true));

    EXPECT_EQ(1u, shell.calls.size());
    EXPECT_TRUE(Exists(Pic(L"a.jpg")));
    EXPECT_TRUE(Exists(Pic(L"a.xmp")));
    EXPECT_EQ(2u, engine->GetEntryCount());
    EXPECT_EQ(Pic(L"a"), Current()->GetBasePath());
}

TEST_F(FileOperationsTest, DeleteAsksToRetryWhileCopiesOfThePictureArePending)
{
    List({L"a.jpg"});
    const EntryRef entry = Current();
    entry->SetQueueingCopies(true);
    ShellOperationRecorder shell(true);
    {
        MessageBoxRecorder boxes(IDCANCEL);
        EXPECT_FALSE(engine->DeleteOrMoveCurrent(true));
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_EQ(LoadResourceString(10139), boxes.calls[0].text);
        EXPECT_EQ(LoadResourceString(10140), boxes.calls[0].caption);
        EXPECT_EQ(UINT(MB_RETRYCANCEL | MB_ICONEXCLAMATION), boxes.calls[0].type);
        EXPECT_TRUE(shell.calls.empty());
    }
    int asked = 0;
    const ScopedModalSeam retry(ModalSeam{.messageBox = [&](HWND, const wchar_t*, const wchar_t*, UINT) {
        // The copies end while the user reads the question.
        if (++asked == 2) entry->SetQueueingCopies(false);
        return IDRETRY;
    }, .shellFileOperation = [&](SHFILEOPSTRUCTW*) { return int(ERROR_CANCELLED); }});
    EXPECT_FALSE(engine->DeleteOrMoveCurrent(true)) << "the shell's own refusal";
    EXPECT_EQ(2, asked);
    EXPECT_TRUE(Exists(Pic(L"a.jpg")));
}

TEST(CopyQueueTest, EveryQueuedJobIsDoneBeforeTheQueueStops)
{
    TempFolder folder;
    const std::wstring source = folder.File(L"a.jpg");
    WriteFileBytes(source, "picture");
    const EntryRef entry = MakeEntry(nullptr, folder.File(L"a"), nullptr, 0, 1, L"jpg", false);
    HWND noFrame = nullptr;
    CCopyQueue queue(&noFrame);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(S_OK, queue.Enqueue(entry.Get(), source, folder.File(L"keep\\" + std::to_wstring(i) + L".jpg"), false));
    EXPECT_EQ(E_INVALIDARG, queue.Enqueue(nullptr, source, folder.File(L"x.jpg"), false));

    queue.Stop();

    for (int i = 0; i < 50; ++i) EXPECT_EQ("picture", ReadFileBytes(folder.File(L"keep\\" + std::to_wstring(i) + L".jpg")));
    EXPECT_FALSE(entry->CopiesPending());
    EXPECT_EQ(1, *entry->GetCopiedFlag());
    EXPECT_EQ(E_UNEXPECTED, queue.Enqueue(entry.Get(), source, folder.File(L"late.jpg"), false));
}
}
