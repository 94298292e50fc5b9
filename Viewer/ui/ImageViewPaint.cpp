// The view's painting: the picture stretched from the layout's source to its destination, the
// caption under it and the two stamps, through the render device when the picture is a surface and
// through GDI+ into a memory DC otherwise. ViewLock is held from the first read of a picture slot
// until the last drawing from it, so that a worker releasing the entry waits.
#include "Framework/ResourceModule.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/OsVersion.h"
#include "Viewer/ui/CaptionMargin.h"
#include "Viewer/ui/DeviceCalls.h"
#include "Viewer/ui/ImageView.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/SkinImages.h"
#include "Viewer/ui/StampQuad.h"

namespace {

constexpr Gdiplus::ARGB kBackgroundArgb = CImageView::BackgroundColour;
constexpr Gdiplus::ARGB kCaptionTextArgb = 0x64FFFFFF;
// With a caption (the empty-view screen) the picture moves up and the text sits this far below its top.
constexpr int kCaptionRaise = 32;
constexpr int kCaptionDrop = 108;
constexpr UINT kPlaceholderPng = 222;
constexpr UINT kCopiedStampPng = 232;
constexpr UINT kMarkStampPng = 236;
constexpr DWORD kDeviceLostAfterTestMs = 250;
constexpr DWORD kDeviceLostAfterPresentMs = 3000;

int Width(const RECT& r) noexcept { return r.right - r.left; }
int Height(const RECT& r) noexcept { return r.bottom - r.top; }
// Two different halves are used, and they differ for odd negative numbers.
int DivHalf(int value) noexcept { return value / 2; }
int ShiftHalf(int value) noexcept { return value >> 1; }

bool IsReduced(const RECT& destination, const RECT& source) noexcept
{
    return Width(destination) < Width(source) || Height(destination) < Height(source);
}

void DpiScale(HDC dc, float& sx, float& sy) noexcept
{
    sx = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSX)) / 96.0f;
    sy = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY)) / 96.0f;
}

int ScaledExtent(int extent, float scale) noexcept { return static_cast<int>(static_cast<float>(extent) * scale + 0.5f); }

bool StampShown(const uint8_t* flag) noexcept { return flag && *flag != 0; }

DWORD StretchFilter(bool hasCaption, bool reduced, bool upscaled) noexcept
{
    if (hasCaption) return D3DTEXF_NONE;
    if (reduced) return RenderDevice.MinifyFilter;
    if (AppSettings::SmoothPixelsInZoomModes || upscaled) return RenderDevice.MagnifySmoothFilter;
    return RenderDevice.MagnifyPointFilter;
}

Gdiplus::InterpolationMode GdiPlusInterpolation(bool reduced, bool upscaled, bool multiSampling) noexcept
{
    const bool smooth = reduced ? multiSampling : (AppSettings::SmoothPixelsInZoomModes || upscaled);
    return smooth ? Gdiplus::InterpolationModeBilinear : Gdiplus::InterpolationModeNearestNeighbor;
}

}  // namespace

void CImageView::PaintView(bool fromPaintMessage)
{
    RECT client{};
    GetClientRect(m_hWnd, &client);
    RECT source{};
    bool upscaled = false;
    LayoutImage(source, client, upscaled);
    if (!m_hasSurface) {
        PaintWithGdiPlus(client, source, upscaled, fromPaintMessage);
        return;
    }
    if (RenderDevice.Device) PaintWithDevice(client, source, upscaled);
    if (fromPaintMessage) ValidateRect(m_hWnd, nullptr);
}

void CImageView::NoteDeviceLost(DWORD retryMilliseconds)
{
    ++m_deviceLostCount;
    m_resetPending = true;
    if (m_deviceLostCount <= 1) {
        SetTimer(m_hWnd, TIMER_DEVICE, retryMilliseconds, nullptr);
    } else {
        PostToFrame(WM_APP_RESTART_WITHOUT_HWA);
    }
}

