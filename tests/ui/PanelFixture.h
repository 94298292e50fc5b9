#pragma once
// The fixture of the floating panels' tests: the frame shown well inside the screen, neither panel
// open, and what a panel paints read back from a 32-bit DIB section.
#include "tests/ui/FrameTest.h"
#include "Viewer/core/GdiPlus.h"
#include <cstdint>
#include <ostream>
#include <vector>

struct PanelPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;

    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
    int Red(int x, int y) const { return static_cast<int>((At(x, y) >> 16) & 0xFF); }
    int Green(int x, int y) const { return static_cast<int>((At(x, y) >> 8) & 0xFF); }
    int Blue(int x, int y) const { return static_cast<int>(At(x, y) & 0xFF); }
    // Pixels in the rectangle darker than the background by more than a margin: text ink.
    int InkIn(const RECT& box, int below) const
    {
        int count = 0;
        for (int y = box.top; y < box.bottom && y < height; ++y)
            for (int x = box.left; x < box.right && x < width; ++x)
                if (Red(x, y) < below && Green(x, y) < below && Blue(x, y) < below) ++count;
        return count;
    }
};

inline PanelPixels PrintClient(HWND window)
{
    PanelPixels pixels;
    RECT client{};
    GetClientRect(window, &client);
    pixels.width = client.right;
    pixels.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, section);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    pixels.values.assign(first, first + static_cast<size_t>(pixels.width) * pixels.height);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    return pixels;
}

// Rectangles compare as their four corners.
inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}
inline void PrintTo(const RECT& r, std::ostream* out)
{
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

constexpr int kPanelLeftOfView = 8;

// The frame well inside the screen, shown, with neither panel open.
class PanelWindowTest : public FrameTest {
protected:
    // The panels keep their GDI+ objects as long as the frame object lives, which is past TearDown:
    // GDI+ stays up for the rest of the test program.
    static void SetUpTestSuite() { GdiPlusAcquire(); }

    void SetUp() override
    {
        FrameTest::SetUp();
        SetWindowPos(m_frame.m_hWnd, nullptr, 200, 150, 1000, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(m_frame.m_hWnd, SW_SHOWNOACTIVATE);
    }

    CImageView& View() { return m_frame.View(); }
    RECT ViewRect()
    {
        RECT rect{};
        GetWindowRect(m_frame.View().m_hWnd, &rect);
        return rect;
    }
    static RECT WindowRect(HWND window)
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }
    void Command(WORD id) { SendMessageW(m_frame.m_hWnd, WM_COMMAND, id, 0); }
    void WriteValue(const wchar_t* name, const std::wstring& text)
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, AppSettings::KeyPath));
        ASSERT_EQ(ERROR_SUCCESS, key.SetString(name, text));
    }
};
