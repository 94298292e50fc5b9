#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/engine/DecodeEntry.h"
#include "Viewer/engine/ViewImageHandoff.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/DecodeFixture.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {
constexpr UINT PictureWidth = 24;
constexpr UINT PictureHeight = 16;

class DecodeEntryTest : public DecodeFixture {
public:
    void SetUp() override
    {
        DecodeFixture::SetUp();
        WriteTestPicture(folder.File(L"pic.jpg"), GUID_ContainerFormatJpeg,
                         {AsymmetricFrame(PictureWidth, PictureHeight, GUID_WICPixelFormat24bppBGR)});
    }
    void TearDown() override
    {
        AppSettings::EnableAbortableImageLoading = 0;
        DecodeFixture::TearDown();
    }

    EntryRef Entry(const wchar_t* name = L"pic")
    {
        return MakeEntry(nullptr, folder.File(name), nullptr, 0, 1, L"jpg", false);
    }
    HRESULT Decode(CImageEntry& entry, bool useSurface)
    {
        return DecodeEntry(entry, context.get(), L"jpg", useSurface, false, false, true);
    }
};

TEST_F(DecodeEntryTest, DecodesIntoABitmapAndIntoASurface)
{
    EntryRef entry = Entry();
    entry->SetLoading(true);
    ASSERT_EQ(S_OK, Decode(*entry, false));
    ASSERT_NE(nullptr, entry->GetBitmap());
    EXPECT_EQ(nullptr, entry->GetSurface());
    EXPECT_EQ(PictureWidth, entry->GetWidth());
    EXPECT_EQ(PictureHeight, entry->GetHeight());
    EXPECT_FALSE(entry->IsLoading());
    EXPECT_EQ(L"jpg", std::wstring(entry->GetDecodedExtension().c_str()));
    EXPECT_EQ(PictureWidth, entry->GetInfo()->width);

    ASSERT_EQ(S_OK, Decode(*entry, true));
    ASSERT_NE(nullptr, entry->GetSurface());
    EXPECT_EQ(S_OK, WaitForDecode(*entry, true, false, 0, nullptr));
}

TEST_F(DecodeEntryTest, AfterADeviceResetTheSurfaceIsRebuiltWithoutReadingTheFile)
{
    EntryRef entry = Entry();
    ASSERT_EQ(S_OK, Decode(*entry, true));
    const std::vector<Rgba> decoded = PixelsOf(entry->GetSurface(), PictureWidth, PictureHeight);
    DisplayedSurface = entry->GetSurface();
    ASSERT_EQ(S_OK, entry->SavePixelsForReset());
    EXPECT_EQ(nullptr, entry->GetSurface());
    EXPECT_EQ(nullptr, DisplayedSurface);
    EXPECT_EQ(S_FALSE, entry->SavePixelsForReset());

    ASSERT_TRUE(DeleteFileW(folder.File(L"pic.jpg").c_str()));
    ASSERT_EQ(S_OK, Decode(*entry, true));
    ASSERT_NE(nullptr, entry->GetSurface());
    EXPECT_EQ(decoded, PixelsOf(entry->GetSurface(), PictureWidth, PictureHeight));
    // The copy served once: the next decode reads the file, which is gone now.
    EXPECT_TRUE(FAILED(Decode(*entry, true)));
}

TEST_F(DecodeEntryTest, AMissingFileIsStoredAndKeptUntilReleased)
{
    EntryRef entry = Entry(L"missing");
    const HRESULT missing = Decode(*entry, false);
    EXPECT_TRUE(FAILED(missing));
    EXPECT_EQ(missing, entry->GetDecodeResult());
    EXPECT_EQ(missing, WaitForDecode(*entry, true, false, 0, nullptr));
    // A stored failure is not decoded again; releasing the image forgets it.
    EXPECT_EQ(missing, Decode(*entry, false));
    entry->ReleaseDecodedImage();
    EXPECT_EQ(S_OK, entry->GetDecodeResult());
    EXPECT_EQ(E_FAIL, WaitForDecode(*entry, true, false, 0, nullptr));
}

TEST_F(DecodeEntryTest, ACancelledEntryIsNotDecoded)
{
    EntryRef entry = Entry();
    entry->SetLoading(true);
    EXPECT_FALSE(entry->ReleaseDecodedImage());
    EXPECT_TRUE(entry->IsCancelled());
    EXPECT_EQ(E_ABORT, Decode(*entry, false));
    EXPECT_EQ(nullptr, entry->GetBitmap());
    EXPECT_FALSE(entry->IsLoading());
}