void CImageView::PaintWithDevice(const RECT& client, const RECT& source, bool upscaled)
{
    IDirect3DDevice9* device = RenderDevice.Device.Get();
    if (TestDeviceCooperativeLevel() == D3DERR_DEVICELOST) {
        if (!m_resetPending) NoteDeviceLost(kDeviceLostAfterTestMs);
        return;
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET, BackgroundColour, 0.0f, 0);
    if (m_resetPending) {
        PresentDevice();
        return;
    }
    CriticalSectionScope lock(ViewLock);
    if (DisplayedSurface && SUCCEEDED(device->BeginScene())) {
        DrawSceneOnDevice(client, source, upscaled);
        device->EndScene();
    }
    if (PresentDevice() == D3DERR_DEVICELOST) {
        NoteDeviceLost(kDeviceLostAfterPresentMs);
    } else {
        m_deviceLostCount = 0;
    }
}

void CImageView::DrawSceneOnDevice(const RECT& client, const RECT& source, bool upscaled)
{
    IDirect3DDevice9* device = RenderDevice.Device.Get();
    ComPtr<IDirect3DSurface9> backBuffer;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        const bool hasCaption = m_caption.Get() != nullptr;
        RECT destination = m_destination;
        if (hasCaption) OffsetRect(&destination, 0, -kCaptionRaise);
        const auto filter = static_cast<D3DTEXTUREFILTERTYPE>(StretchFilter(hasCaption, IsReduced(destination, source), upscaled));
        device->StretchRect(DisplayedSurface, &source, backBuffer.Get(), &destination, filter);
        if (hasCaption) DrawCaptionOnDevice(client, destination, backBuffer.Get());
    }
    backBuffer.Release();
    if (AppSettings::EnableCopiedStampOverlay && StampShown(m_copiedStamp.shownFlag))
        DrawStampOnDevice(m_copiedStamp, kCopiedStampPng, client, CreateCenteredQuad);
    if (StampShown(m_markStamp.shownFlag)) DrawStampOnDevice(m_markStamp, kMarkStampPng, client, CreateBottomLeftQuad);
}

// The text is drawn by GDI+ into a small surface of its own and stretched 1:1 under the raised
// picture; a box reaching below the window is cut there, never squeezed.
void CImageView::DrawCaptionOnDevice(const RECT& client, const RECT& raised, IDirect3DSurface9* backBuffer)
{
    float sx = 1.0f, sy = 1.0f;
    if (HDC dc = GetDC(m_hWnd)) {
        DpiScale(dc, sx, sy);
        ReleaseDC(m_hWnd, dc);
    }
    const int textWidth = ScaledExtent(Width(raised), sx) + GetCaptionMargin();
    const int textHeight = ScaledExtent(Height(raised), sy);
    if (textWidth <= 0 || textHeight <= 0) return;
    ComPtr<IDirect3DSurface9> text;
    if (FAILED(RenderDevice.Device->CreateOffscreenPlainSurface(textWidth, textHeight, RenderDevice.DisplayMode.Format,
                                                                D3DPOOL_DEFAULT, &text, nullptr)))
        return;
    HDC textDc = nullptr;
    if (FAILED(text->GetDC(&textDc))) return;
    DrawCaption(textDc, RECT{0, 0, textWidth, textHeight}, 0);
    text->ReleaseDC(textDc);

    RECT target{raised.left, raised.top, raised.left + textWidth, raised.top + textHeight};
    OffsetRect(&target, -DivHalf(textWidth - Width(raised)), kCaptionDrop);
    RECT textSource{0, 0, textWidth, textHeight};
    if (target.bottom > client.bottom) {
        textSource.bottom -= target.bottom - client.bottom;
        target.bottom = client.bottom;
    }
    if (textSource.bottom > 0)
        RenderDevice.Device->StretchRect(text.Get(), &textSource, backBuffer, &target, D3DTEXF_NONE);
}

