#include "tests/ui/FrameTest.h"
#include "Viewer/ui/DeviceCalls.h"
#include "Viewer/ui/FrameSystemCommands.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/SurfaceRows.h"
#include <shlobj.h>
#include <memory>

namespace {

// Whether the frame's queue held message with wParam (and takes them out).
bool FrameGot(HWND frame, UINT message, WPARAM wParam = 0)
{
    MSG msg{};
    bool got = false;
    while (PeekMessageW(&msg, frame, message, message, PM_REMOVE)) got |= msg.wParam == wParam;
    return got;
}

// The view on a real device whose loss is this test's to report: the three calls that can find the
// device lost answer what the test sets, and resets are counted instead of made.
class ViewDeviceTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ShowWindow(m_frame.m_hWnd, SW_SHOWNOACTIVATE);
        MoveWindow(View().m_hWnd, 0, 0, 300, 200, FALSE);
        ASSERT_EQ(S_OK, InitDirect3D(View().m_hWnd, false));
        m_frame.SetRenderDevice();
        ASSERT_EQ(S_OK, RenderDevice.Device->CreateOffscreenPlainSurface(64, 32, RenderDevice.DisplayMode.Format,
                                                                         D3DPOOL_DEFAULT, &m_surface, nullptr));
    }
    void TearDown() override
    {
        View().SetImage(0, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, false, nullptr);
        m_surface.Release();
        FrameTest::TearDown();
        ReleaseDirect3D();
    }

    CImageView& View() { return m_frame.View(); }
    void ShowSurface() { View().SetImage(64, 32, m_surface.Get(), nullptr, 0, nullptr, nullptr, nullptr, false, nullptr); }
    void FireDeviceTimer() { SendMessageW(View().m_hWnd, WM_TIMER, CImageView::TIMER_DEVICE, 0); }
    bool RestartAsked() { return FrameGot(m_frame.m_hWnd, WM_APP_RESTART_WITHOUT_HWA); }

    ComPtr<IDirect3DSurface9> m_surface;
    HRESULT m_cooperativeLevel = S_OK;
    HRESULT m_presentResult = S_OK;
    int m_resets = 0;
    D3DPRESENT_PARAMETERS m_lastReset{};
    ScopedDeviceCallsSeam m_seam{DeviceCallsSeam{[this] { return m_cooperativeLevel; }, [this] { return m_presentResult; },
                                                 [this](D3DPRESENT_PARAMETERS& parameters) {
                                                     ++m_resets;
                                                     m_lastReset = parameters;
                                                     return S_OK;
                                                 }}};
};

}  // namespace

TEST_F(ViewDeviceTest, ALossPollsForTheResetAndASecondLossBeforeAGoodPresentationAsksForARestart)
{
    ShowSurface();
    ASSERT_FALSE(View().IsResetPending());
    m_cooperativeLevel = D3DERR_DEVICELOST;
    View().PaintView(false);
    EXPECT_EQ(1, View().DeviceLostCount());
    EXPECT_TRUE(View().IsResetPending());
    View().PaintView(false);
    EXPECT_EQ(1, View().DeviceLostCount()) << "a loss found while a reset is pending changes nothing";
    EXPECT_FALSE(RestartAsked());

    FireDeviceTimer();
    EXPECT_EQ(0, m_resets) << "still lost: the timer polls again";
    EXPECT_TRUE(View().IsResetPending());

    m_cooperativeLevel = D3DERR_DEVICENOTRESET;
    FireDeviceTimer();
    EXPECT_EQ(1, m_resets);
    EXPECT_FALSE(View().IsResetPending());
    EXPECT_EQ(1, View().DeviceLostCount()) << "a reset alone does not forgive the loss";

    m_cooperativeLevel = S_OK;
    m_presentResult = D3DERR_DEVICELOST;
    View().PaintView(false);
    EXPECT_EQ(2, View().DeviceLostCount());
    EXPECT_TRUE(RestartAsked());

    m_presentResult = S_OK;
    FireDeviceTimer();
    View().PaintView(false);
    EXPECT_EQ(0, View().DeviceLostCount()) << "a good presentation forgives";
    EXPECT_FALSE(View().IsResetPending());
}

// The poll comes back after a quarter of a second when painting found the device lost, and only
// after three seconds when the presentation did (the margins leave room for a slow machine).
TEST_F(ViewDeviceTest, TheFirstPollFollowsALossFoundBeforePaintingSoonerThanOneFoundByPresenting)
{
    ShowSurface();
    m_presentResult = D3DERR_DEVICELOST;
    View().PaintView(false);
    m_presentResult = S_OK;
    PumpFor(1500);
    EXPECT_EQ(0, m_resets) << "not yet: 3000 ms";
    PumpFor(2500);
    EXPECT_EQ(1, m_resets);

    View().PaintView(false);  // a good presentation: the next loss is a first one again
    ASSERT_EQ(0, View().DeviceLostCount());
    m_cooperativeLevel = D3DERR_DEVICELOST;
    View().PaintView(false);
    m_cooperativeLevel = S_OK;
    PumpFor(1500);
    EXPECT_EQ(2, m_resets) << "250 ms";
    EXPECT_FALSE(RestartAsked());
}

