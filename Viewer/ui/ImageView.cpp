#include "Viewer/ui/ImageView.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/ui/RenderDevice.h"
#include "Viewer/ui/SkinImages.h"
#include "Viewer/ui/ViewInput.h"
#include <shellapi.h>

CImageView::CImageView(CMainFrame* frame) : m_frame(frame) {}

CImageView::~CImageView()
{
    CriticalSectionScope lock(ViewLock);
    ReleaseOwnedPicture();
}

HWND CImageView::CreateView(HWND parent)
{
    return Create(parent, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
}

void CImageView::ReleaseOwnedPicture() noexcept
{
    if (!m_ownsPicture) return;
    delete DisplayedBitmap;
    DisplayedBitmap = nullptr;
    if (DisplayedSurface) DisplayedSurface->Release();
    DisplayedSurface = nullptr;
}

void CImageView::SetImage(int width, int height, IDirect3DSurface9* surface, Gdiplus::Bitmap* bitmap, int state,
                          ImageInfo* information, uint8_t* copiedFlag, uint8_t* markFlag, bool owns,
                          const wchar_t* caption)
{
    if (!m_dragging) {
        m_panX = 0;
        m_panY = 0;
    }
    m_rotationState = state;
    m_imageWidth = width;
    m_imageHeight = height;
    m_information = information;
    m_copiedStamp.shownFlag = copiedFlag;
    m_markStamp.shownFlag = markFlag;
    {
        CriticalSectionScope lock(ViewLock);
        ReleaseOwnedPicture();
        m_ownsPicture = owns;
        DisplayedBitmap = bitmap;
        DisplayedSurface = surface;
        if (owns && surface) surface->AddRef();
        m_hasSurface = DisplayedSurface != nullptr;
    }
    if (caption != m_caption.Get()) m_caption = caption ? Bstr(caption) : Bstr();

    if (RenderDevice.Device) {
        PaintView(false);
    } else if (IsWindow()) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
    }
    UpdateCursor();
}

LRESULT CImageView::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 600.0;
    DragAcceptFiles(m_hWnd, TRUE);
    return 0;
}

LRESULT CImageView::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 601.0;
    return 1;
}

LRESULT CImageView::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    LastActivityCode = 602.0;
    PaintView(true);
    return 0;
}

// The background only: the picture is drawn by the painting code that replaces this.
void CImageView::PaintView(bool)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_hWnd, &paint);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(m_hWnd, &paint);
}

void CImageView::ShowPlaceholderImage()
{
    constexpr UINT kPlaceholderPng = 222;
    std::unique_ptr<Gdiplus::Bitmap> picture(
        LoadPngResource(MAKEINTRESOURCEW(kPlaceholderPng), L"PNG", GetResourceInstance(), true));
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

void CImageView::RestoreCursor()
{
    if (IsWindow()) KillTimer(m_hWnd, TIMER_CURSOR_HIDE);
    if (!m_cursorHidden) return;
    ShowMouseCursor(true);
    m_cursorHidden = false;
}
