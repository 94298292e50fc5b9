#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/core/OsVersion.h"

LRESULT EraseWithPicture(HDC dc, Gdiplus::Image* picture) noexcept
{
    if (picture && dc) {
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(picture, 0, 0, static_cast<INT>(picture->GetWidth()),
                           static_cast<INT>(picture->GetHeight()));
    }
    return 1;
}

LRESULT ColorStaticText(HDC dc, HWND control) noexcept
{
    SetTextColor(dc, IsWindowEnabled(control) ? SkinTextColor : SkinDisabledTextColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

HFONT CreateSkinFont(HWND window, int tenthsOfPoint, int weight) noexcept
{
    HDC dc = GetDC(window);
    const int pixelsPerInch = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(window, dc);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(pixelsPerInch, tenthsOfPoint, 720);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, IsVistaOrLater() ? L"Segoe UI" : L"MS Shell Dlg", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

HFONT CreateFontVariant(HWND control, int weight, bool underline) noexcept
{
    HFONT own = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (!GetObjectW(own ? static_cast<HGDIOBJ>(own) : GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font))
        return nullptr;
    if (weight != KeepFontWeight) font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&font);
}

void PaintPictureUnder(HWND control, HWND owner, Gdiplus::Image* picture, HDC dc) noexcept
{
    if (!picture || !owner || !dc) return;
    RECT client{};
    GetClientRect(control, &client);
    // Recomputed at every paint, so that moving the dialog never shifts the picture.
    POINT origin{0, 0};
    MapWindowPoints(control, owner, &origin, 1);
    const INT width = client.right + 1;
    const INT height = client.bottom + 1;
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(picture, Gdiplus::Rect(0, 0, width, height), origin.x, origin.y, width, height,
                       Gdiplus::UnitPixel);
}

std::unique_ptr<Gdiplus::Bitmap> RenderDialogBackground(HWND dialog, Gdiplus::Image* image)
{
    if (!image) return nullptr;
    RECT client{};
    GetClientRect(dialog, &client);
    if (client.right <= 0 || client.bottom <= 0) return nullptr;
    auto background = std::make_unique<Gdiplus::Bitmap>(client.right, client.bottom, PixelFormat32bppARGB);
    if (background->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Graphics graphics(background.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.DrawImage(image, 0, 0, client.right + 1, client.bottom + 1);
    return background;
}

void CenterOnOwner(HWND window) noexcept
{
    RECT bounds{};
    GetWindowRect(window, &bounds);
    RECT area{};
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
    }
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MemoryCanvas::MemoryCanvas(HDC target, int width, int height) noexcept
    : m_dc(CreateCompatibleDC(target)),
      m_bitmap(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
      m_previous(m_dc && m_bitmap ? SelectObject(m_dc, m_bitmap) : nullptr),
      m_width(width),
      m_height(height)
{
}

MemoryCanvas::~MemoryCanvas()
{
    if (m_previous) SelectObject(m_dc, m_previous);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
}

void MemoryCanvas::CopyTo(HDC target, int x, int y) const noexcept
{
    if (m_previous) BitBlt(target, x, y, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}
