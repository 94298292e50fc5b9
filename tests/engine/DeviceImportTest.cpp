#include "Viewer/engine/DeviceImport.h"
#include "tests/engine/DeviceFixture.h"
#include "tests/support/MessageBoxRecorder.h"

namespace {
class DeviceImportTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        camera = world.AddCamera(L"usb#1", L"Alpha");
    }

    // A new picture appears on the camera; returns once its transfer has ended.
    void TakePicture(const std::wstring& objectId, const FakePicture& picture, const std::wstring& originalName)
    {
        camera->objects[objectId] = picture;
        ASSERT_EQ(S_OK, world.RaiseObjectAdded(*camera, objectId, L"", originalName));
        DrainTransfers();
    }

    std::shared_ptr<FakeCamera> camera;
};

TEST(DeviceImportName, ANameFromTheDeviceStaysInsideTheFolder)
{
    const struct {
        const wchar_t* name;
        const wchar_t* originalName;
        const wchar_t* expected;
    } cases[] = {
        {L"IMG_0001", L"IMG_0001.JPG", L"IMG_0001.JPG"},
        {L"IMG_0002", L"", L"IMG_0002"},
        {L"", L"", L"o42.jpg"},
        {L"", L"..\\x.jpg", L"x.jpg"},
        {L"", L"C:\\x.jpg", L"x.jpg"},
        {L"", L"C:x.jpg", L"x.jpg"},
        {L"", L"a/b.jpg", L"b.jpg"},
        {L"", L"..", L"o42.jpg"},
        {L"", L"photos\\", L"o42.jpg"},
        {L".", L"", L"o42.jpg"},
    };
    for (const auto& c : cases) {
        WpdObjectEvent object;
        object.objectId = L"o42";
        object.objectName = c.name;
        object.originalFileName = c.originalName;
        EXPECT_EQ(c.expected, WpdImportName(object)) << c.name << L"|" << c.originalName;
    }
    EXPECT_EQ(L"o1.jpg", SafeImportName(L"..", L"store\\..\\o1"));
}

TEST_F(DeviceImportTest, ANewPictureIsCopiedIntoTheFolderTheWindowNames)
{
    const MessageBoxRecorder boxes;
    StartWatching();
    TakePicture(L"o1", {"jpeg bytes"}, L"IMG_0001.JPG");
    EXPECT_EQ("jpeg bytes", ReadAll(folder.File(L"IMG_0001.JPG")));
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0001.JPG"}, FolderFiles());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(1u, frame.Of(WM_APP_QUERY_IMPORT_FOLDER).size());
}

TEST_F(DeviceImportTest, UnsafeNamesLandInsideTheFolder)
{
    StartWatching();
    TakePicture(L"o1", {"1"}, L"..\\up.jpg");
    TakePicture(L"o2", {"2"}, L"C:\\root.jpg");
    TakePicture(L"o3", {"3"}, L"a/b.jpg");
    TakePicture(L"o4", {"4"}, L"..");
    std::vector<std::wstring> files = FolderFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::wstring>{L"b.jpg", L"o4.jpg", L"root.jpg", L"up.jpg"}), files);
}

TEST_F(DeviceImportTest, WithoutAFolderNothingIsWritten)
{
    frame.importFolder.clear();
    const MessageBoxRecorder boxes;
    StartWatching();
    TakePicture(L"o1", {"bytes"}, L"IMG_0001.JPG");
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(FolderFiles().empty());
}

TEST_F(DeviceImportTest, AFolderCreatedOnTheCameraIsNotImported)
{
    StartWatching();
    camera->objects[L"f1"] = {"folder"};
    ASSERT_EQ(S_OK, world.RaiseObjectAdded(*camera, L"f1", L"DCIM", L"", true));
    EXPECT_EQ(0, watcher.PendingTransfers());
    EXPECT_TRUE(FolderFiles().empty());
}

TEST_F(DeviceImportTest, ABusyCameraIsAskedAgainEveryQuarterSecond)
{
    camera->busyAnswers = 5;
    StartWatching();
    TakePicture(L"o1", {"late"}, L"IMG_0001.JPG");
    EXPECT_EQ("late", ReadAll(folder.File(L"IMG_0001.JPG")));
    EXPECT_EQ(5, world.pauses.load());
    EXPECT_EQ(1250u, world.pausedMilliseconds.load());
}

