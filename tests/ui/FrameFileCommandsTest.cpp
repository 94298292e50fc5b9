#include "tests/ui/FrameTest.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/imaging/WicFactory.h"
#include "Viewer/ui/FrameFileCommands.h"
#include "tests/imaging/TestPictures.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <atomic>
#include <optional>

namespace {
struct BrowseCall {
    std::wstring title;
    UINT flags;
    std::wstring initialFolder;
};

struct BoxCall {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

std::wstring ExplorerCommand(const std::wstring& argument)
{
    wchar_t explorer[MAX_PATH]{};
    GetWindowsDirectoryW(explorer, MAX_PATH);
    PathAppendW(explorer, L"Explorer.exe");
    return std::wstring(explorer) + L" " + argument;
}

// The frame with the folders Pics, Pics\Keep and Pics2 of its temporary folder; every dialog, box,
// beep and program start goes through the seam and is recorded. The folder browser answers with
// the next queued answer (none: cancel).
class FrameFileCommandsTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        for (const wchar_t* name : {L"Pics", L"Pics\\Keep", L"Pics2"}) CreateDirectoryW(m_folder.File(name).c_str(), nullptr);
    }

    std::wstring Pics() const { return m_folder.File(L"Pics"); }
    std::wstring Keep() const { return m_folder.File(L"Pics\\Keep"); }
    std::wstring Pics2() const { return m_folder.File(L"Pics2"); }

    void Command(WORD command, WORD code = 0, LPARAM lParam = 0)
    {
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, MAKEWPARAM(command, code), lParam);
    }
    // The folder browser's next answer is the folder; it is chosen by the next folder command.
    void Choose(WORD command, const std::wstring& folder)
    {
        m_answers.push_back(folder);
        Command(command);
    }
    std::optional<std::wstring> Remembered(const wchar_t* value) const { return Settings().QueryString(value); }
    std::vector<std::wstring> BoxTexts() const
    {
        std::vector<std::wstring> texts;
        for (const BoxCall& box : m_boxes) texts.push_back(box.text);
        return texts;
    }

    std::vector<std::wstring> m_answers;
    std::vector<BrowseCall> m_browses;
    std::vector<BoxCall> m_boxes;
    int m_boxAnswer = IDOK;
    bool m_altDown = false;
    std::vector<UINT> m_beeps;
    std::vector<std::wstring> m_launches;
    std::vector<SHFILEOPSTRUCTW> m_shellOperations;
    ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            m_boxes.push_back({text, caption, type});
            return m_boxAnswer;
        },
        .messageBeep = [this](UINT type) {
            m_beeps.push_back(type);
            return TRUE;
        },
        .keyState = [this](int key) { return key == VK_MENU && m_altDown ? SHORT(-0x8000) : SHORT(0); },
        .launchProcess = [this](const wchar_t*, const wchar_t* commandLine) {
            m_launches.emplace_back(commandLine);
            return TRUE;
        },
        .shellFileOperation = [this](SHFILEOPSTRUCTW* operation) {
            m_shellOperations.push_back(*operation);
            // The user's Yes, also to the warning that the file goes for good.
            SHFILEOPSTRUCTW confirmed = *operation;
            confirmed.fFlags = (confirmed.fFlags | FOF_NOCONFIRMATION) & ~FOF_WANTNUKEWARNING;
            return SHFileOperationW(&confirmed);
        },
        .browseForFolder = [this](HWND, const wchar_t* title, UINT flags, const wchar_t* initial, std::wstring& chosen) {
            m_browses.push_back({title, flags, initial ? initial : L""});
            if (m_answers.empty()) return false;
            chosen = m_answers.front();
            m_answers.erase(m_answers.begin());
            return true;
        }}};
};

