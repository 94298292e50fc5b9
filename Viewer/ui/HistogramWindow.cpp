#include "Viewer/ui/HistogramWindow.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/ui/SkinImages.h"
#include <algorithm>
#include <cmath>
#include <cwchar>

namespace {
constexpr UINT kNoHistogramString = 10090;
constexpr UINT kCompressedString = 10177;
constexpr UINT kLinearString = 10178;
constexpr UINT kPerChannelString = 10179;
constexpr UINT kRightMarkerPng = 230;
constexpr UINT kLeftMarkerPng = 231;
constexpr float kShownOpacity = 0.78f;
constexpr float kEmptyOpacity = 0.57f;
constexpr int kBins = 256;

int Rounded(float value)
{
    return static_cast<int>(value + 0.5f);
}

const CPanelWindow::Look kHistogramLook{L"Lumenfold_Histogram",
                                        L"RGB Histogram",
                                        L"HistogramWindow",
                                        240,
                                        {283, 129},
                                        false,
                                        0xFFEBEBEB,
                                        0xFF9B9B9B,
                                        &AppSettings::ShowHistogram,
                                        730.0};

std::unique_ptr<Gdiplus::Pen> ChannelPen(Gdiplus::ARGB colour)
{
    auto pen = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(colour), 1.8f);
    pen->SetMiterLimit(1.0f);
    return pen;
}

const uint32_t* ChannelBins(const HistogramData& data, int channel)
{
    return channel == 0 ? data.red : channel == 1 ? data.green : data.blue;
}

// Text with the shadow one pixel down and right, then the ink.
void DrawShadowedText(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::Font& font,
                      const Gdiplus::RectF& box, const Gdiplus::StringFormat& format, const Gdiplus::Brush& shadow,
                      const Gdiplus::Brush& ink)
{
    const Gdiplus::RectF shifted(box.X + 1.0f, box.Y + 1.0f, box.Width, box.Height);
    const INT length = static_cast<INT>(text.size());
    graphics.DrawString(text.c_str(), length, &font, shifted, &format, &shadow);
    graphics.DrawString(text.c_str(), length, &font, box, &format, &ink);
}
}

struct CHistogramWindow::DrawingObjects {
    std::unique_ptr<Gdiplus::Font> captionFont = CreatePanelFont(L"Verdana", 8.5f, Gdiplus::FontStyleRegular);
    std::unique_ptr<Gdiplus::Font> messageFont = CreatePanelHeadingFont();
    Gdiplus::SolidBrush textBrush{Gdiplus::Color(0xFF000000)};
    Gdiplus::SolidBrush shadowBrush{Gdiplus::Color(0x60EBEBEB)};
    std::unique_ptr<Gdiplus::Pen> channelPens[3] = {ChannelPen(0xEEFF0011), ChannelPen(0xEE2FFF12), ChannelPen(0xEE0035FF)};
    Gdiplus::SolidBrush channelFills[3] = {Gdiplus::SolidBrush(Gdiplus::Color(0x76FF0011)),
                                           Gdiplus::SolidBrush(Gdiplus::Color(0x8600AE02)),
                                           Gdiplus::SolidBrush(Gdiplus::Color(0x660035FF))};
    Gdiplus::Pen gridPen{Gdiplus::Color(0x40646464), 1.0f};
    Gdiplus::Pen quarterPen{Gdiplus::Color(0x38646464), 1.0f};
    Gdiplus::Pen framePen{Gdiplus::Color(0xFF787878), 1.2f};
    std::unique_ptr<Gdiplus::Bitmap> rightMarker{
        LoadPngResource(MAKEINTRESOURCEW(kRightMarkerPng), SkinResourceType, GetResourceInstance(), true)};
    std::unique_ptr<Gdiplus::Bitmap> leftMarker{
        LoadPngResource(MAKEINTRESOURCEW(kLeftMarkerPng), SkinResourceType, GetResourceInstance(), true)};

    DrawingObjects() { quarterPen.SetDashStyle(Gdiplus::DashStyleDash); }
};

HistogramGeometry MakeHistogramGeometry(int dpiX, int dpiY) noexcept
{
    const float sx = static_cast<float>(dpiX) * (1.0f / 96.0f);
    const float sy = static_cast<float>(dpiY) * (1.0f / 96.0f);
    HistogramGeometry plot{sx, Rounded(sx * 13.0f), Rounded(sy * 9.0f), Rounded(sx * 256.0f), Rounded(sy * 100.0f), 0};
    plot.bottom = plot.top + plot.height;
    return plot;
}

