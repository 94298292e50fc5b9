#include "Viewer/ui/ImageView.h"
#include "Framework/ResourceModule.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/ui/MainFrame.h"
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
    m_histogram.SetImageInfo(information);
    m_shootingData.SetImageInfo(information);
}

void CImageView::ClearPanelsImageInfo()
{
    m_histogram.ClearImageInfo();
    m_shootingData.ClearImageInfo();
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

void CImageView::RestoreCursor()
{
    if (IsWindow()) KillTimer(m_hWnd, TIMER_CURSOR_HIDE);
    if (!m_cursorHidden) return;
    ShowMouseCursor(true);
    m_cursorHidden = false;
}

// Files dropped on the picture replace the list, as a list of paths on the command line does.
LRESULT CImageView::OnDropFiles(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    auto drop = reinterpret_cast<HDROP>(wParam);
    m_dropCount = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    POINT point{};
    DragQueryPoint(drop, &point);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    if (!PtInRect(&client, point)) {
        m_dropCount = 0;
        handled = FALSE;
        return 0;
    }
    if (m_dropCount != 0) {
        PostToFrame(WM_APP_USER_ACTIVITY);
        CFrameOpenRequests& requests = m_frame->OpenRequests();
        requests.ResetImageList();
        wchar_t name[MAX_PATH];
        for (UINT index = 0; index < m_dropCount; ++index) {
            if (DragQueryFileW(drop, index, name, MAX_PATH) == 0 || !requests.AddPath(name, false)) break;
        }
        requests.FinishPathList();
        DragFinish(drop);
    }
    m_dropCount = 0;
    return 0;
}