TEST_F(FrameFileCommandsTest, NeitherFolderMayLieInsideTheOther)
{
    Choose(ID_BROWSE_FOLDER, Pics());
    ASSERT_EQ(Pics(), m_frame.ImageFolderPath().View());
    EXPECT_EQ(Pics(), Remembered(L"LastPictureFolder"));

    // Another drive than the temporary folder's, as the platform has one.
    std::wstring otherDrive;
    const wchar_t tempDrive = static_cast<wchar_t>(towupper(m_folder.Path()[0]));
    for (wchar_t letter = L'Z'; letter > L'C' && otherDrive.empty(); --letter)
        if (letter != tempDrive && ((GetLogicalDrives() >> (letter - L'A')) & 1)) otherDrive = std::wstring(1, letter) + L":\\";

    const struct {
        std::wstring chosen;
        bool kept;
    } keepCopyCases[] = {
        {Keep(), false}, {Pics2(), true}, {Pics(), true}, {otherDrive, !otherDrive.empty()},
    };
    for (const auto& c : keepCopyCases) {
        if (c.chosen.empty()) continue;
        m_boxes.clear();
        Choose(ID_CHOOSE_KEEP_COPY_FOLDER, c.chosen);
        EXPECT_EQ(c.kept ? c.chosen : L"", m_frame.KeepCopyFolderPath().View()) << std::string(c.chosen.begin(), c.chosen.end());
        EXPECT_EQ(c.kept ? std::vector<std::wstring>{} : std::vector<std::wstring>{LoadUiString(10038)}, BoxTexts());
        if (c.kept) {
            EXPECT_EQ(c.chosen, Remembered(L"LastKeepCopyFolder"));
        }
    }

    ASSERT_TRUE(m_frame.OpenRequests().SetSecondaryFolder(Keep().c_str()));
    const std::wstring root = m_folder.Path().substr(0, 3);
    const struct {
        std::wstring chosen;
        bool opened;
    } imageFolderCases[] = {{root, false}, {Pics(), false}, {Pics2(), true}, {Keep(), true}};
    for (const auto& c : imageFolderCases) {
        m_boxes.clear();
        Choose(ID_BROWSE_FOLDER, c.chosen);
        EXPECT_EQ(c.opened ? std::vector<std::wstring>{} : std::vector<std::wstring>{LoadUiString(10036)}, BoxTexts())
            << std::string(c.chosen.begin(), c.chosen.end());
        if (c.opened) {
            EXPECT_EQ(c.chosen, Remembered(L"LastPictureFolder"));
        }
    }
    EXPECT_EQ(Keep(), Remembered(L"LastPictureFolder")) << "a refused folder is not remembered";
}

TEST_F(FrameFileCommandsTest, ACancelledKeepCopyFolderLeavesNoneAndTheNextKeepCopyAsksAgain)
{
    Choose(ID_BROWSE_FOLDER, Pics());
    m_browses.clear();
    Command(ID_KEEP_COPY, 1);
    Command(ID_KEEP_COPY, 1);
    ASSERT_EQ(2u, m_browses.size());
    for (const BrowseCall& call : m_browses) {
        EXPECT_EQ(LoadUiString(10037), call.title);
        EXPECT_EQ(UINT(BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE), call.flags);
    }
    EXPECT_TRUE(m_frame.KeepCopyFolderPath().Empty());
    EXPECT_FALSE(Remembered(L"LastKeepCopyFolder"));

    // Without an image folder there is nothing to keep copies of.
    m_frame.SetImageFolderPath(nullptr);
    m_browses.clear();
    Command(ID_CHOOSE_KEEP_COPY_FOLDER);
    EXPECT_TRUE(m_browses.empty());
    EXPECT_EQ(std::vector<std::wstring>{LoadUiString(10040)}, BoxTexts());
}

TEST_F(FrameFileCommandsTest, TheImageFolderDialogStartsAtTheRememberedFolderWithItsTitle)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_WRITE));
    key.SetString(L"LastPictureFolder", Pics2());
    const struct {
        DWORD subFolders;
        LPARAM lParam;
        UINT title;
    } cases[] = {{0, 0, 10035}, {1, 0, 10034}, {0, -1, 10033}};
    const DWORD subFolders = AppSettings::SubFoldersBrowsing;
    for (const auto& c : cases) {
        AppSettings::SubFoldersBrowsing = c.subFolders;
        m_browses.clear();
        Command(ID_BROWSE_FOLDER, 0, c.lParam);
        ASSERT_EQ(1u, m_browses.size());
        EXPECT_EQ(LoadUiString(c.title), m_browses[0].title);
        EXPECT_EQ(Pics2(), m_browses[0].initialFolder);
    }
    AppSettings::SubFoldersBrowsing = subFolders;
    EXPECT_TRUE(m_frame.ImageFolderPath().Empty()) << "cancelled: nothing opened";
    EXPECT_EQ(Pics2(), Remembered(L"LastPictureFolder"));
}

