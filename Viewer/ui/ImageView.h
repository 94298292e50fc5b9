#pragma once
// The child window that shows the current picture. The frame hands it each picture with SetImage;
// the picture itself stays in the process-wide slots of ViewImageHandoff.h, borrowed from an image
// entry or, for the view's own pictures (placeholder, empty-view screen), owned by the view.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/Window.h"
#include "Viewer/engine/ViewImageHandoff.h"
#include "Viewer/imaging/ImageInfo.h"
#include "Viewer/ui/HistogramWindow.h"
#include "Viewer/ui/ShootingDataWindow.h"
#include <cstdint>
#include <memory>
#include <d3d9.h>

class CMainFrame;

// Waits for the current entry's decode and puts its surface, borrowed, into the slot; starts the
// slideshow again when a suspend interrupted it. After a device reset.
void RefreshCurrentSurface(CMainFrame& frame, IDirect3DSurface9*& slot);

class CImageView : public WindowImpl<CImageView> {
public:
    DECLARE_WINDOW_CLASS(L"Lumenfold_View", CS_DBLCLKS, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))

    BEGIN_MESSAGE_MAP(CImageView)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnSysKeyDown)
        MESSAGE_HANDLER(WM_MBUTTONDOWN, OnMButtonDown)
        MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
        MESSAGE_HANDLER(WM_DROPFILES, OnDropFiles)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONDBLCLK, OnRButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDownMessage)
    END_MESSAGE_MAP()

    explicit CImageView(CMainFrame* frame);
    ~CImageView() override;

    // A visible child of parent that accepts dropped files.
    HWND CreateView(HWND parent);

    // The one way a new picture reaches the view. With owns set the view takes one reference on the
    // surface and the bitmap becomes its own; otherwise both stay the entry's. Main thread only.
    void SetImage(int width, int height, IDirect3DSurface9* surface, Gdiplus::Bitmap* bitmap, int state,
                  ImageInfo* information, uint8_t* copiedFlag, uint8_t* markFlag, bool owns, const wchar_t* caption);

    int ImageWidth() const noexcept { return m_imageWidth; }
    int ImageHeight() const noexcept { return m_imageHeight; }
    bool HasSurface() const noexcept { return m_hasSurface; }
    bool OwnsPicture() const noexcept { return m_ownsPicture; }
    // Quarter turns of the picture shown (0..3), as the rotate commands set them; painting ignores them.
    int RotationState() const noexcept { return m_rotationState; }
    void SetRotationState(int quarterTurns) noexcept { m_rotationState = quarterTurns; }
    const ImageInfo* Information() const noexcept { return m_information; }
    const wchar_t* Caption() const noexcept { return m_caption.Get(); }
    bool IsActualSize() const noexcept { return m_actualSize; }
    void SetActualSize(bool on) noexcept { m_actualSize = on; }
    bool IsCursorHidden() const noexcept { return m_cursorHidden; }
    int ZoomPercentage() const noexcept { return m_zoomPercentage; }
    void SetMultiSampling(bool on) noexcept { m_multiSampling = on; }

    // Repaints now: directly through the render device when there is one, else through WM_PAINT.
    void PaintView(bool fromPaintMessage);
    // The picture for a failed decode, owned by the view; without it the previous picture stays.
    void ShowPlaceholderImage();
    // Resets the device to the client's size and puts the displayed picture back; after a loss or resize.
    void ResetDevice();
    // Presentations that found the device lost since the last good one, and whether a reset is due.
    int DeviceLostCount() const noexcept { return m_deviceLostCount; }
    bool IsResetPending() const noexcept { return m_resetPending; }
    // Chooses the cursor for the present mode and picture.
    void UpdateCursor();
    // Decides, before a paint, which picture pixels (source, in/out) go where in the client; stores
    // the destination and the zoom percentage and clamps the pan. upscaled: a small picture stretched.
    void LayoutImage(RECT& source, const RECT& client, bool& upscaled);
    // Re-centres the pan on the drag anchor when a zoom starts or ends.
    void CenterZoomOnAnchor();
    const RECT& Destination() const noexcept { return m_destination; }
    bool IsLeftZoom() const noexcept { return m_leftZoom; }
    bool IsMagnifier() const noexcept { return m_magnifier; }
    bool IsDragging() const noexcept { return m_dragging; }
    int PanX() const noexcept { return m_panX; }
    int PanY() const noexcept { return m_panY; }
    // Stops the cursor-hide timer and shows the cursor if the view hid it.
    void RestoreCursor();
    // The floating panels over the picture; their windows come and go with the toggles.
    CHistogramWindow& Histogram() noexcept { return m_histogram; }
    CShootingDataWindow& ShootingData() noexcept { return m_shootingData; }
    void ToggleHistogramPanel() { m_histogram.Toggle(m_hWnd); }
    void ToggleShootingDataPanel() { m_shootingData.Toggle(m_hWnd); }
    // Both panels forget the picture's record and show their empty state.
    void ClearPanelsImageInfo();
    // The cursor left the frame: no rest is waited for any more, the cursor shows again and the panels
    // fade down.
    void OnFrameMouseLeave();
    // The cursor entered the control bar: the same, and the bar's own rest timer stops too.
    void OnControlBarMouseEnter();
    // Arrow keys pan in the 1:1 and magnifier states; false for every key the view leaves alone.
    bool OnKeyDown(UINT virtualKey);
    // Timers 2 (rest in the bottom band shows the control bar), 3 (rest elsewhere is user activity)
    // and 4 (rest hides the cursor).
    void OnInputTimer(UINT_PTR id);

    // The view's background, opaque black, on the device; GDI and GDI+ use the same black.
    static constexpr D3DCOLOR BackgroundColour = 0xFF000000;

    enum Timer : UINT_PTR { TIMER_DEVICE = 1, TIMER_BAR_SHOW = 2, TIMER_USER_ACTIVITY = 3, TIMER_CURSOR_HIDE = 4 };