uint32_t IntegerSquareRoot(uint32_t value) noexcept
{
    auto root = static_cast<uint32_t>(std::sqrt(static_cast<double>(value)));
    while (static_cast<uint64_t>(root) * root > value) --root;
    while (static_cast<uint64_t>(root + 1) * (root + 1) <= value) ++root;
    return root;
}

int HistogramBarY(const HistogramGeometry& plot, uint32_t count, uint32_t divisor, bool compressed) noexcept
{
    const uint64_t scaled = compressed ? IntegerSquareRoot(count) : count;
    return plot.bottom - static_cast<int>(scaled * static_cast<uint64_t>(plot.height) / std::max(divisor, 1u));
}

std::wstring HistogramCaption(bool compressed, bool perChannel)
{
    std::wstring caption = L"R,G,B (" + LoadUiString(compressed ? kCompressedString : kLinearString);
    if (perChannel) caption += L", " + LoadUiString(kPerChannelString);
    caption += L")";
    return caption.substr(0, 127);
}

std::wstring HistogramSizeLine(const ImageInfo& information)
{
    const double pixels = static_cast<double>(information.width) * information.height;
    const bool mega = pixels >= 100000.0;
    wchar_t text[128]{};
    swprintf(text, std::size(text), mega ? L"%dbpp, %.1fMP%ls" : L"%dbpp, %.1fKP%ls",
             static_cast<int>(information.bitsPerPixel), pixels * (mega ? 0.000001 : 0.001),
             information.downscaled ? L"*" : L"");
    return text;
}

CHistogramWindow::CHistogramWindow() : CPanelWindow(kHistogramLook) {}

CHistogramWindow::~CHistogramWindow() = default;

void CHistogramWindow::Paint(HDC dc, Gdiplus::Graphics& graphics, const RECT& client)
{
    LastActivityCode = 700.0;
    if (!m_objects) m_objects = std::make_unique<DrawingObjects>();
    DrawingObjects& o = *m_objects;
    const HistogramGeometry plot = MakeHistogramGeometry(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
    const bool compressed = AppSettings::EnableHistogramDataCompression != 0;
    const bool perChannel = AppSettings::EnablePerChannelHistogramNormalization != 0;

    LastActivityCode = 701.0;
    const ImageInfo* info = m_information;
    const HistogramData* data = info && (info->flags & ImageInfoHistogram) ? &info->histogram : nullptr;
    const uint32_t largest = data ? std::max({data->redMax, data->greenMax, data->blueMax}) : 0;
    const bool hasHistogram = largest != 0;
    uint32_t divisors[3] = {1, 1, 1};
    if (hasHistogram) {
        const uint32_t maxima[3] = {data->redMax, data->greenMax, data->blueMax};
        for (int c = 0; c < 3; ++c) {
            const uint32_t divisor = std::max(perChannel ? maxima[c] : largest, 1u);
            divisors[c] = compressed ? std::max(IntegerSquareRoot(divisor), 1u) : divisor;
        }
    }

    LastActivityCode = 705.0;
    const int w = plot.width;
    const int h = plot.height;
    const auto line = [&graphics](Gdiplus::Pen* pen, int x1, int y1, int x2, int y2) {
        graphics.DrawLine(pen, x1, y1, x2, y2);
    };
    line(&o.quarterPen, plot.left, plot.top + h / 4, plot.left + w - 1, plot.top + h / 4);
    line(&o.gridPen, plot.left, plot.top + h / 2, plot.left + w - 1, plot.top + h / 2);
    line(&o.quarterPen, plot.left, plot.top + 3 * h / 4, plot.left + w - 1, plot.top + 3 * h / 4);
    line(&o.gridPen, plot.left + w / 3, plot.top, plot.left + w / 3, plot.bottom - 1);
    line(&o.gridPen, plot.left + 2 * w / 3, plot.top, plot.left + 2 * w / 3, plot.bottom - 1);

    int frameTop = plot.top;
    int frameHeight = h;
    if (hasHistogram) {
        LastActivityCode = 707.0;
        DrawChannels(graphics, plot, divisors);
        frameTop = plot.top - 1;
        frameHeight = h + 2;
    }
    LastActivityCode = 710.0;
    graphics.DrawRectangle(&o.framePen, plot.left - 1, frameTop, w + 1, frameHeight);
    const int frameBottom = frameTop + frameHeight;

    if (hasHistogram) {
        DrawMarkers(graphics, plot, divisors, compressed);
        SetOpacityLimits(kShownOpacity);
    } else {
        LastActivityCode = 713.0;
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const int messageTop = IsVistaOrLater() ? plot.top - 3 : plot.top - 1;
        const Gdiplus::RectF box(static_cast<float>(plot.left - 1), static_cast<float>(messageTop),
                                 static_cast<float>(w + 1), static_cast<float>(h));
        if (o.messageFont)
            DrawShadowedText(graphics, LoadUiString(kNoHistogramString), *o.messageFont, box, format, o.shadowBrush,
                             o.textBrush);
        SetOpacityLimits(kEmptyOpacity);
    }
    DrawTexts(graphics, plot, client, frameBottom, compressed, perChannel);
    LastActivityCode = 719.0;
}

void CHistogramWindow::DrawChannels(Gdiplus::Graphics& graphics, const HistogramGeometry& plot,
                                    const uint32_t (&divisors)[3])
{
    DrawingObjects& o = *m_objects;
    const HistogramData& data = m_information->histogram;
    const bool compressed = AppSettings::EnableHistogramDataCompression != 0;
    int xs[kBins];
    xs[0] = plot.left;
    for (int i = 1; i < kBins; ++i) xs[i] = static_cast<int>(static_cast<float>(i) * plot.scaleX + plot.left + 0.5f);
    const int below = plot.bottom + 3;
    graphics.SetClip(Gdiplus::Rect(plot.left, plot.top - 1, plot.width, plot.height + 2));
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    for (int c = 0; c < 3; ++c) {
        const uint32_t* bins = ChannelBins(data, c);
        Gdiplus::GraphicsPath path;
        int previousY = HistogramBarY(plot, bins[0], divisors[c], compressed);
        path.AddLine(plot.left - 1, below, plot.left - 1, previousY);
        path.AddLine(plot.left - 1, previousY, plot.left, previousY);
        for (int i = 1; i < kBins; ++i) {
            const int y = HistogramBarY(plot, bins[i], divisors[c], compressed);
            path.AddLine(xs[i - 1], previousY, xs[i], y);
            previousY = y;
        }
        path.AddLine(xs[kBins - 1], previousY, plot.left + plot.width, previousY);
        path.AddLine(plot.left + plot.width, previousY, plot.left + plot.width + 1, below);
        path.CloseFigure();
        if (path.GetLastStatus() != Gdiplus::Ok) continue;
        graphics.FillPath(&o.channelFills[c], &path);
        graphics.DrawPath(o.channelPens[c].get(), &path);
    }
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeDefault);
    graphics.ResetClip();
}