TEST_F(DeviceImportTest, ACameraBusyForTenMinutesLosesThePicture)
{
    const MessageBoxRecorder boxes;
    camera->busyAnswers = 3000;
    StartWatching();
    TakePicture(L"o1", {"never"}, L"IMG_0001.JPG");
    EXPECT_EQ(2400, world.pauses.load());
    EXPECT_TRUE(FolderFiles().empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(DeviceImportTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes)
{
    WriteAll(folder.File(L"IMG_0001.JPG"), "kept");
    StartWatching();
    {
        const MessageBoxRecorder boxes(IDNO);
        TakePicture(L"o1", {"new"}, L"IMG_0001.JPG");
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_EQ(kOverwriteCaption, boxes.calls[0].caption);
        EXPECT_EQ(OverwriteQuestion(folder.File(L"IMG_0001.JPG")), boxes.calls[0].text);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONEXCLAMATION), boxes.calls[0].type);
        EXPECT_EQ(frame.m_hWnd, boxes.calls[0].owner);
        EXPECT_EQ("kept", ReadAll(folder.File(L"IMG_0001.JPG")));
    }
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"o2", {"new"}, L"IMG_0001.JPG");
        EXPECT_EQ("new", ReadAll(folder.File(L"IMG_0001.JPG")));
    }
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0001.JPG"}, FolderFiles());
    EXPECT_EQ(2u, frame.Of(WM_APP_SHOW_CURSOR).size()) << "the cursor comes back before each box";
}

// The camera unplugged in the middle of a copy: the picture is not there, and neither is a part of it.
TEST_F(DeviceImportTest, APictureCutShortIsReportedAndLeavesNothingBehind)
{
    FakePicture cut{std::string(300000, 'x'), 100000};
    StartWatching();
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"o1", cut, L"IMG_0001.JPG");
        ASSERT_EQ(1u, boxes.calls.size());
        EXPECT_EQ(kFailureCaption, boxes.calls[0].caption);
        EXPECT_EQ(UINT(MB_ICONHAND), boxes.calls[0].type);
        EXPECT_EQ(ImportFailureText(L"0x8007048f"), boxes.calls[0].text);
        EXPECT_TRUE(FolderFiles().empty());
    }
    WriteAll(folder.File(L"IMG_0001.JPG"), "good");
    {
        const MessageBoxRecorder boxes(IDYES);
        TakePicture(L"o2", cut, L"IMG_0001.JPG");
        ASSERT_EQ(2u, boxes.calls.size()) << "the overwrite question, then the failure";
        EXPECT_EQ(kFailureCaption, boxes.calls[1].caption);
    }
    EXPECT_EQ("good", ReadAll(folder.File(L"IMG_0001.JPG")));
    EXPECT_EQ(std::vector<std::wstring>{L"IMG_0001.JPG"}, FolderFiles());
}

TEST_F(DeviceImportTest, SavingAStreamOverAnExistingFileAsksFirst)
{
    const std::wstring target = folder.File(L"a.jpg");
    WriteAll(target, "old");
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    ULONG written = 0;
    stream->Write("fresh", 5, &written);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    const MessageBoxRecorder boxes(IDYES);
    EXPECT_EQ(S_OK, SaveStreamToFile(frame.m_hWnd, *stream.Get(), target, 0));
    EXPECT_EQ("fresh", ReadAll(target));
    EXPECT_EQ(1u, boxes.calls.size());
}
}

// A transfer that the thread pool starts only after the user ended the watch opens no device and
// asks the window nothing.
TEST_F(DeviceImportTest, ATransferStartedAfterTheWatchEndedDoesNothing)
{
    camera->objects[L"o1"] = {"late"};
    WpdObjectEvent object;
    object.deviceId = camera->id;
    object.objectId = L"o1";
    object.originalFileName = L"IMG_1.JPG";
    DeviceWatchState ended(false, frame.m_hWnd, CurrentDevicePlatform());
    ended.stopped = true;
    EXPECT_EQ(S_FALSE, TransferWpdObject(ended, object));
    EXPECT_EQ(0, camera->opens);
    EXPECT_TRUE(frame.received.empty());
    EXPECT_TRUE(FolderFiles().empty());
}