void CImageView::DrawStampOnDevice(OverlayStamp& stamp, UINT pictureId, const RECT& client, StampQuadMaker makeQuad)
{
    if (!stamp.texture) {
        UINT width = 0, height = 0;
        stamp.texture = ComPtr<IDirect3DTexture9>::Attach(
            LoadPngTexture(pictureId, D3DPOOL_MANAGED, &width, &height, GetResourceInstance()));
        stamp.bounds = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    }
    if (!stamp.texture) return;
    if (!stamp.vertexBuffer) {
        stamp.vertexBuffer = ComPtr<IDirect3DVertexBuffer9>::Attach(
            makeQuad(client, static_cast<float>(stamp.bounds.right), static_cast<float>(stamp.bounds.bottom)));
    }
    if (!stamp.vertexBuffer) return;

    IDirect3DDevice9* device = RenderDevice.Device.Get();
    device->SetTexture(0, stamp.texture.Get());
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetFVF(StampVertexFormat);
    device->SetStreamSource(0, stamp.vertexBuffer.Get(), 0, sizeof(StampVertex));
    DWORD minify = 0, magnify = 0;
    device->GetSamplerState(0, D3DSAMP_MINFILTER, &minify);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->GetSamplerState(0, D3DSAMP_MAGFILTER, &magnify);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, minify);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, magnify);
}

