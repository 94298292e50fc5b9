#include "tests/ui/FrameTest.h"
#include "Viewer/ui/DeviceCalls.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/ViewInput.h"
#include <functional>
#include <memory>

namespace {

using PixelRule = std::function<uint32_t(int x, int y)>;  // 0x00RRGGBB
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlack = 0x000000;

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }
// The largest difference of one colour channel.
int Distance(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift : {0, 8, 16}) largest = std::max(largest, std::abs(Channel(a, shift) - Channel(b, shift)));
    return largest;
}

// What the view shows, read back as 0x00RRGGBB rows.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

// The view in its shown frame at 400 x 400, painting on the road the parameter names: through the
// render device (true) or GDI+ (false). Pictures are read back from the back buffer or the window.
class ViewPaintTest : public FrameTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ShowWindow(m_frame.m_hWnd, SW_SHOWNOACTIVATE);
        MoveWindow(View().m_hWnd, 0, 0, kSize, kSize, FALSE);
        if (UsesDevice()) {
            ASSERT_EQ(S_OK, InitDirect3D(View().m_hWnd, false));
            m_frame.SetRenderDevice();
        }
    }
    void TearDown() override
    {
        View().SetImage(0, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, false, nullptr);
        m_surface.Release();
        m_bitmap.reset();
        FrameTest::TearDown();
        ReleaseDirect3D();
        AppSettings::SmoothPixelsInZoomModes = 0;
        AppSettings::EnableCopiedStampOverlay = 1;
        AppSettings::RightClickMagnifier = 300;
    }

    static bool UsesDevice() { return GetParam(); }
    CImageView& View() { return m_frame.View(); }

    // A picture of the test's, borrowed by the view as an entry's would be.
    void ShowPicture(int width, int height, const PixelRule& rule, uint8_t* copied = nullptr, uint8_t* mark = nullptr)
    {
        if (UsesDevice()) {
            m_surface.Release();
            ASSERT_EQ(S_OK, RenderDevice.Device->CreateOffscreenPlainSurface(
                                width, height, RenderDevice.DisplayMode.Format, D3DPOOL_DEFAULT, &m_surface, nullptr));
            D3DLOCKED_RECT locked{};
            ASSERT_EQ(S_OK, m_surface->LockRect(&locked, nullptr, 0));
            for (int y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
                for (int x = 0; x < width; ++x) row[x] = rule(x, y);
            }
            m_surface->UnlockRect();
            View().SetImage(width, height, m_surface.Get(), nullptr, 0, nullptr, copied, mark, false, nullptr);
            return;
        }
        m_bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
        Gdiplus::BitmapData data{};
        const Gdiplus::Rect all(0, 0, width, height);
        ASSERT_EQ(Gdiplus::Ok, m_bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data));
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < width; ++x) row[x] = 0xFF000000 | rule(x, y);
        }
        m_bitmap->UnlockBits(&data);
        View().SetImage(width, height, nullptr, m_bitmap.get(), 0, nullptr, copied, mark, false, nullptr);
    }

    // The back buffer is read just before it is presented: a discarding swap keeps nothing after.
    Pixels Paint()
    {
        if (!UsesDevice()) {
            View().PaintView(false);
            return ReadWindow();
        }
        Pixels pixels;
        const ScopedDeviceCallsSeam seam{DeviceCallsSeam{nullptr,
                                                         [&pixels] {
                                                             pixels = ReadBackBuffer();
                                                             return RenderDevice.Device->Present(nullptr, nullptr, nullptr, nullptr);
                                                         },
                                                         nullptr}};
        View().PaintView(false);
        return pixels;
    }

    static Pixels ReadBackBuffer()
    {
        Pixels pixels;
        IDirect3DDevice9* device = RenderDevice.Device.Get();
        ComPtr<IDirect3DSurface9> backBuffer, copy;
        EXPECT_EQ(S_OK, device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer));
        D3DSURFACE_DESC description{};
        backBuffer->GetDesc(&description);
        EXPECT_EQ(S_OK, device->CreateOffscreenPlainSurface(description.Width, description.Height, description.Format,
                                                             D3DPOOL_SYSTEMMEM, &copy, nullptr));
        EXPECT_EQ(S_OK, device->GetRenderTargetData(backBuffer.Get(), copy.Get()));
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(S_OK, copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
        pixels.width = static_cast<int>(description.Width);
        pixels.height = static_cast<int>(description.Height);
        for (int y = 0; y < pixels.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
            pixels.values.insert(pixels.values.end(), row, row + pixels.width);
        }
        copy->UnlockRect();
        return pixels;
    }

    Pixels ReadWindow()
    {
        Pixels pixels;
        pixels.width = kSize;
        pixels.height = kSize;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HDC window = GetDC(View().m_hWnd);
        HDC memory = CreateCompatibleDC(window);
        HBITMAP section = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, section);
        BitBlt(memory, 0, 0, kSize, kSize, window, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* values = static_cast<const uint32_t*>(bits);
        pixels.values.assign(values, values + kSize * kSize);
        SelectObject(memory, previous);
        DeleteObject(section);
        DeleteDC(memory);
        ReleaseDC(View().m_hWnd, window);
        return pixels;
    }

    static constexpr int kSize = 400;
    ComPtr<IDirect3DSurface9> m_surface;
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