TEST_F(FrameFileCommandsTest, ExplorerSelectsTheFirstFileThatExistsOrOpensTheFolder)
{
    const std::wstring base = m_folder.File(L"a");
    const EntryRef entry = MakeEntry(nullptr, base, nullptr, 0, 1, L"cr2", false);
    entry->AddCompanionExtension(L"jpg");
    const struct {
        std::vector<const wchar_t*> files;
        std::wstring argument;
    } cases[] = {
        {{L"a.cr2", L"a.jpg"}, L"/e,/select,\"" + base + L".cr2\""},
        {{L"a.jpg"}, L"/e,/select,\"" + base + L".jpg\""},
        {{}, L"/e,/root,\"" + m_folder.Path() + L"\""},
    };
    for (const auto& c : cases) {
        for (const wchar_t* name : {L"a.cr2", L"a.jpg"}) DeleteFileW(m_folder.File(name).c_str());
        for (const wchar_t* name : c.files) UniqueHandle(CreateFileW(m_folder.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_EQ(c.argument, ExplorerArgument(entry.Get(), L"unused"));
    }
    EXPECT_EQ(L"/e,/root,\"" + Pics() + L"\"", ExplorerArgument(nullptr, Pics()));
}

TEST_F(FrameFileCommandsTest, ExplorerShowsTheDecodedPictureAndTheKeepCopyFolder)
{
    Command(ID_SHOW_IN_EXPLORER);
    Command(ID_OPEN_FOLDER_IN_EXPLORER);
    EXPECT_EQ((std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}), m_beeps) << "nothing to show";
    EXPECT_TRUE(m_launches.empty());

    ASSERT_EQ(S_OK, CreateWicFactoryIfMissing());
    WriteTestPicture(Pics() + L"\\p.png", GUID_ContainerFormatPng, {PlainFrame(8, 8, Rgba{1, 2, 3, 255})});
    ASSERT_TRUE(m_frame.OpenRequests().OpenPath(Pics().c_str(), nullptr));
    for (int i = 0; i < 500 && !m_frame.Engine().GetCurrentEntry(true); ++i) PumpFor(10);
    CImageEntry* entry = m_frame.Engine().GetCurrentEntry(true);
    ASSERT_TRUE(entry);
    for (int i = 0; i < 500 && entry->GetDecodedExtension().Empty(); ++i) PumpFor(10);
    ASSERT_TRUE(m_frame.OpenRequests().SetSecondaryFolder(Pics2().c_str()));

    Command(ID_SHOW_IN_EXPLORER);
    Command(ID_OPEN_FOLDER_IN_EXPLORER);
    EXPECT_EQ((std::vector<std::wstring>{ExplorerCommand(L"/e,/select,\"" + Pics() + L"\\p.png\""),
                                         ExplorerCommand(L"/e,/root,\"" + Pics2() + L"\"")}),
              m_launches);
}

TEST_F(FrameFileCommandsTest, DeleteAsksTheShellOnlyWhenDeletingIsSwitchedOn)
{
    const std::wstring picture = Pics() + L"\\a.jpg";
    UniqueHandle(CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(m_frame.OpenRequests().OpenPath(Pics().c_str(), nullptr));
    for (int i = 0; i < 500 && !m_frame.Engine().GetCurrentEntry(true); ++i) PumpFor(10);
    const DWORD deletion = AppSettings::EnableFileDeletion;
    const DWORD recycle = AppSettings::EnableMoveToRecycleBin;

    AppSettings::EnableFileDeletion = 0;
    Command(ID_DELETE);
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(LoadUiString(10032), m_boxes[0].text);
    EXPECT_EQ(LoadUiString(10031), m_boxes[0].caption);
    EXPECT_EQ(UINT(MB_OK), m_boxes[0].type);
    EXPECT_TRUE(m_shellOperations.empty());
    EXPECT_TRUE(PathFileExistsW(picture.c_str()));

    AppSettings::EnableFileDeletion = 1;
    AppSettings::EnableMoveToRecycleBin = 0;
    Command(ID_DELETE);
    ASSERT_EQ(1u, m_shellOperations.size());
    EXPECT_EQ(FILEOP_FLAGS(FOF_WANTNUKEWARNING), m_shellOperations[0].fFlags);
    EXPECT_FALSE(PathFileExistsW(picture.c_str()));
    EXPECT_EQ(0u, m_frame.Engine().GetEntryCount());

    Command(ID_DELETE);
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, m_beeps) << "an empty list beeps";
    AppSettings::EnableFileDeletion = deletion;
    AppSettings::EnableMoveToRecycleBin = recycle;
}

TEST_F(FrameFileCommandsTest, KeepCopyMovesWithAltOrItsMoveCommandAndShowsWhatComesNext)
{
    ASSERT_EQ(S_OK, CreateWicFactoryIfMissing());
    for (const wchar_t* name : {L"\\p1.png", L"\\p2.png"})
        WriteTestPicture(Pics() + name, GUID_ContainerFormatPng, {PlainFrame(8, 8, Rgba{1, 2, 3, 255})});
    ASSERT_TRUE(m_frame.OpenRequests().OpenPath(Pics().c_str(), nullptr));
    ASSERT_TRUE(m_frame.OpenRequests().SetSecondaryFolder(Pics2().c_str()));
    CImageEngine& engine = m_frame.Engine();
    for (int i = 0; i < 500 && engine.GetEntryCount() < 2; ++i) PumpFor(10);
    PumpFor(100);
    ASSERT_TRUE(engine.GetCurrentEntry(true));
    const auto arrived = [&](const wchar_t* name) {
        for (int i = 0; i < 500 && !PathFileExistsW((Pics2() + name).c_str()); ++i) PumpFor(10);
        return PathFileExistsW((Pics2() + name).c_str()) != FALSE;
    };

    Command(ID_KEEP_COPY, 1);
    EXPECT_TRUE(arrived(L"\\p1.png"));
    EXPECT_EQ(2u, engine.GetEntryCount()) << "a copy";
    m_boxAnswer = IDYES;
    Command(ID_KEEP_COPY_ALT);
    EXPECT_EQ(1u, engine.GetEntryCount());
    EXPECT_EQ(Pics() + L"\\p2", engine.GetCurrentEntry(true)->GetBasePath());
    m_altDown = true;
    Command(ID_KEEP_COPY, 1);
    EXPECT_TRUE(arrived(L"\\p2.png"));
    EXPECT_EQ(0u, engine.GetEntryCount());
    for (int i = 0; i < 500 && PathFileExistsW((Pics() + L"\\p2.png").c_str()); ++i) PumpFor(10);
    EXPECT_FALSE(PathFileExistsW((Pics() + L"\\p1.png").c_str()));
    EXPECT_FALSE(PathFileExistsW((Pics() + L"\\p2.png").c_str()));
}

TEST_F(FrameFileCommandsTest, OpeningTheKeepCopyFolderAsksAndThenMakesItTheImageFolder)
{
    Command(ID_FOLDER_OPERATION);
    ASSERT_EQ(1u, m_boxes.size());
    EXPECT_EQ(LoadUiString(10043), m_boxes[0].text);

    ASSERT_TRUE(m_frame.OpenRequests().OpenPath(Pics().c_str(), nullptr));
    ASSERT_TRUE(m_frame.OpenRequests().SetSecondaryFolder(Pics2().c_str()));
    m_boxAnswer = IDNO;
    Command(ID_FOLDER_OPERATION);
    EXPECT_EQ(Pics(), m_frame.ImageFolderPath().View());
    m_boxAnswer = IDYES;
    Command(ID_FOLDER_OPERATION);
    ASSERT_EQ(3u, m_boxes.size());
    EXPECT_EQ(LoadUiString(10042), m_boxes[2].text);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), m_boxes[2].type);
    EXPECT_EQ(Pics2(), m_frame.ImageFolderPath().View());
    EXPECT_TRUE(m_frame.KeepCopyFolderPath().Empty());
}
}