void CHistogramWindow::DrawMarkers(Gdiplus::Graphics& graphics, const HistogramGeometry& plot,
                                   const uint32_t (&divisors)[3], bool compressed)
{
    LastActivityCode = 711.0;
    DrawingObjects& o = *m_objects;
    const HistogramData& data = m_information->histogram;
    int firstY = plot.bottom;
    int lastY = plot.bottom;
    for (int c = 0; c < 3; ++c) {
        const uint32_t* bins = ChannelBins(data, c);
        firstY = std::min(firstY, HistogramBarY(plot, bins[0], divisors[c], compressed));
        lastY = std::min(lastY, HistogramBarY(plot, bins[kBins - 1], divisors[c], compressed));
    }
    if (Gdiplus::Bitmap* marker = o.leftMarker.get()) {
        const int width = static_cast<int>(marker->GetWidth());
        const int height = static_cast<int>(marker->GetHeight());
        graphics.DrawImage(marker, plot.left - 1 - width, firstY - height / 2 - 1, width, height);
    }
    if (Gdiplus::Bitmap* marker = o.rightMarker.get()) {
        const int width = static_cast<int>(marker->GetWidth());
        const int height = static_cast<int>(marker->GetHeight());
        graphics.DrawImage(marker, plot.left + plot.width + 1, lastY - height / 2 - 1, width, height);
    }
}

void CHistogramWindow::DrawTexts(Gdiplus::Graphics& graphics, const HistogramGeometry& plot, const RECT& client,
                                 int frameBottom, bool compressed, bool perChannel)
{
    LastActivityCode = 715.0;
    DrawingObjects& o = *m_objects;
    if (!o.captionFont) return;
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    const Gdiplus::RectF box(static_cast<float>(plot.left - 1), static_cast<float>(frameBottom + 3),
                             static_cast<float>(plot.width + 1),
                             static_cast<float>(client.bottom - client.top - frameBottom));
    DrawShadowedText(graphics, HistogramCaption(compressed, perChannel), *o.captionFont, box, format, o.shadowBrush,
                     o.textBrush);
    // The size needs no histogram: a picture without one still shows it.
    const ImageInfo* info = m_information;
    if (!info || info->width == 0 || info->height == 0) return;
    format.SetAlignment(Gdiplus::StringAlignmentFar);
    DrawShadowedText(graphics, HistogramSizeLine(*info), *o.captionFont, box, format, o.shadowBrush, o.textBrush);
}
