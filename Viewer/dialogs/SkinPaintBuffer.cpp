#include "Viewer/dialogs/SkinPaintBuffer.h"

CSkinPaintBuffer::CSkinPaintBuffer(HDC target, const RECT& area) noexcept : m_target(target), m_area(area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(target);
    m_bitmap = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_dc || !m_bitmap) {
        Release();
        return;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    SetViewportOrgEx(m_dc, -area.left, -area.top, nullptr);
}

CSkinPaintBuffer::~CSkinPaintBuffer()
{
    Release();
}

void CSkinPaintBuffer::AlphaBlit() noexcept
{
    if (!m_dc) return;
    const int width = m_area.right - m_area.left;
    const int height = m_area.bottom - m_area.top;
    SetViewportOrgEx(m_dc, 0, 0, nullptr);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!::AlphaBlend(m_target, m_area.left, m_area.top, width, height, m_dc, 0, 0, width, height, blend))
        BitBlt(m_target, m_area.left, m_area.top, width, height, m_dc, 0, 0, SRCCOPY);
    Release();
}

void CSkinPaintBuffer::Release() noexcept
{
    if (m_dc && m_previous) SelectObject(m_dc, m_previous);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
}
