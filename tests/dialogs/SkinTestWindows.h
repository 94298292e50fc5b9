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
