// The import from image-acquisition cameras: the same copy, overwrite and failure rules as from
// portable devices, through the fake WIA cameras (the platform here creates no WIA device).
#include "tests/engine/DeviceFixture.h"
#include "tests/support/MessageBoxRecorder.h"
#include <algorithm>

namespace {
class DeviceWiaImportTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        camera = world.AddWiaCamera(L"wia#1", L"Alpha");
    }

    // A new picture appears on the camera; returns once its transfer has ended.
    void TakePicture(const std::wstring& fullItemName, const FakeWiaPicture& picture)
    {
        {
            std::lock_guard guard(world.lock);
            camera->items[fullItemName] = picture;
        }
        ASSERT_EQ(S_OK, world.RaiseItemCreated(*camera, fullItemName));
        DrainTransfers();
    }

    size_t Transfers()
    {
        std::lock_guard guard(world.lock);
        return camera->transferFiles.size();
    }

    std::shared_ptr<FakeWiaCamera> camera;
};

TEST_F(DeviceWiaImportTest, ANewItemIsCopiedUnderItsNameWithTheExtensionInLowerCase)
{
    const MessageBoxRecorder boxes;
    StartWatchingWia();
    TakePicture(L"0000\\Root\\IMG_0001", WiaPicture(L"IMG_0001", L"JPG", "wia bytes"));
    const std::wstring target = folder.File(L"IMG_0001.jpg");
    EXPECT_EQ("wia bytes", ReadAll(target));
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0001.jpg"}, FolderFiles());
    EXPECT_TRUE(boxes.calls.empty());
    // Written beside the target under a name of its own, then moved into place.
    ASSERT_EQ(1u, camera->transferFiles.size());
    const std::wstring temporary = camera->transferFiles[0];
    ASSERT_EQ(target.size() + 1 + 38, temporary.size());
    EXPECT_EQ(target + L".{", temporary.substr(0, target.size() + 2));
    EXPECT_EQ(L'}', temporary.back());
}

// The camera needs a moment before a new item answers: finding it, reading its name and fetching it
// are each tried again every 100 ms.
TEST_F(DeviceWiaImportTest, AnItemThatAnswersLateIsAskedAgainEveryTenthOfASecond)
{
    StartWatchingWia();
    FakeWiaPicture picture = WiaPicture(L"IMG_0002", L"jpg", "late");
    picture.findFailures = 3;
    picture.propertyFailures = 2;
    picture.transferFailures = 4;
    picture.partialBytes = 2;
    TakePicture(L"Root\\IMG_0002", picture);
    EXPECT_EQ("late", ReadAll(folder.File(L"IMG_0002.jpg")));
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0002.jpg"}, FolderFiles());
    EXPECT_EQ(9, world.pauses.load());
    EXPECT_EQ(900u, world.pausedMilliseconds.load());
    EXPECT_EQ(5u, Transfers());
}

TEST_F(DeviceWiaImportTest, AnItemThatNeverAnswersIsGivenUpQuietly)
{
    const MessageBoxRecorder boxes;
    StartWatchingWia();
    FakeWiaPicture picture = WiaPicture(L"IMG_0003", L"JPG", "never");
    picture.findFailures = -1;
    TakePicture(L"Root\\IMG_0003", picture);
    EXPECT_EQ(100, world.pauses.load()) << "101 tries";
    EXPECT_EQ(0u, Transfers());
    EXPECT_TRUE(FolderFiles().empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DeviceWiaImportTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes)
{
    WriteAll(folder.File(L"IMG_0001.jpg"), "kept");
    StartWatchingWia();
    {
        const MessageBoxRecorder boxes(IDNO);
        TakePicture(L"Root\\IMG_0001", WiaPicture(L"IMG_0001", L"JPG", "new"));
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_EQ(kOverwriteCaption, boxes.calls[0].caption);
        EXPECT_EQ(OverwriteQuestion(folder.File(L"IMG_0001.jpg")), boxes.calls[0].text);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONEXCLAMATION), boxes.calls[0].type);
        EXPECT_EQ("kept", ReadAll(folder.File(L"IMG_0001.jpg")));
        EXPECT_EQ(0u, Transfers()) << "nothing is fetched for a picture the user keeps";
    }
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"Root\\IMG_0001b", WiaPicture(L"IMG_0001", L"JPG", "new"));
        EXPECT_EQ("new", ReadAll(folder.File(L"IMG_0001.jpg")));
    }
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0001.jpg"}, FolderFiles());
    EXPECT_EQ(2u, frame.Of(WM_APP_SHOW_CURSOR).size()) << "the cursor comes back before each box";
}

// A transfer that never succeeds (the camera gone, its card full) is a failure, even when the
// system wrote part of the picture on the way: the user is told, and nothing of it stays.
TEST_F(DeviceWiaImportTest, ATransferThatNeverSucceedsIsReportedAndLeavesNothingBehind)
{
    FakeWiaPicture broken = WiaPicture(L"IMG_0004", L"JPG", std::string(50000, 'x'));
    broken.transferFailures = -1;
    broken.partialBytes = 20000;
    StartWatchingWia();
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"Root\\IMG_0004", broken);
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_EQ(kFailureCaption, boxes.calls[0].caption);
        EXPECT_EQ(UINT(MB_ICONHAND), boxes.calls[0].type);
        EXPECT_EQ(ImportFailureText(L"0x80210005"), boxes.calls[0].text);
        EXPECT_EQ(frame.m_hWnd, boxes.calls[0].owner);
        EXPECT_EQ(101u, Transfers());
        EXPECT_TRUE(FolderFiles().empty());
    }
    WriteAll(folder.File(L"IMG_0004.jpg"), "good");
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"Root\\IMG_0004b", broken);
        ASSERT_EQ(2u, boxes.calls.size()) << "the overwrite question, then the failure";
        EXPECT_EQ(kOverwriteCaption, boxes.calls[0].caption);
        EXPECT_EQ(kFailureCaption, boxes.calls[1].caption);
    }
    EXPECT_EQ("good", ReadAll(folder.File(L"IMG_0004.jpg")));
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0004.jpg"}, FolderFiles());
}

TEST_F(DeviceWiaImportTest, UnsafeItemNamesLandInsideTheFolder)
{
    StartWatchingWia();
    TakePicture(L"Root\\a", WiaPicture(L"..\\up", L"JPG", "1"));
    TakePicture(L"Root\\b", WiaPicture(L"C:\\root", L"JPG", "2"));
    TakePicture(L"Root\\c", WiaPicture(L"a/b", L"JPG", "3"));
    TakePicture(L"Root\\d", WiaPicture(L"..", L"", "4"));
    TakePicture(L"Root\\e", WiaPicture(L"", L"", "5"));
    std::vector<std::wstring> files = FolderFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::wstring>{L"b.jpg", L"d.jpg", L"e.jpg", L"root.jpg", L"up.jpg"}), files);
    EXPECT_EQ("4", ReadAll(folder.File(L"d.jpg")));
}

TEST_F(DeviceWiaImportTest, WithoutAFolderNothingIsFetched)
{
    frame.importFolder.clear();
    const MessageBoxRecorder boxes;
    StartWatchingWia();
    TakePicture(L"Root\\IMG_0001", WiaPicture(L"IMG_0001", L"JPG", "bytes"));
    EXPECT_EQ(0u, Transfers());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(FolderFiles().empty());
}
}