// Before the fix both copies freed the one GDI+ bitmap.
TEST_F(DecodeEntryTest, ACopySharesNoOwnershipOfTheDecodedBitmap)
{
    EntryRef original = Entry();
    original->AddCompanionExtension(L"xmp");
    original->rating = 4;
    ASSERT_EQ(S_OK, Decode(*original, false));
    Gdiplus::Bitmap* bitmap = original->GetBitmap();
    {
        CImageEntry copy(*original);
        EXPECT_EQ(nullptr, copy.GetBitmap());
        EXPECT_EQ(4, copy.rating);
        EXPECT_EQ(PictureWidth, copy.GetWidth());
        EXPECT_EQ(L"jpg;xmp", std::wstring(copy.GetExtensions().c_str()));
    }
    EXPECT_EQ(bitmap, original->GetBitmap());
    EXPECT_EQ(PictureWidth, bitmap->GetWidth());
    // A surface is shared by reference counting.
    ASSERT_EQ(S_OK, Decode(*original, true));
    CImageEntry copy(*original);
    EXPECT_EQ(original->GetSurface(), copy.GetSurface());
}

TEST_F(DecodeEntryTest, ReleasingTheImageClearsTheViewsReference)
{
    EntryRef entry = Entry();
    ASSERT_EQ(S_OK, Decode(*entry, true));
    DisplayedSurface = entry->GetSurface();
    entry->SetEntryFlag(EntryFlagOwnChange);
    EXPECT_TRUE(entry->ReleaseDecodedImage());
    EXPECT_EQ(nullptr, DisplayedSurface);
    EXPECT_EQ(nullptr, entry->GetSurface());
    EXPECT_EQ(0, entry->GetEntryFlags());
    EXPECT_FALSE(entry->ReleaseDecodedImage());
}

TEST_F(DecodeEntryTest, AZeroTimeoutAnswersAtOnceWithTheStateAsItIs)
{
    FrameRecorder frame;
    EntryRef entry = Entry();
    entry->SetLoading(true);
    EXPECT_EQ(E_FAIL, WaitForDecode(*entry, false, true, 0, frame.Handle()));
    // No wait began: the frame only hears that it ended.
    ASSERT_EQ(1u, frame.received.size());
    EXPECT_EQ(UINT(WM_APP_DECODE_WAIT_END), frame.received[0].message);
    EXPECT_EQ(0u, frame.received[0].wParam);
}

// A decode worker stand-in: decodes once the test lets it, or gives up when the entry is cancelled.
class FakeWorker {
public:
    explicit FakeWorker(CImageEntry& entry)
    {
        m_thread = std::thread([&entry] {
            while (entry.IsLoading() && !entry.IsCancelled()) Sleep(5);
            entry.SetLoading(false);
        });
    }
    ~FakeWorker() { m_thread.join(); }

private:
    std::thread m_thread;
};

TEST_F(DecodeEntryTest, AWheelTurnCancelsTheWaitWhenLoadingIsAbortable)
{
    AppSettings::EnableAbortableImageLoading = 1;
    FrameRecorder frame;
    EntryRef entry = Entry();
    entry->SetLoading(true);
    PostMessageW(frame.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    FakeWorker worker(*entry);

    EXPECT_EQ(S_FALSE, WaitForDecode(*entry, false, true, 10000, frame.Handle()));
    EXPECT_TRUE(entry->IsCancelled());
    ASSERT_EQ(2u, frame.received.size());
    EXPECT_EQ(UINT(WM_APP_DECODE_WAIT_BEGIN), frame.received[0].message);
    EXPECT_EQ(reinterpret_cast<LPARAM>(entry.Get()), frame.received[0].lParam);
    EXPECT_EQ(UINT(WM_APP_DECODE_WAIT_END), frame.received[1].message);
    EXPECT_EQ(1u, frame.received[1].wParam);
    // The wheel turn stays in the queue for the frame to act on.
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, frame.Handle(), WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE));
}

TEST_F(DecodeEntryTest, NavigationInputDoesNotCancelWhenLoadingIsNotAbortable)
{
    FrameRecorder frame;
    EntryRef entry = Entry();
    entry->SetLoading(true);
    PostMessageW(frame.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(E_FAIL, WaitForDecode(*entry, false, false, 200, frame.Handle()));
    EXPECT_FALSE(entry->IsCancelled());
}

// A worker that sends to the frame while the frame waits for it: before the fix the send stalled
// until the wait timed out.
TEST_F(DecodeEntryTest, AWorkersSentMessageIsAnsweredDuringTheWait)
{
    FrameRecorder frame;
    EntryRef entry = Entry();
    entry->SetLoading(true);
    const HWND window = frame.Handle();
    CImageEntry* decoded = entry.Get();
    DecodeEntryTest* test = this;
    std::atomic<bool> done{false};
    std::thread worker([window, decoded, test, &done] {
        SendMessageW(window, WM_APP_SHOW_CURSOR, 0, 0);
        test->Decode(*decoded, false);
        done = true;
    });
    // Without an answer the worker could not decode, and the wait would end empty-handed.
    const HRESULT hr = WaitForDecode(*entry, true, false, 10000, window);
    while (!done) frame.PumpFor(20);
    worker.join();
    EXPECT_EQ(S_OK, hr);
    ASSERT_EQ(1u, frame.Of(WM_APP_SHOW_CURSOR).size());
}
}  // namespace
