#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {
class OpenFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        frameHandle = frame.Handle();
        engine = std::make_unique<CImageEngine>(&frameHandle, true, false);
        engine->SetWorkerStartDelay(0);
        for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.png"}) Touch(name);
    }
    void TearDown() override
    {
        engine.reset();
        ReleaseWicFactory();
        CoUninitialize();
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
    ScopedModalSeam seam{ModalSeam{.messageBox = [this](HWND, const wchar_t*, const wchar_t*, UINT) {
        ++messageBoxes;
        return IDIGNORE;
    }}};
    TempFolder folder;
    FrameRecorder frame;
    HWND frameHandle = nullptr;
    std::unique_ptr<CImageEngine> engine;
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
}  // namespace
