#include "Viewer/ui/InfoText.h"
#include "Framework/PaintMessage.h"
#include "Framework/UniqueGdiObject.h"
#include <algorithm>
#include <cmath>

namespace {
std::unique_ptr<Gdiplus::Font> Verdana(int style)
{
    const Gdiplus::FontFamily family(L"Verdana");
    return std::make_unique<Gdiplus::Font>(
        family.GetLastStatus() == Gdiplus::Ok ? &family : Gdiplus::FontFamily::GenericSansSerif(), 8.5f, style,
        Gdiplus::UnitPoint);
}
}

CInfoText::CInfoText() = default;

CInfoText::~CInfoText() = default;

HWND CInfoText::CreateInfo(HWND parent)
{
    return Create(parent, nullptr, nullptr, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
}

void CInfoText::ShowAt(int x, int y)
{
    if (!m_regular) {
        m_regular = Verdana(Gdiplus::FontStyleRegular);
        m_bold = Verdana(Gdiplus::FontStyleBold);
    }
    HDC dc = GetDC(m_hWnd);
    if (!dc) return;
    float widest = 0.0f;
    float top = 0.0f;
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        for (size_t i = 0; i < m_lines.size(); ++i) {
            Gdiplus::RectF bounds;
            if (!m_lines[i].empty())
                graphics.MeasureString(m_lines[i].c_str(), static_cast<INT>(m_lines[i].size()),
                                       i == LinePosition ? m_bold.get() : m_regular.get(), Gdiplus::PointF(0, 0),
                                       &format, &bounds);
            m_boxes[i] = Gdiplus::RectF(5.0f, top + 3.0f, 0.0f, bounds.Height);
            top += bounds.Height;
            widest = std::max(widest, bounds.Width);
        }
    }
    ReleaseDC(m_hWnd, dc);
    const int width = static_cast<int>(std::floor(widest + 1.0f));
    const int height = static_cast<int>(top + 0.5f);
    for (Gdiplus::RectF& box : m_boxes) box.Width = static_cast<float>(width);
    SetWindowPos(m_hWnd, nullptr, x - (width + 5), y - (height + 3) / 2, width + 10, height + 6,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
}

LRESULT CInfoText::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    PaintOrPrint(m_hWnd, message, wParam, [this](HDC dc) { DoPaint(dc); });
    return 0;
}

void CInfoText::DoPaint(HDC target)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (client.right <= 0 || client.bottom <= 0 || !m_regular) return;
    UniqueMemoryDc memory(CreateCompatibleDC(target));
    UniqueGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!memory || !bitmap) return;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    {
        Gdiplus::Graphics graphics(memory.get());
        const Gdiplus::RectF all(0.0f, 0.0f, static_cast<float>(client.right - 1), static_cast<float>(client.bottom - 1));
        Gdiplus::LinearGradientBrush shade(all, Gdiplus::Color(0xFF676D6D), Gdiplus::Color(0xFF353C3E),
                                           Gdiplus::LinearGradientModeVertical);
        graphics.FillRectangle(&shade, 0, 0, client.right, client.bottom);
        const Gdiplus::Pen frame(Gdiplus::Color(0xFF000000), 1.0f);
        graphics.DrawRectangle(&frame, 0, 0, client.right - 1, client.bottom - 1);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        format.SetAlignment(Gdiplus::StringAlignmentFar);
        const Gdiplus::SolidBrush ink(Gdiplus::Color(0xFFFAFAFA));
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].empty()) continue;
            graphics.DrawString(m_lines[i].c_str(), static_cast<INT>(m_lines[i].size()),
                                i == LinePosition ? m_bold.get() : m_regular.get(), m_boxes[i], &format, &ink);
        }
    }
    BitBlt(target, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), previous);
}
