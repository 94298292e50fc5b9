#include "Viewer/ui/ShootingDataWindow.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/ui/ShootingDataText.h"

namespace {
const CPanelWindow::Look kShootingDataLook{L"Lumenfold_ImageMetadata",
                                           L"Shooting Data",
                                           L"ShootingDataWindow",
                                           237,
                                           {365, 73},
                                           true,
                                           0xFFE6E6E6,
                                           0xFFA0A0A0,
                                           &AppSettings::ShowShootingData,
                                           830.0};

// The heading's height in its font, measured once for the process: every heading has the same.
float g_headingHeight = 0.0f;
}

struct CShootingDataWindow::DrawingObjects {
    std::unique_ptr<Gdiplus::Font> headingFont = CreatePanelHeadingFont();
    std::unique_ptr<Gdiplus::Font> textFont = CreatePanelFont(L"Verdana", 8.5f, Gdiplus::FontStyleRegular);
    Gdiplus::SolidBrush textBrush{Gdiplus::Color(0xFF000000)};
    Gdiplus::SolidBrush shadowBrush{Gdiplus::Color(0x60EBEBEB)};
};

CShootingDataWindow::CShootingDataWindow() : CPanelWindow(kShootingDataLook) {}

CShootingDataWindow::~CShootingDataWindow() = default;

void CShootingDataWindow::Paint(HDC, Gdiplus::Graphics& graphics, const RECT& client)
{
    LastActivityCode = 800.0;
    if (!m_objects) m_objects = std::make_unique<DrawingObjects>();
    DrawingObjects& o = *m_objects;
    const ShootingDataText text = BuildShootingDataText(m_information, m_numbers);
    LastActivityCode = 820.0;
    SetOpacityLimits(text.minOpacity);
    if (!o.headingFont || !o.textFont) return;

    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetFormatFlags(format.GetFormatFlags() | Gdiplus::StringFormatFlagsNoWrap);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    if (g_headingHeight == 0.0f) {
        Gdiplus::RectF bounds;
        graphics.MeasureString(text.heading.c_str(), static_cast<INT>(text.heading.size()), o.headingFont.get(),
                               Gdiplus::PointF(0.0f, 0.0f), &format, &bounds);
        g_headingHeight = bounds.Height;
    }
    LastActivityCode = 825.0;
    const bool vista = IsVistaOrLater();
    float x = static_cast<float>(client.left + 5);
    float headingTop = static_cast<float>(vista ? client.top - 2 : client.top + 3);
    float blockTop = g_headingHeight;
    const float width = static_cast<float>(client.right - client.left - 12);
    const INT headingLength = static_cast<INT>(text.heading.size());
    if (vista) {
        graphics.DrawString(text.heading.c_str(), headingLength, o.headingFont.get(),
                            Gdiplus::RectF(x + 1.0f, headingTop + 1.0f, width, g_headingHeight), &format, &o.shadowBrush);
        graphics.DrawString(text.heading.c_str(), headingLength, o.headingFont.get(),
                            Gdiplus::RectF(x, headingTop, width, g_headingHeight), &format, &o.textBrush);
    } else {
        graphics.DrawString(text.heading.c_str(), headingLength, o.headingFont.get(),
                            Gdiplus::RectF(x, headingTop, width, g_headingHeight), &format, &o.shadowBrush);
        graphics.DrawString(text.heading.c_str(), headingLength, o.headingFont.get(),
                            Gdiplus::RectF(x - 1.0f, headingTop - 1.0f, width, g_headingHeight), &format, &o.textBrush);
        x = static_cast<float>(client.left + 6);
        blockTop += 3.0f;
    }
    if (text.block.empty()) return;
    const float height = static_cast<float>(client.bottom) - blockTop;
    const INT blockLength = static_cast<INT>(text.block.size());
    graphics.DrawString(text.block.c_str(), blockLength, o.textFont.get(),
                        Gdiplus::RectF(x + 1.0f, blockTop + 1.0f, width, height), &format, &o.shadowBrush);
    graphics.DrawString(text.block.c_str(), blockLength, o.textFont.get(), Gdiplus::RectF(x, blockTop, width, height),
                        &format, &o.textBrush);
    LastActivityCode = 828.0;
}