TEST_F(ViewDeviceTest, ResizingResetsOnceWithTheFinalSizeAfterTheLastSizeMessage)
{
    ShowSurface();
    for (int width : {320, 340, 360, 380}) {
        MoveWindow(View().m_hWnd, 0, 0, width, 210, FALSE);
        PumpFor(50);
    }
    EXPECT_TRUE(View().IsResetPending());
    EXPECT_EQ(0, m_resets);
    PumpFor(700);
    EXPECT_EQ(1, m_resets);
    EXPECT_EQ(380u, m_lastReset.BackBufferWidth);
    EXPECT_EQ(210u, m_lastReset.BackBufferHeight);
    EXPECT_FALSE(View().IsResetPending());

    SendMessageW(View().m_hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
    PumpFor(600);
    EXPECT_EQ(1, m_resets) << "minimising arms nothing";
}

TEST_F(ViewDeviceTest, SuspendStopsThePollAndResumeStartsIt)
{
    ShowSurface();
    MoveWindow(View().m_hWnd, 0, 0, 310, 200, FALSE);
    SendMessageW(View().m_hWnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    PumpFor(600);
    EXPECT_EQ(0, m_resets);
    EXPECT_EQ(TRUE, SendMessageW(View().m_hWnd, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0));
    PumpFor(600);
    EXPECT_EQ(1, m_resets);
}

// A suspend ends a running slideshow and empties the view; the device reset after the resume asks
// for the slideshow again, once.
TEST_F(ViewDeviceTest, TheResetAfterAResumeRestartsTheSlideshowASuspendEnded)
{
    ShowSurface();
    m_frame.Modes().ToggleAutoMode();
    ASSERT_TRUE(m_frame.Modes().IsSlideshowRunning());
    SendMessageW(m_frame.m_hWnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_FALSE(m_frame.Modes().IsSlideshowRunning());
    EXPECT_TRUE(View().OwnsPicture()) << "the empty-view screen";
    SendMessageW(m_frame.m_hWnd, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    FireDeviceTimer();
    EXPECT_TRUE(FrameGot(m_frame.m_hWnd, WM_COMMAND, ID_AUTO_MODE));
    FireDeviceTimer();
    EXPECT_FALSE(FrameGot(m_frame.m_hWnd, WM_COMMAND, ID_AUTO_MODE)) << "once";
}

TEST_F(ViewDeviceTest, AltInTheViewAsksForTheControlBarAndOtherSystemKeysGoOn)
{
    EXPECT_EQ(1, SendMessageW(View().m_hWnd, WM_SYSKEYDOWN, VK_MENU, 0));
    EXPECT_TRUE(FrameGot(m_frame.m_hWnd, WM_COMMAND, ID_TOGGLE_TASKBAR));
    SendMessageW(View().m_hWnd, WM_SYSKEYDOWN, 'X', 0);
    EXPECT_FALSE(FrameGot(m_frame.m_hWnd, WM_COMMAND, ID_TOGGLE_TASKBAR));
}

// The placeholder is the view's own picture: its pixels are copied out and back across a real reset.
class ViewDeviceResetTest : public ViewDeviceTest {
protected:
    static std::vector<uint32_t> Rows(IDirect3DSurface9* surface, int width, int height)
    {
        std::vector<uint32_t> values;
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(S_OK, surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
            values.insert(values.end(), row, row + width);
        }
        surface->UnlockRect();
        return values;
    }
};

TEST_F(ViewDeviceResetTest, TheOwnedPlaceholderSurvivesARealResetPixelForPixel)
{
    const ScopedDeviceCallsSeam real{DeviceCallsSeam{}};
    m_surface.Release();  // a reset fails while any surface of the default pool lives
    View().ShowPlaceholderImage();
    ASSERT_TRUE(View().OwnsPicture());
    ASSERT_NE(nullptr, DisplayedSurface);
    const int width = View().ImageWidth(), height = View().ImageHeight();
    const std::vector<uint32_t> before = Rows(DisplayedSurface, width, height);
    IDirect3DSurface9* old = DisplayedSurface;

    MoveWindow(View().m_hWnd, 0, 0, 333, 222, FALSE);
    View().ResetDevice();
    ASSERT_NE(nullptr, DisplayedSurface);
    EXPECT_NE(old, DisplayedSurface) << "made again after the reset";
    EXPECT_EQ(before, Rows(DisplayedSurface, width, height));
    D3DSURFACE_DESC backBuffer{};
    ComPtr<IDirect3DSurface9> buffer;
    ASSERT_EQ(S_OK, RenderDevice.Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &buffer));
    buffer->GetDesc(&backBuffer);
    EXPECT_EQ(333u, backBuffer.Width);
    EXPECT_EQ(222u, backBuffer.Height);
}

TEST(CopySurfaceRowsTest, CopiesEachRowUpToTheSmallerPitch)
{
    const struct {
        size_t sourcePitch, targetPitch;
    } cases[] = {{8, 8}, {8, 12}, {12, 8}};
    for (const auto& c : cases) {
        std::vector<uint8_t> source(c.sourcePitch * 3);
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i + 1);
        std::vector<uint8_t> target(c.targetPitch * 3, 0xEE);
        CopySurfaceRows(target.data(), c.targetPitch, source.data(), c.sourcePitch, 3);
        const size_t rowBytes = std::min(c.sourcePitch, c.targetPitch);
        for (size_t row = 0; row < 3; ++row)
            for (size_t i = 0; i < c.targetPitch; ++i) {
                const uint8_t expected = i < rowBytes ? source[row * c.sourcePitch + i] : 0xEE;
                EXPECT_EQ(expected, target[row * c.targetPitch + i]) << c.sourcePitch << "->" << c.targetPitch;
            }
    }
}

namespace {
// Counts its own deletions: the view must free an owned picture exactly once and a borrowed one never.
class CountedBitmap : public Gdiplus::Bitmap {
public:
    explicit CountedBitmap(int& deletions) : Gdiplus::Bitmap(4, 4, PixelFormat32bppARGB), m_deletions(deletions) {}
    ~CountedBitmap() override { ++m_deletions; }

private:
    int& m_deletions;
};

using ViewPictureTest = FrameTest;
}  // namespace

TEST_F(ViewPictureTest, AnOwnedPictureIsFreedOnceWhenTheNextOneComesAndABorrowedOneNever)
{
    CImageView& view = m_frame.View();
    int ownedDeletions = 0, borrowedDeletions = 0;
    view.SetImage(4, 4, nullptr, new CountedBitmap(ownedDeletions), 0, nullptr, nullptr, nullptr, true, nullptr);
    auto borrowed = std::make_unique<CountedBitmap>(borrowedDeletions);
    view.SetImage(4, 4, nullptr, borrowed.get(), 0, nullptr, nullptr, nullptr, false, nullptr);
    EXPECT_EQ(1, ownedDeletions);
    view.SetImage(4, 4, nullptr, borrowed.get(), 0, nullptr, nullptr, nullptr, false, nullptr);
    view.SetImage(0, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, false, nullptr);
    EXPECT_EQ(1, ownedDeletions);
    EXPECT_EQ(0, borrowedDeletions);
}

TEST_F(ViewDeviceTest, AnOwnedSurfaceHoldsOneReferenceUntilTheNextPictureComes)
{
    const auto references = [](IUnknown* object) {
        object->AddRef();
        return object->Release();
    };
    ASSERT_EQ(1u, references(m_surface.Get()));
    View().SetImage(64, 32, m_surface.Get(), nullptr, 0, nullptr, nullptr, nullptr, true, nullptr);
    EXPECT_EQ(2u, references(m_surface.Get()));
    ShowSurface();  // the same surface, now borrowed: the owned reference goes, none is taken
    EXPECT_EQ(1u, references(m_surface.Get()));
}

namespace {
class ViewDropTest : public FrameTest {
protected:
    // A drop of the paths at point (client coordinates).
    static HDROP Drop(const std::vector<std::wstring>& paths, POINT point)
    {
        HGLOBAL block = MakeFileDropBlock(paths);
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pt = point;
        GlobalUnlock(block);
        return static_cast<HDROP>(block);
    }
    std::wstring Picture(const std::wstring& name)
    {
        const std::wstring path = m_folder.File(name);
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return path;
    }
};
}  // namespace

TEST_F(ViewDropTest, DroppedFilesReplaceTheListAndADropOutsideTheClientChangesNothing)
{
    HWND view = m_frame.View().m_hWnd;
    MoveWindow(view, 0, 0, 300, 200, FALSE);
    const std::vector<std::wstring> files{Picture(L"a.jpg"), Picture(L"b.jpg")};
    HDROP outside = Drop(files, POINT{-5, 500});
    SendMessageW(view, WM_DROPFILES, reinterpret_cast<WPARAM>(outside), 0);
    PumpFor(200);
    EXPECT_EQ(0u, m_frame.Engine().GetEntryCount());
    GlobalFree(outside);  // a drop left to the default processing is not finished by the view

    SendMessageW(view, WM_DROPFILES, reinterpret_cast<WPARAM>(Drop(files, POINT{10, 10})), 0);
    for (int i = 0; i < 100 && m_frame.Engine().GetEntryCount() < 2; ++i) PumpFor(20);
    EXPECT_EQ(2u, m_frame.Engine().GetEntryCount());
    EXPECT_EQ(m_folder.Path(), m_frame.ImageFolderPath().View());
}