// A rating still on its way into the picture (held up by a program that has the file open) is
// written before the copy is taken: the keep command returns only once the writer is done.
TEST_F(FrameFileCommandsTest, KeepCopyWaitsForTheRatingStillBeingWritten)
{
    ASSERT_EQ(S_OK, CreateWicFactoryIfMissing());
    WriteTestPicture(Pics() + L"\\p1.jpg", GUID_ContainerFormatJpeg, {PlainFrame(8, 8, Rgba{1, 2, 3, 255})});
    ASSERT_TRUE(m_frame.OpenRequests().OpenPath(Pics().c_str(), nullptr));
    ASSERT_TRUE(m_frame.OpenRequests().SetSecondaryFolder(Pics2().c_str()));
    CImageEngine& engine = m_frame.Engine();
    for (int i = 0; i < 500 && !engine.GetCurrentEntry(true); ++i) PumpFor(10);
    CImageEntry* entry = engine.GetCurrentEntry(true);
    ASSERT_TRUE(entry);

    const DWORD embed = AppSettings::EmbedMetadata;
    AppSettings::EmbedMetadata = 1;
    UniqueHandle other(CreateFileW((Pics() + L"\\p1.jpg").c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other);
    std::atomic<int> pauses{0};
    m_frame.RatingCommands().Writer().SetSharingRetryPause([&] {
        Sleep(20);
        if (++pauses == 5) other.Close();
    });
    ASSERT_EQ(S_OK, m_frame.RatingCommands().Writer().QueueMetadataWrite(entry, 4, false, false));
    Command(ID_KEEP_COPY, 1);
    EXPECT_EQ(5, pauses.load()) << "the copy was taken after the writer let the picture go";
    for (int i = 0; i < 500 && !PathFileExistsW((Pics2() + L"\\p1.jpg").c_str()); ++i) PumpFor(10);
    EXPECT_TRUE(PathFileExistsW((Pics2() + L"\\p1.jpg").c_str()));
    AppSettings::EmbedMetadata = embed;
}
