#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "tests/engine/EngineFixture.h"
#include "tests/support/RegistrySandbox.h"
#include "Viewer/engine/BookmarkFile.h"
#include "Viewer/engine/QuickSlotStore.h"
#include <deque>
#include <string>
#include <thread>

namespace {
class OpenFolderTest : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        engine->SetWorkerStartDelay(0);
        for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.png"}) Touch(name);
    }
    void Touch(const std::wstring& name) { Touch(folder, name); }
    static void Touch(const TempFolder& in, const std::wstring& name)
    {
        UniqueHandle file(CreateFileW(in.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
    }
    void WaitForEntries(uint32_t count)
    {
        for (int i = 0; i < 500 && engine->GetEntryCount() < count; ++i) frame.PumpFor(20);
        ASSERT_EQ(count, engine->GetEntryCount());
    }

    RegistrySandbox registry;
    int messageBoxes = 0;
    // The answers to the next boxes; Ignore when none is left.
    std::deque<int> answers;
    // Set as the last of the answers is given.
    HANDLE lastAnswerGiven = nullptr;
    ScopedModalSeam seam{ModalSeam{.messageBox = [this](HWND, const wchar_t*, const wchar_t*, UINT type) {
        ++messageBoxes;
        EXPECT_EQ(UINT(MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON2), type);
        if (answers.empty()) return IDIGNORE;
        const int answer = answers.front();
        answers.pop_front();
        if (answers.empty() && lastAnswerGiven) SetEvent(lastAnswerGiven);
        return answer;
    }}};
};

TEST_F(OpenFolderTest, AFolderIsListedAndTheFrameToldItsStatus)
{
    ASSERT_TRUE(engine->OpenFolder(folder.Path().c_str(), false, false, 6, folder.File(L"b.jpg").c_str()));
    WaitForEntries(3);
    // The first opening tells the frame twice: before and after the scan is set up.
    EXPECT_EQ(2u, frame.Of(WM_APP_SET_STATUS_TEXT).size());
    // The given file is the one to show once listed.
    const CImageEntry* target = engine->GoToTargetName(0, false);
    ASSERT_NE(nullptr, target);
    EXPECT_EQ(folder.File(L"b"), target->GetBasePath());

    // A second folder empties the list first; none: the list stays empty and the opening fails.
    TempFolder other;
    ASSERT_TRUE(engine->OpenFolder(other.Path().c_str(), false, false, 6, nullptr));
    EXPECT_EQ(3u, frame.Of(WM_APP_SET_STATUS_TEXT).size());
    EXPECT_TRUE(engine->IsListEmpty());
    EXPECT_FALSE(engine->OpenFolder(nullptr, false, false, 6, nullptr));
    EXPECT_EQ(5u, frame.Of(WM_APP_SET_STATUS_TEXT).size());
    EXPECT_TRUE(engine->IsListEmpty());
    EXPECT_EQ(0, messageBoxes);
}

TEST_F(OpenFolderTest, KeepingTheListAddsTheNextFolder)
{
    ASSERT_TRUE(engine->OpenFolder(folder.Path().c_str(), false, false, 6, nullptr));
    WaitForEntries(3);
    TempFolder other;
    Touch(other, L"d.jpg");
    ASSERT_TRUE(engine->OpenFolder(other.Path().c_str(), false, true, 6, nullptr));
    WaitForEntries(4);
}
// Marks changed while the folder's bookmark file still names a picture the scan has not listed, and
// the scan busy (the list waits for its lock): leaving asks first. Retry asks again; Abort gives the
// marks up; Ignore saves them.
TEST_F(OpenFolderTest, LeavingAFolderWhoseMarksWaitForTheScanAsksFirst)
{
    ASSERT_EQ(S_OK, WriteBookmarkFile(nullptr, BookmarkFilePath(folder.Path().c_str(), L"").c_str(),
                                      {{folder.File(L"later.jpg"), L"later"}}));
    const struct {
        std::deque<int> answers;
        int boxes;
        bool saved;
    } cases[] = {{{IDRETRY, IDABORT}, 2, false}, {{IDIGNORE}, 1, true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(engine->OpenFolder(folder.Path().c_str(), false, false, 6, nullptr));
        WaitForEntries(3);
        ASSERT_NE(nullptr, engine->GoFirst());
        ASSERT_TRUE(engine->SetQuickSlot(1));
        const std::wstring identity = engine->GetFolderIdentityText(folder.Path().c_str());
        WriteQuickSlots(identity, {});
        // The list thread waits for the lock with the first new file and the scanner keeps the
        // rest, until the last answer: then the list goes on and the folder is left.
        const UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const UniqueHandle letGo(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread holder([&] {
            CriticalSectionScope list(engine->ListLock());
            SetEvent(held.Get());
            WaitForSingleObject(letGo.Get(), INFINITE);
        });
        WaitForSingleObject(held.Get(), INFINITE);
        for (int i = 0; i < 3; ++i) Touch(L"new" + std::to_wstring(i) + L".jpg");
        DWORD records = 0;
        for (int i = 0; i < 500 && records == 0; ++i, Sleep(20)) engine->Scanner().GetRecordCount(&records);
        EXPECT_NE(0u, records);

        answers = c.answers;
        lastAnswerGiven = letGo.Get();
        messageBoxes = 0;
        TempFolder other;
        EXPECT_TRUE(engine->OpenFolder(other.Path().c_str(), false, false, 6, nullptr));
        SetEvent(letGo.Get());
        holder.join();
        lastAnswerGiven = nullptr;
        EXPECT_EQ(c.boxes, messageBoxes);
        EXPECT_EQ(c.saved, ReadQuickSlots(identity).hashes[1] != 0);
        for (int i = 0; i < 3; ++i) DeleteFileW(folder.File(L"new" + std::to_wstring(i) + L".jpg").c_str());
    }
}
}  // namespace