private:
    // A picture drawn over the displayed one while a byte of the current entry is set. Each object
    // is made on first use; the device's go with each reset and are made again for the new size.
    struct OverlayStamp {
        const uint8_t* shownFlag = nullptr;
        RECT bounds{};
        std::unique_ptr<Gdiplus::Bitmap> picture;
        ComPtr<IDirect3DTexture9> texture;
        ComPtr<IDirect3DVertexBuffer9> vertexBuffer;
        void ReleaseDeviceObjects() noexcept
        {
            texture.Release();
            vertexBuffer.Release();
        }
    };
    using StampQuadMaker = IDirect3DVertexBuffer9* (*)(const RECT&, float, float) noexcept;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnKeyDownMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM sizeType, LPARAM, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM id, LPARAM, BOOL&);
    LRESULT OnSysKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled);
    LRESULT OnMButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM event, LPARAM, BOOL&);
    LRESULT OnDropFiles(UINT, WPARAM drop, LPARAM, BOOL& handled);

    void PaintWithDevice(const RECT& client, const RECT& source, bool upscaled);
    void DrawSceneOnDevice(const RECT& client, const RECT& source, bool upscaled);
    void DrawCaptionOnDevice(const RECT& client, const RECT& raised, IDirect3DSurface9* backBuffer);
    void DrawStampOnDevice(OverlayStamp& stamp, UINT pictureId, const RECT& client, StampQuadMaker makeQuad);
    // Counts a loss and polls again after retry ms, or after a second loss in a row asks the frame
    // to go on without hardware acceleration.
    void NoteDeviceLost(DWORD retryMilliseconds);
    void PaintWithGdiPlus(const RECT& client, const RECT& source, bool upscaled, bool fromPaintMessage);
    void DrawGdiPlusScene(HDC memory, HDC paintDc, const RECT& client, const RECT& source, bool upscaled);
    static void FillMargins(HDC memory, const RECT& client, const RECT& destination, bool hasCaption, HBRUSH brush);
    Gdiplus::Bitmap* StampPicture(OverlayStamp& stamp, UINT pictureId);
    // The caption in white at low alpha, centred at the top of box moved down by yOffset.
    void DrawCaption(HDC dc, const RECT& box, int yOffset);

    // A picture of the list is shown: not the placeholder or the empty-view screen.
    bool PicturePresent();
    void BeginDrag();
    void EndDrag();
    void DragPan();
    void TrackRest();
    void PostToFrame(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Frees the view's own picture, if it owns the one displayed; ViewLock is held by the caller.
    void ReleaseOwnedPicture() noexcept;

    UINT m_dropCount = 0;  // files in the drop being handled; 0 between drops
    CMainFrame* m_frame;
    std::unique_ptr<Gdiplus::Font> m_captionFont;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    bool m_hasSurface = false;
    bool m_ownsPicture = false;
    OverlayStamp m_copiedStamp;
    OverlayStamp m_markStamp;
    ImageInfo* m_information = nullptr;
    int m_deviceLostCount = 0;
    bool m_resetPending = false;
    bool m_dragging = false;
    bool m_actualSize = false;
    int m_panY = 0;
    int m_panX = 0;
    int m_rotationState = 0;
    bool m_multiSampling = false;
    Bstr m_caption;
    RECT m_destination{};
    RECT m_savedDestination{};
    bool m_leftZoom = false;
    bool m_magnifier = false;
    POINT m_dragAnchor{};  // screen
    POINT m_savedCursor{};  // screen, where a hidden drag cursor comes back
    float m_panAcceleration = 1.0f;
    POINT m_hoverPosition{-1, -1};
    POINT m_restPosition{-1, -1};
    int m_zoomPercentage = 100;
    CHistogramWindow m_histogram;
    CShootingDataWindow m_shootingData;
    bool m_cursorHidden = false;
};
