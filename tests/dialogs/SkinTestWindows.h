#pragma once
// A dark-dialog stand-in for the skinned controls' tests: a top-level window that reflects its
// children's notifications, answers WM_CTLCOLORSTATIC the dark way, records the commands it gets and
// owns a background picture of one colour.
#include "Framework/Window.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/dialogs/DialogSkin.h"
#include <gdiplus.h>
#include <memory>
#include <vector>

class SkinTestParent : public WindowImpl<SkinTestParent> {
public:
    DECLARE_WINDOW_CLASS(L"LumenfoldTest_SkinParent", CS_DBLCLKS, nullptr)
    BEGIN_MESSAGE_MAP(SkinTestParent)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    SkinTestParent() { GdiPlusAcquire(); }
    ~SkinTestParent() override
    {
        DestroyWindow();
        picture.reset();
        GdiPlusRelease();
    }

    HWND Create(int width = 400, int height = 300, HWND parent = nullptr)
    {
        RECT area{20, 20, 20 + width, 20 + height};
        const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
        return WindowImpl::Create(parent, &area, L"skin", style);
    }
    // A picture of the given colour that covers the window.
    Gdiplus::Bitmap* Paint(COLORREF color)
    {
        picture = std::make_unique<Gdiplus::Bitmap>(800, 600, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(picture.get());
        graphics.Clear(Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)));
        return picture.get();
    }

    std::unique_ptr<Gdiplus::Bitmap> picture;
    std::vector<WPARAM> commands;
    std::vector<int> notifications;
    LRESULT notifyAnswer = 0;

private:
    LRESULT OnColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return ColorStaticText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    }
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        commands.push_back(wParam);
        handled = FALSE;
        return 0;
    }
    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        notifications.push_back(static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code));
        if (notifyAnswer) return notifyAnswer;
        handled = FALSE;
        return 0;
    }
};

// GDI+ for the length of a test.
class ScopedGdiPlus {
public:
    ScopedGdiPlus() { GdiPlusAcquire(); }
    ScopedGdiPlus(const ScopedGdiPlus&) = delete;
    ScopedGdiPlus& operator=(const ScopedGdiPlus&) = delete;
    ~ScopedGdiPlus() { GdiPlusRelease(); }
};

// The skin's images as plain colours, so that a pixel tells which image was drawn: the dialogs'
// background picture and the dialog button's normal, hot and pushed images; every other image grey.
inline constexpr COLORREF kSkinBackground = RGB(10, 120, 30);
inline constexpr COLORREF kSkinButtonNormal = RGB(200, 40, 40);
inline constexpr COLORREF kSkinButtonHot = RGB(40, 40, 200);
inline constexpr COLORREF kSkinButtonPushed = RGB(220, 200, 40);

inline SkinImageLoader ColourSkinLoader()
{
    return [](UINT id) {
        const COLORREF color = id == 218   ? kSkinBackground
                               : id == 219 ? kSkinButtonNormal
                               : id == 200 ? kSkinButtonHot
                               : id == 201 ? kSkinButtonPushed
                                           : RGB(90, 90, 90);
        auto picture = std::make_unique<Gdiplus::Bitmap>(90, 28, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(picture.get());
        graphics.Clear(Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)));
        return picture;
    };
}

// A 32-bit memory device context to paint a control into and read its pixels back.
class PixelCanvas {
public:
    PixelCanvas(int width, int height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
        m_width = width;
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;
    ~PixelCanvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD pixel = m_bits[y * m_width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    int Count(COLORREF color, const RECT& area) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += At(x, y) == color ? 1 : 0;
        return count;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0;
};

// The colour a control paints at (x, y) of its client area, through WM_PRINTCLIENT.
inline COLORREF PrintedPixel(HWND control, int x, int y)
{
    RECT client{};
    GetClientRect(control, &client);
    PixelCanvas canvas(client.right, client.bottom);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas.At(x, y);
}