INSTANTIATE_TEST_SUITE_P(Roads, ViewPaintTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Direct3D" : "GdiPlus"; });

}  // namespace

TEST_P(ViewPaintTest, AFittedPictureFillsItsRectangleBetweenBlackBands)
{
    ShowPicture(800, 400, [](int, int) { return kRed; });
    const Pixels pixels = Paint();
    const RECT& shown = View().Destination();
    const RECT fitted{0, 100, 400, 300};
    EXPECT_TRUE(EqualRect(&shown, &fitted));
    EXPECT_EQ(50, View().ZoomPercentage());
    // Inside, a few pixels from the filtered edges, and in the bands above and below.
    for (POINT p : {POINT{200, 200}, POINT{3, 104}, POINT{396, 296}}) EXPECT_LE(Distance(kRed, pixels.At(p.x, p.y)), 8) << p.x << "," << p.y;
    for (POINT p : {POINT{200, 0}, POINT{200, 95}, POINT{5, 305}, POINT{395, 399}})
        EXPECT_LE(Distance(kBlack, pixels.At(p.x, p.y)), 8) << p.x << "," << p.y;
}

TEST_P(ViewPaintTest, SixteenfoldMagnificationKeepsPixelsSharpUnlessSmoothingIsOn)
{
    // One-pixel columns, black and white: a sharp enlargement has no grey between them.
    ShowPicture(800, 800, [](int x, int) { return x % 2 ? 0xFFFFFFu : 0u; });
    AppSettings::RightClickMagnifier = 1600;
    POINT centre{kSize / 2, kSize / 2};
    ClientToScreen(View().m_hWnd, &centre);
    const ScopedViewInputSeam seam{ViewInputSeam{[centre] { return centre; }, [](POINT) {}, [](bool) { return 0; },
                                                 [](int) -> SHORT { return 0; }}};
    m_frame.Engine().PrepareList(L"*.jpg");
    ASSERT_TRUE(m_frame.Engine().AddFileToList(m_folder.File(L"a.jpg").c_str(), FILETIME{}, false));
    SendMessageW(View().m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(centre.x, centre.y));
    ASSERT_TRUE(View().IsMagnifier());

    const auto greys = [&] {
        const Pixels pixels = Paint();
        int count = 0;
        for (int x = 100; x < 300; ++x) {
            const int level = Channel(pixels.At(x, 200), 8);
            count += level > 24 && level < 231;
        }
        return count;
    };
    EXPECT_EQ(0, greys()) << "point filter";
    AppSettings::SmoothPixelsInZoomModes = 1;
    EXPECT_GT(greys(), 40) << "smooth filter";
    SendMessageW(View().m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
}

TEST_P(ViewPaintTest, StampsSitInTheMiddleAndTheBottomLeftCornerWhileTheirFlagsAreSet)
{
    // The copied stamp is 96 pixels across, the mark stamp 40; each is probed inside its disc.
    const POINT copiedProbe{200, 200 - 48 + 18};
    const POINT markProbe{20, 400 - 40 + 6};
    struct Case {
        uint8_t copied, mark;
        DWORD overlaySetting;
        bool copiedShown, markShown;
    } cases[] = {{0, 0, 1, false, false}, {1, 0, 1, true, false}, {1, 0, 0, false, false}, {0, 1, 0, false, true}, {1, 1, 1, true, true}};
    for (Case& c : cases) {
        AppSettings::EnableCopiedStampOverlay = c.overlaySetting;
        ShowPicture(800, 400, [](int, int) { return kRed; }, &c.copied, &c.mark);
        const Pixels pixels = Paint();
        EXPECT_EQ(c.copiedShown, Distance(kRed, pixels.At(copiedProbe.x, copiedProbe.y)) > 60) << int(c.copied) << int(c.mark);
        EXPECT_EQ(c.markShown, Distance(kBlack, pixels.At(markProbe.x, markProbe.y)) > 60) << int(c.copied) << int(c.mark);
    }
}

TEST_P(ViewPaintTest, TheEmptyViewCaptionIsWrittenBelowTheRaisedLogo)
{
    m_frame.SystemCommands().ShowEmptyViewScreen(false);
    ASSERT_NE(nullptr, View().Caption());
    const Pixels pixels = Paint();
    const RECT shown = View().Destination();
    // The text box starts 108 pixels below the top of the picture raised by 32.
    const int textTop = shown.top - 32 + 108;
    int ink = 0;
    for (int y = textTop; y < textTop + 20 && y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) ink += Distance(kBlack, pixels.At(x, y)) > 40;
    EXPECT_GT(ink, 10) << "text in the caption box";
}