void CImageView::PaintWithGdiPlus(const RECT& client, const RECT& source, bool upscaled, bool fromPaintMessage)
{
    PAINTSTRUCT paint{};
    HDC dc = fromPaintMessage ? BeginPaint(m_hWnd, &paint) : GetDC(m_hWnd);
    if (!dc) {
        if (fromPaintMessage) EndPaint(m_hWnd, &paint);
        return;
    }
    // Double buffered over the clip box only, copied to the window in one BitBlt.
    RECT clip{};
    GetClipBox(dc, &clip);
    RECT device = clip;
    LPtoDP(dc, reinterpret_cast<POINT*>(&device), 2);
    UniqueGdiObject<HBITMAP> memoryBitmap(CreateCompatibleBitmap(dc, Width(device), Height(device)));
    HDC memory = CreateCompatibleDC(dc);
    if (memory && memoryBitmap) {
        HGDIOBJ previous = SelectObject(memory, memoryBitmap.get());
        SetWindowOrgEx(memory, clip.left, clip.top, nullptr);
        DrawGdiPlusScene(memory, dc, client, source, upscaled);
        BitBlt(dc, clip.left, clip.top, Width(clip), Height(clip), memory, clip.left, clip.top, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (memory) DeleteDC(memory);
    if (fromPaintMessage) {
        EndPaint(m_hWnd, &paint);
    } else {
        ReleaseDC(m_hWnd, dc);
    }
}

void CImageView::DrawGdiPlusScene(HDC memory, HDC paintDc, const RECT& client, const RECT& source, bool upscaled)
{
    UniqueGdiObject<HBRUSH> background(CreateSolidBrush(RGB(0, 0, 0)));
    const bool hasCaption = m_caption.Get() != nullptr;
    RECT destination = m_destination;
    CriticalSectionScope lock(ViewLock);
    if (!DisplayedBitmap) {
        FillRect(memory, &client, background.get());
        if (hasCaption) {
            RECT box = destination;
            InflateRect(&box, ShiftHalf(GetCaptionMargin()), 0);
            DrawCaption(memory, box, kCaptionDrop);
        }
        return;
    }
    FillMargins(memory, client, destination, hasCaption, background.get());

    Gdiplus::Graphics graphics(memory);
    graphics.SetInterpolationMode(GdiPlusInterpolation(IsReduced(destination, source), upscaled, m_multiSampling));
    if (hasCaption) OffsetRect(&destination, 0, -kCaptionRaise);
    graphics.DrawImage(DisplayedBitmap,
                       Gdiplus::Rect(destination.left, destination.top, Width(destination), Height(destination)),
                       source.left, source.top, Width(source), Height(source), Gdiplus::UnitPixel);
    if (hasCaption) {
        float sx = 1.0f, sy = 1.0f;
        DpiScale(paintDc, sx, sy);
        RECT box{destination.left, destination.top, destination.left + ScaledExtent(Width(destination), sx),
                 destination.top + ScaledExtent(Height(destination), sy)};
        OffsetRect(&box, -DivHalf(Width(box) - Width(destination)), 0);
        InflateRect(&box, ShiftHalf(GetCaptionMargin()), 0);
        DrawCaption(memory, box, kCaptionDrop);
    }
    if (AppSettings::EnableCopiedStampOverlay && StampShown(m_copiedStamp.shownFlag)) {
        if (Gdiplus::Bitmap* stamp = StampPicture(m_copiedStamp, kCopiedStampPng))
            graphics.DrawImage(stamp, DivHalf(Width(client) - m_copiedStamp.bounds.right),
                               DivHalf(Height(client) - m_copiedStamp.bounds.bottom), m_copiedStamp.bounds.right,
                               m_copiedStamp.bounds.bottom);
    }
    if (StampShown(m_markStamp.shownFlag)) {
        if (Gdiplus::Bitmap* stamp = StampPicture(m_markStamp, kMarkStampPng))
            graphics.DrawImage(stamp, 0, Height(client) - m_markStamp.bounds.bottom, m_markStamp.bounds.right,
                               m_markStamp.bounds.bottom);
    }
}

// Without a caption only the bands beside the picture are filled, so the picture is drawn once.
void CImageView::FillMargins(HDC memory, const RECT& client, const RECT& destination, bool hasCaption, HBRUSH brush)
{
    if (hasCaption) {
        FillRect(memory, &client, brush);
        return;
    }
    if (Width(destination) < Width(client)) {
        const RECT left{client.left, client.top, destination.left, client.bottom};
        const RECT right{destination.right, client.top, client.right, client.bottom};
        FillRect(memory, &left, brush);
        FillRect(memory, &right, brush);
    }
    if (Height(destination) < Height(client)) {
        const RECT top{client.left, client.top, client.right, destination.top};
        const RECT bottom{client.left, destination.bottom - 1, client.right, client.bottom};
        FillRect(memory, &top, brush);
        FillRect(memory, &bottom, brush);
    }
}

Gdiplus::Bitmap* CImageView::StampPicture(OverlayStamp& stamp, UINT pictureId)
{
    if (!stamp.picture) {
        stamp.picture.reset(LoadPngResource(MAKEINTRESOURCEW(pictureId), SkinResourceType, GetResourceInstance(), true));
        if (stamp.picture)
            stamp.bounds = RECT{0, 0, static_cast<LONG>(stamp.picture->GetWidth()), static_cast<LONG>(stamp.picture->GetHeight())};
    }
    return stamp.picture.get();
}

void CImageView::DrawCaption(HDC dc, const RECT& box, int yOffset)
{
    if (!m_captionFont) {
        const Gdiplus::FontFamily family(IsVistaOrLater() ? L"Segoe UI" : L"MS Shell Dlg");
        m_captionFont = std::make_unique<Gdiplus::Font>(&family, 8.5f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    }
    if (!m_caption.Get()) return;
    const Gdiplus::RectF layout(static_cast<float>(box.left), static_cast<float>(box.top + yOffset),
                                static_cast<float>(Width(box)), static_cast<float>(Height(box)));
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::SolidBrush background{Gdiplus::Color(kBackgroundArgb)};
    graphics.FillRectangle(&background, layout);
    const Gdiplus::SolidBrush text{Gdiplus::Color(kCaptionTextArgb)};
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.DrawString(m_caption.Get(), static_cast<INT>(wcslen(m_caption.Get())), m_captionFont.get(), layout, &format, &text);
}

void CImageView::ShowPlaceholderImage()
{
    std::unique_ptr<Gdiplus::Bitmap> picture(
        LoadPngResource(MAKEINTRESOURCEW(kPlaceholderPng), SkinResourceType, GetResourceInstance(), true));
    if (!picture) return;
    const int width = static_cast<int>(picture->GetWidth());
    const int height = static_cast<int>(picture->GetHeight());
    if (!RenderDevice.Device) {
        SetImage(width, height, nullptr, picture.release(), 0, nullptr, nullptr, nullptr, true, nullptr);
        return;
    }
    ComPtr<IDirect3DSurface9> surface = ComPtr<IDirect3DSurface9>::Attach(ImageToSurface(picture.get(), D3DPOOL_DEFAULT));
    if (surface) SetImage(width, height, surface.Get(), nullptr, 0, nullptr, nullptr, nullptr, true, nullptr);
}
